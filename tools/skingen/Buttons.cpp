#include <array>
#include <cmath>

#include "Art.h"

namespace skingen {

namespace {

using namespace palette;

struct Face {
  Colour top, bottom, border, ink;
};

// Hover lifts the face towards gold light; pressed sinks it and moves the
// content down by a pixel, as if pushed in.
Face FaceFor(Look look) {
  switch (look) {
    case Look::kHover:
      return {Hex(0x5b4329), Hex(0x2f2219), Hex(0xe6c06a), Hex(0xffe9a8)};
    case Look::kPressed:
      return {Hex(0x140f0b), Hex(0x261c15), Hex(0x8a6630), Hex(0xb8954a)};
    case Look::kNormal:
      break;
  }
  return {Hex(0x3a2c20), Hex(0x1c1510), Hex(0x9a7433), Hex(0xdcb761)};
}

double Shift(Look look) { return look == Look::kPressed ? 1.0 : 0.0; }

void DrawGlyph(cairo_t* cr, Glyph glyph, double cx, double cy, double size, Colour ink, Colour fill) {
  SetColour(cr, ink);
  cairo_set_line_width(cr, std::max(1.5, size / 6.0));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  const double s = size / 2.0;
  switch (glyph) {
    case Glyph::kCross:
      cairo_move_to(cr, cx - s, cy - s);
      cairo_line_to(cr, cx + s, cy + s);
      cairo_move_to(cr, cx + s, cy - s);
      cairo_line_to(cr, cx - s, cy + s);
      cairo_stroke(cr);
      break;
    case Glyph::kSquare:
      cairo_set_line_width(cr, 1.5);
      cairo_rectangle(cr, cx - s, cy - s, 2 * s, 2 * s);
      cairo_stroke(cr);
      cairo_rectangle(cr, cx - s, cy - s, 2 * s, 2);
      cairo_fill(cr);
      break;
    case Glyph::kTwoSquares: {
      cairo_set_line_width(cr, 1.5);
      const double k = s * 0.75;
      cairo_rectangle(cr, cx - s + 3, cy - s, 2 * k, 2 * k);
      cairo_stroke(cr);
      cairo_rectangle(cr, cx - s, cy - s + 3, 2 * k, 2 * k);
      SetColour(cr, fill);
      cairo_fill_preserve(cr);
      SetColour(cr, ink);
      cairo_stroke(cr);
      cairo_rectangle(cr, cx - s, cy - s + 3, 2 * k, 2);
      cairo_fill(cr);
      break;
    }
    case Glyph::kBar:
      cairo_set_line_width(cr, 2.0);
      cairo_move_to(cr, cx - s, cy + s * 0.6);
      cairo_line_to(cr, cx + s, cy + s * 0.6);
      cairo_stroke(cr);
      break;
  }
}

void FillFace(cairo_t* cr, double x, double y, double w, double h, double r, const Face& face) {
  RoundedRect(cr, x, y, w, h, r);
  SetVertical(cr, y, y + h, face.top, face.bottom);
  cairo_fill_preserve(cr);
  SetColour(cr, face.border);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  // A thin inner highlight along the top edge.
  cairo_move_to(cr, x + r, y + 1.5);
  cairo_line_to(cr, x + w - r, y + 1.5);
  SetColour(cr, Colour{1, 0.9, 0.6, 0.18});
  cairo_stroke(cr);
}

}  // namespace

void DrawTitleButton(cairo_t* cr, int w, int h, Glyph glyph, Look look) {
  Face face = FaceFor(look);
  if (glyph == Glyph::kCross && look == Look::kHover) {
    face.top = Hex(0xb23a22);
    face.bottom = Hex(0x6a1d12);
  }
  FillFace(cr, 0.5, 0.5, w - 1, h - 1, 4, face);
  const double d = Shift(look);
  DrawGlyph(cr, glyph, w / 2.0 + d, h / 2.0 + d, 9, face.ink, Mix(face.top, face.bottom, 0.5));
}

void DrawLabelIcon(cairo_t* cr, LabelIcon icon, double x, double y, Colour ink) {
  // A 12 x 12 line drawing with its top-left corner at (x, y).
  cairo_save(cr);
  cairo_translate(cr, x, y);
  SetColour(cr, ink);
  cairo_set_line_width(cr, 1.3);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  switch (icon) {
    case LabelIcon::kServer:  // two arrows, one each way
      cairo_move_to(cr, 1, 4);
      cairo_line_to(cr, 11, 4);
      cairo_line_to(cr, 8, 1);
      cairo_move_to(cr, 11, 8.5);
      cairo_line_to(cr, 1, 8.5);
      cairo_line_to(cr, 4, 11.5);
      cairo_stroke(cr);
      break;
    case LabelIcon::kRefresh:  // a circling arrow
      cairo_arc(cr, 6, 6.5, 4.5, -1.2, 4.1);
      cairo_stroke(cr);
      cairo_move_to(cr, 7.2, 0.6);
      cairo_line_to(cr, 10.6, 1.8);
      cairo_line_to(cr, 8.6, 4.8);
      cairo_close_path(cr);
      cairo_fill(cr);
      break;
    case LabelIcon::kClean:  // a waste bin
      cairo_move_to(cr, 1, 3);
      cairo_line_to(cr, 11, 3);
      cairo_move_to(cr, 4.5, 3);
      cairo_line_to(cr, 4.5, 1);
      cairo_line_to(cr, 7.5, 1);
      cairo_line_to(cr, 7.5, 3);
      cairo_move_to(cr, 2.5, 3);
      cairo_line_to(cr, 3.3, 11.5);
      cairo_line_to(cr, 8.7, 11.5);
      cairo_line_to(cr, 9.5, 3);
      cairo_move_to(cr, 5, 5.5);
      cairo_line_to(cr, 5, 9.5);
      cairo_move_to(cr, 7, 5.5);
      cairo_line_to(cr, 7, 9.5);
      cairo_stroke(cr);
      break;
    case LabelIcon::kKey:  // a key
      cairo_arc(cr, 3.5, 6, 2.8, 0, 2 * M_PI);
      cairo_move_to(cr, 6.3, 6);
      cairo_line_to(cr, 11.5, 6);
      cairo_move_to(cr, 9.5, 6);
      cairo_line_to(cr, 9.5, 8.5);
      cairo_move_to(cr, 11.5, 6);
      cairo_line_to(cr, 11.5, 8.5);
      cairo_stroke(cr);
      break;
    case LabelIcon::kFullScreen:  // four corners pointing out
      for (const auto& [cx, cy, dx, dy] : {std::array{1.0, 1.0, 1.0, 1.0}, std::array{11.0, 1.0, -1.0, 1.0},
                                           std::array{11.0, 11.0, -1.0, -1.0}, std::array{1.0, 11.0, 1.0, -1.0}}) {
        cairo_move_to(cr, cx, cy + 3.5 * dy);
        cairo_line_to(cr, cx, cy);
        cairo_line_to(cr, cx + 3.5 * dx, cy);
      }
      cairo_stroke(cr);
      break;
  }
  cairo_restore(cr);
}

void DrawLabelButton(cairo_t* cr, int w, int h, const std::string& text, LabelIcon icon, int faceWidth, Look look) {
  (void)w;
  Colour ink = kCream;
  if (look != Look::kNormal) {
    Face face = FaceFor(look);
    FillFace(cr, 0.5, 0.5, faceWidth - 1, h - 1, 4, face);
    ink = look == Look::kHover ? kGoldLight : Mix(kCream, kGold, 0.4);
  }
  const TextStyle style{12, false, ink};
  const double iconSize = 12, gap = 4;
  const double width = iconSize + gap + TextWidth(cr, text, style);
  const double d = Shift(look);
  const double left = std::round((faceWidth - width) / 2) + d;
  DrawLabelIcon(cr, icon, left, (h - iconSize) / 2 + d, look == Look::kNormal ? kGold : ink);
  TextCentred(cr, text, left + iconSize + gap, d, width - iconSize - gap, h, style);
}

void DrawDialogButton(cairo_t* cr, int w, int h, const std::string& text, bool primary, Look look) {
  Face face = FaceFor(look);
  Colour ink = look == Look::kHover ? kGoldLight : kCream;
  if (primary) {
    const bool lit = look != Look::kNormal;
    face = {lit ? Hex(0xf3d17e) : Hex(0xdcb15a), lit ? Hex(0xb48433) : Hex(0x94692a), Hex(0xffe7a6), {}};
    ink = Hex(0x2a1a08);
  }
  FillFace(cr, 1.5, 1.5, w - 3, h - 3, 5, face);
  TextCentred(cr, text, 0, 0, w, h, TextStyle{14, true, ink});
}

void DrawSmallCross(cairo_t* cr, int w, int h) {
  SetColour(cr, kGoldLight);
  cairo_set_line_width(cr, 1.6);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, 1.5, 1.5);
  cairo_line_to(cr, w - 1.5, h - 1.5);
  cairo_move_to(cr, w - 1.5, 1.5);
  cairo_line_to(cr, 1.5, h - 1.5);
  cairo_stroke(cr);
}

