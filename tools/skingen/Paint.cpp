#include "Paint.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

namespace skingen {

Colour Hex(unsigned rgb, double alpha) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

Colour Mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Colour Lighter(Colour c, double amount) { return Mix(c, Colour{1, 1, 1, c.a}, std::clamp(amount, 0.0, 1.0)); }

void SetColour(cairo_t* cr, Colour c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  constexpr double kQuarter = 1.5707963267948966;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kQuarter, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kQuarter);
  cairo_arc(cr, x + r, y + h - r, r, kQuarter, 2 * kQuarter);
  cairo_arc(cr, x + r, y + r, r, 2 * kQuarter, 3 * kQuarter);
  cairo_close_path(cr);
}

void SetVertical(cairo_t* cr, double y0, double y1, Colour top, Colour bottom) {
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgba(gradient, 0, top.r, top.g, top.b, top.a);
  cairo_pattern_add_color_stop_rgba(gradient, 1, bottom.r, bottom.g, bottom.b, bottom.a);
  cairo_set_source(cr, gradient);
  cairo_pattern_destroy(gradient);
}

namespace {

PangoLayout* MakeLayout(cairo_t* cr, const std::string& text, const TextStyle& style) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
  cairo_font_options_destroy(options);
  pango_layout_context_changed(layout);
  PangoFontDescription* font = pango_font_description_new();
  pango_font_description_set_family(font, style.family);
  pango_font_description_set_absolute_size(font, style.pixels * PANGO_SCALE);
  pango_font_description_set_weight(font, style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  pango_layout_set_text(layout, text.c_str(), -1);
  return layout;
}

}  // namespace

double TextWidth(cairo_t* cr, const std::string& text, const TextStyle& style) {
  PangoLayout* layout = MakeLayout(cr, text, style);
  PangoRectangle ink, logical;
  pango_layout_get_pixel_extents(layout, &ink, &logical);
  g_object_unref(layout);
  return logical.width;
}

double TextAt(cairo_t* cr, const std::string& text, double x, double y, const TextStyle& style) {
  PangoLayout* layout = MakeLayout(cr, text, style);
  PangoRectangle ink, logical;
  pango_layout_get_pixel_extents(layout, &ink, &logical);
  SetColour(cr, style.colour);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);
  return logical.width;
}

void TextPath(cairo_t* cr, const std::string& text, double x, double y, const TextStyle& style) {
  PangoLayout* layout = MakeLayout(cr, text, style);
  cairo_move_to(cr, x, y);
  pango_cairo_layout_path(cr, layout);
  g_object_unref(layout);
}

double TextCentred(cairo_t* cr, const std::string& text, double x, double y, double w, double h,
                   const TextStyle& style) {
  PangoLayout* layout = MakeLayout(cr, text, style);
  PangoRectangle ink, logical;
  pango_layout_get_pixel_extents(layout, &ink, &logical);
  // Centre the inked glyphs vertically: the line box of CJK fonts carries
  // much empty room below the glyphs.
  const double left = x + (w - logical.width) / 2.0 - logical.x;
  const double top = y + (h - ink.height) / 2.0 - ink.y;
  SetColour(cr, style.colour);
  cairo_move_to(cr, std::round(left), std::round(top));
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);
  return logical.width;
}

}  // namespace skingen
