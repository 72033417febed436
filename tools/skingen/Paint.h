#pragma once
// Drawing helpers and the palette of the skin.
#include <cairo.h>

#include <string>

namespace skingen {

struct Colour {
  double r, g, b, a = 1.0;
};
Colour Hex(unsigned rgb, double alpha = 1.0);
Colour Mix(Colour a, Colour b, double t);
Colour Lighter(Colour c, double amount);  // towards white by amount (0..1)

// The dark-gold palette.
namespace palette {
inline const Colour kInk = Hex(0x120d0a);
inline const Colour kPanel = Hex(0x1d1612);
inline const Colour kPanelHigh = Hex(0x2e241b);
inline const Colour kGoldDark = Hex(0x7d5a26);
inline const Colour kGold = Hex(0xc9a04a);
inline const Colour kGoldLight = Hex(0xf1d58a);
inline const Colour kCream = Hex(0xf5e6c0);
inline const Colour kRed = Hex(0xa8321f);
}  // namespace palette

// How a button face is drawn.
enum class Look { kNormal, kHover, kPressed };

void SetColour(cairo_t* cr, Colour c);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// A vertical linear gradient from top to bottom over [y0, y1].
void SetVertical(cairo_t* cr, double y0, double y1, Colour top, Colour bottom);

struct TextStyle {
  double pixels = 12;
  bool bold = false;
  Colour colour = palette::kCream;
  const char* family = "WenQuanYi Micro Hei";
};
// Draws UTF-8 text centred in the box; returns the text's width in pixels.
double TextCentred(cairo_t* cr, const std::string& text, double x, double y, double w, double h,
                   const TextStyle& style);
// Draws UTF-8 text with its top-left corner at (x, y); returns its width.
double TextAt(cairo_t* cr, const std::string& text, double x, double y, const TextStyle& style);
// The path of the text's outline with its top-left corner at (x, y), for
// filling with a gradient and stroking.
void TextPath(cairo_t* cr, const std::string& text, double x, double y, const TextStyle& style);
double TextWidth(cairo_t* cr, const std::string& text, const TextStyle& style);

}  // namespace skingen