void DrawRoundButton(cairo_t* cr, int w, int h, Glyph glyph, Look look) {
  (void)w;
  (void)h;
  // The buttons are placed in boxes of 28 x 26 and 28 x 28: the circle fits the smaller.
  const double cx = 14, cy = 13, r = 12;
  const Face face = FaceFor(look);
  cairo_pattern_t* light = cairo_pattern_create_radial(cx - 3, cy - 4, 1, cx, cy, r);
  const Colour a = Lighter(face.top, 0.08), b = face.bottom;
  cairo_pattern_add_color_stop_rgb(light, 0, a.r, a.g, a.b);
  cairo_pattern_add_color_stop_rgb(light, 1, b.r, b.g, b.b);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_set_source(cr, light);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(light);
  SetColour(cr, face.border);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  const double d = Shift(look);
  DrawGlyph(cr, glyph, cx + d, cy + d, 8, face.ink, b);
}

void DrawBusyFrame(cairo_t* cr, int w, int h, int lit) {
  const double cell = (w - 3) / 2.0, gap = 1.0;
  const double corners[4][2] = {{1, 1}, {1 + cell + gap, 1}, {1 + cell + gap, 1 + cell + gap}, {1, 1 + cell + gap}};
  (void)h;
  for (int i = 0; i < 4; ++i) {
    RoundedRect(cr, corners[i][0], corners[i][1], cell, cell, 2);
    if (i == lit) {
      SetVertical(cr, corners[i][1], corners[i][1] + cell, kGoldLight, kGold);
    } else {
      SetColour(cr, Colour{kGoldDark.r, kGoldDark.g, kGoldDark.b, 0.55});
    }
    cairo_fill(cr);
  }
}

void DrawOverlayFill(cairo_t* cr, int w, int h) {
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_set_source_rgba(cr, 0, 0, 0, 230 / 255.0);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

}  // namespace skingen
