#include <cmath>
#include <vector>

#include "Art.h"

namespace skingen {

using namespace palette;

namespace {

// Where the login form popup sits on the login picture, and the height of its
// see-through top strip.
constexpr double kFormX = 365, kFormY = 73, kFormW = 690, kFormH = 513, kFormStrip = 61;
constexpr double kBodyX = 16, kBodyY = 34, kBodyW = 1142, kBodyH = 636;
constexpr double kCrestX = 190, kCrestY = 62, kCrestR = 54;

void LoginOutline(cairo_t* cr) {
  RoundedRect(cr, kBodyX, kBodyY, kBodyW, kBodyH, 22);
  cairo_new_sub_path(cr);
  cairo_arc(cr, kCrestX, kCrestY, kCrestR, 0, 2 * M_PI);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

void Mountains(cairo_t* cr, double baseY, double amplitude, double period, double phase, Colour colour,
               double width) {
  cairo_move_to(cr, 0, baseY + 200);
  for (double x = 0; x <= width; x += 6) {
    const double y = baseY - amplitude * (0.55 * std::sin(x / period + phase) +
                                          0.3 * std::sin(x / (period * 0.37) + 2 * phase) +
                                          0.15 * std::sin(x / (period * 0.13) + phase * 3));
    cairo_line_to(cr, x, y);
  }
  cairo_line_to(cr, width, baseY + 200);
  cairo_close_path(cr);
  SetColour(cr, colour);
  cairo_fill(cr);
}

void Scenery(cairo_t* cr, double width, double height) {
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, kBodyY, 0, kBodyY + kBodyH);
  cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.07, 0.05, 0.09);
  cairo_pattern_add_color_stop_rgb(sky, 0.45, 0.30, 0.16, 0.09);
  cairo_pattern_add_color_stop_rgb(sky, 0.66, 0.70, 0.43, 0.17);
  cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.10, 0.07, 0.05);
  cairo_rectangle(cr, 0, 0, width, height);
  cairo_set_source(cr, sky);
  cairo_fill(cr);
  cairo_pattern_destroy(sky);

  // A low sun behind the mountains, on the left where the title stands.
  const double sunX = 232, sunY = 392;
  cairo_pattern_t* glow = cairo_pattern_create_radial(sunX, sunY, 20, sunX, sunY, 300);
  cairo_pattern_add_color_stop_rgba(glow, 0, 1.0, 0.80, 0.45, 0.75);
  cairo_pattern_add_color_stop_rgba(glow, 0.3, 0.95, 0.58, 0.22, 0.35);
  cairo_pattern_add_color_stop_rgba(glow, 1, 0.9, 0.5, 0.2, 0);
  cairo_rectangle(cr, 0, 0, width, height);
  cairo_set_source(cr, glow);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);
  cairo_arc(cr, sunX, sunY, 30, 0, 2 * M_PI);
  cairo_set_source_rgba(cr, 1.0, 0.9, 0.66, 0.95);
  cairo_fill(cr);

  Mountains(cr, 430, 60, 90, 0.4, Hex(0x6a3c22), width);
  Mountains(cr, 480, 60, 70, 1.9, Hex(0x35201a), width);
  Mountains(cr, 560, 45, 55, 3.1, Hex(0x1c130f), width);
  Mountains(cr, 640, 25, 40, 5.0, Hex(0x100b09), width);
}

void Title(cairo_t* cr) {
  const TextStyle title{64, true, kGold, "DejaVu Serif"};
  const double width = TextWidth(cr, "Veltan", title);
  const double x = kCrestX - width / 2, y = 128;
  // Dark halo, then the gold letters with a bright edge.
  TextPath(cr, "Veltan", x, y, title);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_source_rgba(cr, 0.05, 0.03, 0.02, 0.7);
  cairo_set_line_width(cr, 8);
  cairo_stroke_preserve(cr);
  SetVertical(cr, y + 10, y + 80, kGoldLight, kGoldDark);
  cairo_fill_preserve(cr);
  cairo_set_source_rgba(cr, 1, 0.95, 0.75, 0.8);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  TextCentred(cr, "网 页 游 戏 登 录 器", kCrestX - 150, 218, 300, 24, TextStyle{17, false, kCream});
  SetColour(cr, Colour{kGold.r, kGold.g, kGold.b, 0.8});
  cairo_set_line_width(cr, 1);
  cairo_move_to(cr, kCrestX - 130, 252.5);
  cairo_line_to(cr, kCrestX + 130, 252.5);
  cairo_stroke(cr);
}

