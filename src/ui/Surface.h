#pragma once
// A drawing surface: an RGBA image held as premultiplied 32-bit ARGB, drawn
// with cairo and pango. Windows paint into one, off-screen composition uses
// them, and tests read their pixels. Coordinates are whole pixels; every
// drawing call goes through the surface's origin and clip rectangle, the way a
// device context's window origin and clip region work.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct _cairo_surface;

namespace ui {

// One pixel, not premultiplied: each channel 0..255.
struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;
  bool operator==(const Rgba&) const = default;
};

// A rectangle of pixels: left, top, width, height.
struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PixelRect&) const = default;
  bool IsEmpty() const { return width <= 0 || height <= 0; }
};

// How a source's pixels meet the pixels already on the surface.
enum class Blend {
  Over,  // alpha composition: the source over what is there
  Copy,  // replace what is there, alpha included (a plain block copy)
};

// A 5x5 colour matrix applied to a row vector (r, g, b, a, 1) of channels in
// 0..1, not premultiplied: out[j] = sum over i of in[i] * m[i][j]. Row 5 holds
// the translation. Results are clamped to 0..1.
struct ColorMatrix {
  std::array<std::array<float, 5>, 5> m{};
  static ColorMatrix Identity();
  // Every colour channel times scale plus offset; alpha unchanged.
  static ColorMatrix ScaleOffset(float scale, float offset);
};

enum class TextAlign { Near, Center, Far };
enum class TextTrimming { None, EllipsisCharacter, EllipsisWord };

struct TextStyle {
  std::wstring family = L"arial";  // fontconfig substitutes sans-serif when missing
  double pixelSize = 12;
  bool bold = false;
  Rgba colour{0, 0, 0, 255};
  TextAlign align = TextAlign::Near;
  TextTrimming trimming = TextTrimming::None;
  bool wrap = true;  // break lines at the box's width
};

class Surface {
 public:
  // A null surface: no pixels, every drawing call does nothing.
  Surface() = default;
  // A transparent width x height surface; a null one when a side is not positive.
  Surface(int width, int height);
  ~Surface();
  Surface(Surface&& other) noexcept;
  Surface& operator=(Surface&& other) noexcept;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  // Decodes a complete PNG file held in memory; a null surface when the bytes
  // are not a readable PNG.
  static Surface FromPng(const std::uint8_t* data, std::size_t size);
  // Encodes the pixels as a PNG file; empty for a null surface.
  std::vector<std::uint8_t> ToPng() const;
  bool WritePng(const std::string& utf8Path) const;

  bool IsNull() const { return surface_ == nullptr; }
  int Width() const;
  int Height() const;
  Surface Clone() const;

  // Pixel access in surface coordinates (origin and clip do not apply).
  // Outside the surface GetPixel gives transparent black and SetPixel does nothing.
  Rgba GetPixel(int x, int y) const;
  void SetPixel(int x, int y, Rgba colour);
  // Every pixel p replaced by change(p), in one pass over the pixels.
  void MapPixels(const std::function<Rgba(Rgba)>& change);
  // The alpha of every pixel, row by row (Width() * Height() values).
  std::vector<std::uint8_t> Alphas() const;

  // Drawing state. The origin is added to every drawing coordinate; the clip
  // rectangle, in drawing coordinates, limits where drawing lands.
  void SetOrigin(int x, int y);
  int OriginX() const { return originX_; }
  int OriginY() const { return originY_; }
  void SetClip(PixelRect clip);
  void ResetClip();
  // The area drawing can reach, in drawing coordinates: the clip rectangle,
  // or the whole surface when there is none.
  PixelRect ClipBox() const;

  // Fills a rectangle with one colour.
  void FillRect(PixelRect rect, Rgba colour, Blend blend = Blend::Over);
  // Fills a rectangle with a texture repeated in both directions, the tiling
  // anchored at (originX, originY).
  void FillTiled(PixelRect rect, const Surface& texture, int originX, int originY);
  // Draws the whole of source at its own size with its top-left corner at
  // (x, y), multiplied by alpha (0..1).
  void DrawSurface(const Surface& source, int x, int y, double alpha = 1.0, Blend blend = Blend::Over);
  // Draws the part of source that starts at (sourceX, sourceY), width x height,
  // at (x, y): a block copy with Blend::Copy.
  void DrawSurfacePart(const Surface& source, int sourceX, int sourceY, int width, int height, int x, int y,
                       Blend blend = Blend::Over);
  // A new surface holding the pixels of rect (drawing coordinates); parts
  // outside this surface are transparent.
  Surface Snapshot(PixelRect rect) const;
  // Applies a colour matrix to every pixel of the surface.
  void ApplyColorMatrix(const ColorMatrix& matrix);

  // Draws text inside box: lines start at the box's top, are aligned as the
  // style says, wrap at the box's width when the style wraps, and are cut at
  // the box's edges (with an ellipsis when the style trims). Returns true when
  // an ellipsis replaced part of the text.
  bool DrawText(const std::wstring& text, PixelRect box, const TextStyle& style);
  // The ink-free logical size the text takes when laid out at width (no limit
  // when width <= 0).
  PixelRect MeasureText(const std::wstring& text, const TextStyle& style, int width = 0) const;

  // The cairo image surface underneath, for backends that show it.
  _cairo_surface* CairoSurface() const { return surface_; }

 private:
  explicit Surface(_cairo_surface* adopted);

  _cairo_surface* surface_ = nullptr;
  int originX_ = 0;
  int originY_ = 0;
  bool hasClip_ = false;
  PixelRect clip_;
};

}  // namespace ui
