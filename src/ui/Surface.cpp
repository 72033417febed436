#include "ui/Surface.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "platform/Text.h"

namespace ui {

namespace {

// A drawing context on the surface with the origin and clip applied.
struct Context {
  cairo_t* cr = nullptr;
  Context(cairo_surface_t* surface, int originX, int originY, const PixelRect* clip) {
    cr = cairo_create(surface);
    cairo_translate(cr, originX, originY);
    if (clip) {
      cairo_rectangle(cr, clip->x, clip->y, clip->width, clip->height);
      cairo_clip(cr);
    }
  }
  ~Context() { cairo_destroy(cr); }
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;
};

cairo_operator_t OperatorOf(Blend blend) {
  return blend == Blend::Copy ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER;
}

std::uint32_t Premultiply(Rgba c) {
  auto mul = [&](std::uint8_t v) -> std::uint32_t { return (v * c.a + 127) / 255; };
  return (std::uint32_t{c.a} << 24) | (mul(c.r) << 16) | (mul(c.g) << 8) | mul(c.b);
}

Rgba Unpremultiply(std::uint32_t p) {
  const std::uint32_t a = p >> 24;
  if (a == 0) return {};
  auto div = [&](std::uint32_t v) { return static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (v * 255 + a / 2) / a)); };
  return {div((p >> 16) & 0xFF), div((p >> 8) & 0xFF), div(p & 0xFF), static_cast<std::uint8_t>(a)};
}

struct PngReader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t offset = 0;
};

cairo_status_t ReadPng(void* closure, unsigned char* out, unsigned int length) {
  auto* reader = static_cast<PngReader*>(closure);
  if (reader->size - reader->offset < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, reader->data + reader->offset, length);
  reader->offset += length;
  return CAIRO_STATUS_SUCCESS;
}

cairo_status_t WritePngChunk(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
  out->insert(out->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

// A pango layout for text laid out in a box of width (no limit when <= 0)
// and height (no limit when <= 0).
PangoLayout* MakeLayout(cairo_t* cr, const std::wstring& text, const TextStyle& style, int width, int height) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_new();
  const std::string family = platform::ToUtf8(style.family);
  pango_font_description_set_family(font, family.c_str());
  pango_font_description_set_absolute_size(font, style.pixelSize * PANGO_SCALE);
  pango_font_description_set_weight(font, style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);

  // Text ends at its first NUL, as a C string would; pango refuses embedded NULs.
  const std::string utf8 = platform::ToUtf8(std::wstring_view(text).substr(0, text.find(L'\0')));
  pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
  if (width > 0) {
    pango_layout_set_width(layout, width * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    if (style.trimming != TextTrimming::None) {
      pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
      // A positive height makes pango drop the lines that do not fit and end
      // the last one kept with the ellipsis; -1 keeps one line only.
      pango_layout_set_height(layout, style.wrap && height > 0 ? height * PANGO_SCALE : -1);
    } else if (!style.wrap) {
      // Without trimming and wrapping the text runs on past the box, cut by the clip.
      pango_layout_set_width(layout, -1);
    }
  }
  switch (style.align) {
    case TextAlign::Near: pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT); break;
    case TextAlign::Center: pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER); break;
    case TextAlign::Far: pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT); break;
  }
  return layout;
}

}  // namespace

ColorMatrix ColorMatrix::Identity() {
  ColorMatrix matrix;
  for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
  return matrix;
}

ColorMatrix ColorMatrix::ScaleOffset(float scale, float offset) {
  ColorMatrix matrix = Identity();
  for (int i = 0; i < 3; ++i) {
    matrix.m[i][i] = scale;
    matrix.m[4][i] = offset;
  }
  return matrix;
}

Surface::Surface(int width, int height) {
  if (width <= 0 || height <= 0) return;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return;
  }
  surface_ = s;
}

Surface::Surface(_cairo_surface* adopted) : surface_(adopted) {}

Surface::~Surface() {
  if (surface_) cairo_surface_destroy(surface_);
}

Surface::Surface(Surface&& other) noexcept
    : surface_(std::exchange(other.surface_, nullptr)),
      originX_(other.originX_),
      originY_(other.originY_),
      hasClip_(other.hasClip_),
      clip_(other.clip_) {}

Surface& Surface::operator=(Surface&& other) noexcept {
  if (this != &other) {
    if (surface_) cairo_surface_destroy(surface_);
    surface_ = std::exchange(other.surface_, nullptr);
    originX_ = other.originX_;
    originY_ = other.originY_;
    hasClip_ = other.hasClip_;
    clip_ = other.clip_;
  }
  return *this;
}