void HealthNotice(cairo_t* cr) {
  const char* lines[] = {"抵制不良游戏，拒绝盗版游戏。", "注意自我保护，谨防受骗上当。",
                         "适度游戏益脑，沉迷游戏伤身。", "合理安排时间，享受健康生活。"};
  double y = 596;
  for (const char* line : lines) {
    TextAt(cr, line, 40, y, TextStyle{12, false, Colour{kCream.r, kCream.g, kCream.b, 0.55}});
    y += 17;
  }
}

void FormFrame(cairo_t* cr) {
  // Shadow and gold frame around the place of the login form.
  for (int i = 8; i >= 1; --i) {
    RoundedRect(cr, kFormX - 3 - i, kFormY - 3 - i, kFormW + 6 + 2 * i, kFormH + 6 + 2 * i, 6 + i);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.06);
    cairo_fill(cr);
  }
  RoundedRect(cr, kFormX - 3.5, kFormY - 3.5, kFormW + 7, kFormH + 7, 6);
  SetColour(cr, kPanel);
  cairo_fill_preserve(cr);
  SetVertical(cr, kFormY, kFormY + kFormH, kGoldLight, kGoldDark);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  // The band that shows through the form's transparent top strip.
  cairo_rectangle(cr, kFormX, kFormY, kFormW, kFormStrip);
  SetVertical(cr, kFormY, kFormY + kFormStrip, Hex(0x3b2d21), Hex(0x1e1712));
  cairo_fill(cr);
  cairo_rectangle(cr, kFormX, kFormY + kFormStrip - 2, kFormW, 2);
  SetColour(cr, kGoldDark);
  cairo_fill(cr);
  DrawEmblem(cr, kFormX + 34, kFormY + 30, 15);
  TextAt(cr, "账号登录", kFormX + 58, kFormY + 18, TextStyle{18, true, kGoldLight});
  TextAt(cr, "Zorv 网页游戏平台", kFormX + 150, kFormY + 24, TextStyle{12, false, Colour{kCream.r, kCream.g, kCream.b, 0.6}});
}

}  // namespace

void DrawLoginBackground(cairo_t* cr, int w, int h) {
  // Soft shadow: the outline stroked ever thinner with a little alpha each time.
  for (int i = 14; i >= 1; --i) {
    LoginOutline(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.035);
    cairo_set_line_width(cr, 2.0 * i);
    cairo_stroke(cr);
  }
  cairo_save(cr);
  LoginOutline(cr);
  cairo_clip(cr);
  Scenery(cr, w, h);
  Title(cr);
  HealthNotice(cr);
  FormFrame(cr);
  cairo_restore(cr);

  // Frame: a dark outer line and a gold inner line along the whole outline.
  LoginOutline(cr);
  cairo_set_source_rgba(cr, 0.04, 0.03, 0.02, 1);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  cairo_save(cr);
  LoginOutline(cr);
  cairo_clip(cr);
  LoginOutline(cr);
  SetVertical(cr, 0, h, kGoldLight, kGoldDark);
  cairo_set_line_width(cr, 4);
  cairo_stroke(cr);
  cairo_restore(cr);
  DrawEmblem(cr, kCrestX, kCrestY, kCrestR - 6);
}

