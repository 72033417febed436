#include <cmath>

#include "Art.h"

namespace skingen {

using namespace palette;

void DrawEmblem(cairo_t* cr, double cx, double cy, double radius) {
  cairo_save(cr);
  // Gold ring.
  cairo_pattern_t* ring = cairo_pattern_create_linear(cx - radius, cy - radius, cx + radius, cy + radius);
  cairo_pattern_add_color_stop_rgb(ring, 0, kGoldLight.r, kGoldLight.g, kGoldLight.b);
  cairo_pattern_add_color_stop_rgb(ring, 0.5, kGold.r, kGold.g, kGold.b);
  cairo_pattern_add_color_stop_rgb(ring, 1, kGoldDark.r, kGoldDark.g, kGoldDark.b);
  cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
  cairo_set_source(cr, ring);
  cairo_fill(cr);
  // Dark face with a warm glow.
  const double inner = radius * 0.82;
  cairo_pattern_t* face = cairo_pattern_create_radial(cx, cy - inner * 0.3, inner * 0.1, cx, cy, inner);
  cairo_pattern_add_color_stop_rgb(face, 0, 0.36, 0.22, 0.1);
  cairo_pattern_add_color_stop_rgb(face, 1, kInk.r, kInk.g, kInk.b);
  cairo_arc(cr, cx, cy, inner, 0, 2 * M_PI);
  cairo_set_source(cr, face);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  // A "V" made of two blades, with a small star above it.
  const double s = inner * 0.78;
  cairo_move_to(cr, cx - s, cy - s * 0.62);
  cairo_line_to(cr, cx - s * 0.52, cy - s * 0.62);
  cairo_line_to(cr, cx, cy + s * 0.38);
  cairo_line_to(cr, cx + s * 0.52, cy - s * 0.62);
  cairo_line_to(cr, cx + s, cy - s * 0.62);
  cairo_line_to(cr, cx + s * 0.08, cy + s * 0.9);
  cairo_line_to(cr, cx - s * 0.08, cy + s * 0.9);
  cairo_close_path(cr);
  cairo_set_source(cr, ring);
  cairo_fill(cr);
  const double t = s * 0.22;
  cairo_move_to(cr, cx, cy - s * 0.95);
  cairo_line_to(cr, cx + t * 0.35, cy - s * 0.95 + t * 0.65);
  cairo_line_to(cr, cx + t, cy - s * 0.95 + t);
  cairo_line_to(cr, cx + t * 0.35, cy - s * 0.95 + t * 1.35);
  cairo_line_to(cr, cx, cy - s * 0.95 + 2 * t);
  cairo_line_to(cr, cx - t * 0.35, cy - s * 0.95 + t * 1.35);
  cairo_line_to(cr, cx - t, cy - s * 0.95 + t);
  cairo_line_to(cr, cx - t * 0.35, cy - s * 0.95 + t * 0.65);
  cairo_close_path(cr);
  SetColour(cr, kGoldLight);
  cairo_fill(cr);
  cairo_pattern_destroy(ring);
  cairo_restore(cr);
}

void DrawClientIcon(cairo_t* cr, int w, int h) { DrawEmblem(cr, w / 2.0, h / 2.0, std::min(w, h) / 2.0 - 1); }

void DrawUninstallIcon(cairo_t* cr, int w, int h) {
  // Too small for the medallion's details: a gold disc with a dark cross.
  const double cx = w / 2.0, cy = h / 2.0, r = std::min(w, h) / 2.0 - 0.5;
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  SetVertical(cr, 0, h, kGoldLight, kGoldDark);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, r - 2, 0, 2 * M_PI);
  SetColour(cr, kInk);
  cairo_fill(cr);
  SetColour(cr, Hex(0xe0553a));
  cairo_set_line_width(cr, 2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  const double s = r * 0.42;
  cairo_move_to(cr, cx - s, cy - s);
  cairo_line_to(cr, cx + s, cy + s);
  cairo_move_to(cr, cx + s, cy - s);
  cairo_line_to(cr, cx - s, cy + s);
  cairo_stroke(cr);
}

}  // namespace skingen