Surface Surface::FromPng(const std::uint8_t* data, std::size_t size) {
  if (!data || size == 0) return {};
  PngReader reader{data, size};
  cairo_surface_t* decoded = cairo_image_surface_create_from_png_stream(ReadPng, &reader);
  if (cairo_surface_status(decoded) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(decoded);
    return {};
  }
  if (cairo_image_surface_get_format(decoded) == CAIRO_FORMAT_ARGB32) return Surface(decoded);
  // Opaque or grey PNGs decode to other formats; keep one pixel layout.
  Surface result(cairo_image_surface_get_width(decoded), cairo_image_surface_get_height(decoded));
  if (!result.IsNull()) result.DrawSurfacePart(Surface(decoded), 0, 0, result.Width(), result.Height(), 0, 0, Blend::Copy);
  else cairo_surface_destroy(decoded);
  return result;
}

std::vector<std::uint8_t> Surface::ToPng() const {
  std::vector<std::uint8_t> out;
  if (!surface_) return out;
  if (cairo_surface_write_to_png_stream(surface_, WritePngChunk, &out) != CAIRO_STATUS_SUCCESS) out.clear();
  return out;
}

bool Surface::WritePng(const std::string& utf8Path) const {
  return surface_ && cairo_surface_write_to_png(surface_, utf8Path.c_str()) == CAIRO_STATUS_SUCCESS;
}

int Surface::Width() const { return surface_ ? cairo_image_surface_get_width(surface_) : 0; }
int Surface::Height() const { return surface_ ? cairo_image_surface_get_height(surface_) : 0; }

Surface Surface::Clone() const {
  Surface copy(Width(), Height());
  copy.DrawSurfacePart(*this, 0, 0, Width(), Height(), 0, 0, Blend::Copy);
  copy.originX_ = originX_;
  copy.originY_ = originY_;
  copy.hasClip_ = hasClip_;
  copy.clip_ = clip_;
  return copy;
}

Rgba Surface::GetPixel(int x, int y) const {
  if (!surface_ || x < 0 || y < 0 || x >= Width() || y >= Height()) return {};
  cairo_surface_flush(surface_);
  const unsigned char* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
  std::uint32_t p;
  std::memcpy(&p, row + x * 4, 4);
  return Unpremultiply(p);
}