void DrawFormBackground(cairo_t* cr, int w, int h) {
  cairo_rectangle(cr, 0, 0, w, kFormStrip);
  cairo_set_source_rgb(cr, 0, 1, 0);
  cairo_fill(cr);
  // The round buttons' pictures, under the minimise (x 605) and close (x 633)
  // buttons. Their discs are drawn first without antialiasing, one pixel
  // wider, so no edge pixel mixes the transparent green into the picture.
  for (const auto& [x, glyph] : {std::pair{605.0, Glyph::kBar}, std::pair{633.0, Glyph::kCross}}) {
    cairo_save(cr);
    cairo_translate(cr, x, 0);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_arc(cr, 14, 13, 13.5, 0, 2 * M_PI);
    SetColour(cr, kInk);
    cairo_fill(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    DrawRoundButton(cr, 29, 30, glyph, Look::kNormal);
    cairo_restore(cr);
  }
  // The loading panel.
  cairo_rectangle(cr, 0, kFormStrip, w, h - kFormStrip);
  SetVertical(cr, kFormStrip, h, Hex(0x211913), Hex(0x120d0a));
  cairo_fill(cr);
  cairo_rectangle(cr, 0.5, kFormStrip + 0.5, w - 1, h - kFormStrip - 1);
  SetColour(cr, kGoldDark);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_rectangle(cr, 4.5, kFormStrip + 4.5, w - 9, h - kFormStrip - 9);
  SetColour(cr, Colour{kGold.r, kGold.g, kGold.b, 0.35});
  cairo_stroke(cr);
  const double middle = kFormStrip + (h - kFormStrip) / 2.0;
  DrawEmblem(cr, w / 2.0, middle - 40, 26);
  TextCentred(cr, "页面加载中，请稍候……", 0, middle, w, 24, TextStyle{16, false, kCream});
}

void DrawMessageBoxBackground(cairo_t* cr, int w, int h) {
  // The box shows 253 x 106 of the picture; the frame follows that size.
  const double boxW = 253, boxH = 106, band = 30;
  cairo_rectangle(cr, 0, 0, w, h);
  SetVertical(cr, 0, boxH, Hex(0x2a2019), Hex(0x15100c));
  cairo_fill(cr);
  cairo_rectangle(cr, 0, 0, boxW, band);
  SetVertical(cr, 0, band, Hex(0x45352a), Hex(0x241b15));
  cairo_fill(cr);
  cairo_rectangle(cr, 1, band, boxW - 2, 1);
  SetColour(cr, kGoldDark);
  cairo_fill(cr);
  cairo_rectangle(cr, 0.5, 0.5, boxW - 1, boxH - 1);
  SetColour(cr, kGold);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_rectangle(cr, 2.5, 2.5, boxW - 5, boxH - 5);
  SetColour(cr, Colour{kGold.r, kGold.g, kGold.b, 0.25});
  cairo_stroke(cr);
  DrawEmblem(cr, 18, 15.5, 10);
}

void DrawTitleStrip(cairo_t* cr, int w, int h, StripPiece piece) {
  cairo_rectangle(cr, 0, 0, w, h);
  SetVertical(cr, 0, h, Hex(0x33271d), Hex(0x17110d));
  cairo_fill(cr);
  cairo_rectangle(cr, 0, 0, w, 1);
  SetColour(cr, Hex(0x4d3b2a));
  cairo_fill(cr);
  cairo_rectangle(cr, 0, h - 1, w, 1);
  SetColour(cr, kGoldDark);
  cairo_fill(cr);
  if (piece == StripPiece::kLeft) {
    DrawEmblem(cr, 17, h / 2.0, 11);
    const double width = TextAt(cr, "Veltan", 35, 5, TextStyle{15, true, kGoldLight, "DejaVu Serif"});
    TextAt(cr, "登录器", 35 + width + 6, 7, TextStyle{12, false, Colour{kCream.r, kCream.g, kCream.b, 0.7}});
  } else if (piece == StripPiece::kRight) {
    // A short gold tail closes the strip at the right edge.
    cairo_rectangle(cr, w - 3, 4, 1, h - 8);
    SetColour(cr, Colour{kGold.r, kGold.g, kGold.b, 0.5});
    cairo_fill(cr);
  }
}

}  // namespace skingen