void Surface::SetPixel(int x, int y, Rgba colour) {
  if (!surface_ || x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  cairo_surface_flush(surface_);
  unsigned char* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
  const std::uint32_t p = Premultiply(colour);
  std::memcpy(row + x * 4, &p, 4);
  cairo_surface_mark_dirty_rectangle(surface_, x, y, 1, 1);
}

void Surface::SetOrigin(int x, int y) {
  originX_ = x;
  originY_ = y;
}

void Surface::SetClip(PixelRect clip) {
  hasClip_ = true;
  clip_ = clip;
}

void Surface::ResetClip() { hasClip_ = false; }

PixelRect Surface::ClipBox() const {
  if (hasClip_) return clip_;
  return {-originX_, -originY_, Width(), Height()};
}

void Surface::FillRect(PixelRect rect, Rgba colour, Blend blend) {
  if (!surface_ || rect.IsEmpty()) return;
  Context c(surface_, originX_, originY_, hasClip_ ? &clip_ : nullptr);
  cairo_set_operator(c.cr, OperatorOf(blend));
  cairo_set_source_rgba(c.cr, colour.r / 255.0, colour.g / 255.0, colour.b / 255.0, colour.a / 255.0);
  cairo_rectangle(c.cr, rect.x, rect.y, rect.width, rect.height);
  cairo_fill(c.cr);
}

void Surface::FillTiled(PixelRect rect, const Surface& texture, int originX, int originY) {
  if (!surface_ || !texture.surface_ || rect.IsEmpty()) return;
  Context c(surface_, originX_, originY_, hasClip_ ? &clip_ : nullptr);
  cairo_set_source_surface(c.cr, texture.surface_, originX, originY);
  cairo_pattern_set_extend(cairo_get_source(c.cr), CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(cairo_get_source(c.cr), CAIRO_FILTER_NEAREST);
  cairo_rectangle(c.cr, rect.x, rect.y, rect.width, rect.height);
  cairo_fill(c.cr);
}

void Surface::DrawSurface(const Surface& source, int x, int y, double alpha, Blend blend) {
  if (!surface_ || !source.surface_) return;
  // Drawing a surface onto itself reads the pixels it writes: go through a copy.
  if (source.surface_ == surface_) return DrawSurface(source.Clone(), x, y, alpha, blend);
  Context c(surface_, originX_, originY_, hasClip_ ? &clip_ : nullptr);
  cairo_rectangle(c.cr, x, y, source.Width(), source.Height());
  cairo_clip(c.cr);
  cairo_set_operator(c.cr, OperatorOf(blend));
  cairo_set_source_surface(c.cr, source.surface_, x, y);
  cairo_pattern_set_filter(cairo_get_source(c.cr), CAIRO_FILTER_NEAREST);
  cairo_paint_with_alpha(c.cr, std::clamp(alpha, 0.0, 1.0));
}

void Surface::DrawSurfacePart(const Surface& source, int sourceX, int sourceY, int width, int height, int x, int y,
                              Blend blend) {
  if (!surface_ || !source.surface_ || width <= 0 || height <= 0) return;
  if (source.surface_ == surface_) {
    return DrawSurfacePart(Snapshot({sourceX - originX_, sourceY - originY_, width, height}), 0, 0, width, height, x, y,
                           blend);
  }
  Context c(surface_, originX_, originY_, hasClip_ ? &clip_ : nullptr);
  cairo_set_operator(c.cr, OperatorOf(blend));
  cairo_set_source_surface(c.cr, source.surface_, x - sourceX, y - sourceY);
  cairo_pattern_set_filter(cairo_get_source(c.cr), CAIRO_FILTER_NEAREST);
  cairo_rectangle(c.cr, x, y, width, height);
  cairo_fill(c.cr);
}

Surface Surface::Snapshot(PixelRect rect) const {
  Surface copy(rect.width, rect.height);
  if (copy.IsNull() || !surface_) return copy;
  copy.DrawSurfacePart(*this, rect.x + originX_, rect.y + originY_, rect.width, rect.height, 0, 0, Blend::Copy);
  return copy;
}

void Surface::MapPixels(const std::function<Rgba(Rgba)>& change) {
  if (!surface_) return;
  cairo_surface_flush(surface_);
  unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  const int width = Width();
  const int height = Height();
  for (int y = 0; y < height; ++y) {
    unsigned char* row = data + y * stride;
    for (int x = 0; x < width; ++x) {
      std::uint32_t p;
      std::memcpy(&p, row + x * 4, 4);
      p = Premultiply(change(Unpremultiply(p)));
      std::memcpy(row + x * 4, &p, 4);
    }
  }
  cairo_surface_mark_dirty(surface_);
}

std::vector<std::uint8_t> Surface::Alphas() const {
  if (!surface_) return {};
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  const int width = Width();
  const int height = Height();
  std::vector<std::uint8_t> alphas(std::size_t(width) * std::size_t(height));
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = data + y * stride;
    for (int x = 0; x < width; ++x) {
      std::uint32_t p;
      std::memcpy(&p, row + x * 4, 4);
      alphas[std::size_t(y) * width + x] = std::uint8_t(p >> 24);
    }
  }
  return alphas;
}

void Surface::ApplyColorMatrix(const ColorMatrix& matrix) {
  MapPixels([&](Rgba in) {
    const float v[5] = {in.r / 255.0f, in.g / 255.0f, in.b / 255.0f, in.a / 255.0f, 1.0f};
    std::uint8_t out[4];
    for (int j = 0; j < 4; ++j) {
      float sum = 0;
      for (int i = 0; i < 5; ++i) sum += v[i] * matrix.m[i][j];
      out[j] = static_cast<std::uint8_t>(std::lround(std::clamp(sum, 0.0f, 1.0f) * 255.0f));
    }
    return Rgba{out[0], out[1], out[2], out[3]};
  });
}

bool Surface::DrawText(const std::wstring& text, PixelRect box, const TextStyle& style) {
  if (!surface_ || text.empty() || box.IsEmpty()) return false;
  Context c(surface_, originX_, originY_, hasClip_ ? &clip_ : nullptr);
  cairo_rectangle(c.cr, box.x, box.y, box.width, box.height);
  cairo_clip(c.cr);
  PangoLayout* layout = MakeLayout(c.cr, text, style, box.width, box.height);
  int x = box.x;
  if (pango_layout_get_width(layout) < 0 && style.align != TextAlign::Near) {
    // An unbroken line is placed by hand: pango aligns only within a set width.
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    const int spare = box.width - logical.width;
    x += style.align == TextAlign::Center ? spare / 2 : spare;
  }
  cairo_set_source_rgba(c.cr, style.colour.r / 255.0, style.colour.g / 255.0, style.colour.b / 255.0,
                        style.colour.a / 255.0);
  cairo_move_to(c.cr, x, box.y);
  pango_cairo_show_layout(c.cr, layout);
  const bool ellipsized = pango_layout_is_ellipsized(layout);
  g_object_unref(layout);
  return ellipsized;
}

PixelRect Surface::MeasureText(const std::wstring& text, const TextStyle& style, int width) const {
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* cr = cairo_create(scratch);
  PangoLayout* layout = MakeLayout(cr, text, style, width, 0);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, nullptr, &logical);
  g_object_unref(layout);
  cairo_destroy(cr);
  cairo_surface_destroy(scratch);
  return {logical.x, logical.y, logical.width, logical.height};
}

}  // namespace ui
