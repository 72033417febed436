#include "Writers.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace skingen {

namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(value & 0xFF);
  out.push_back((value >> 8) & 0xFF);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

bool Save(const std::vector<std::uint8_t>& bytes, const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

// BITMAPINFOHEADER
void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bits, std::uint32_t imageSize) {
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(bits));
  Put32(out, 0);  // BI_RGB
  Put32(out, imageSize);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
}

// A pixel of a cairo surface: premultiplied ARGB in native order.
std::uint32_t Pixel(cairo_surface_t* surface, int x, int y) {
  const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
  return reinterpret_cast<const std::uint32_t*>(row)[x];
}

std::uint8_t Unpremultiply(std::uint32_t channel, std::uint32_t alpha) {
  return alpha == 0 ? 0 : static_cast<std::uint8_t>((channel * 255 + alpha / 2) / alpha);
}

// libpng reports errors by longjmp back here; nothing in this function
// changes after setjmp.
bool WriteRgbaRows(png_structp png, png_infop info, std::FILE* file, int width, int height, png_byte* rgba) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 9);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) png_write_row(png, rgba + static_cast<std::size_t>(y) * width * 4);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool WritePng(cairo_surface_t* surface, const std::string& path) {
  // Written with libpng rather than cairo: cairo stores opaque pictures as
  // RGB, and every skin picture must be RGBA whatever its content.
  cairo_surface_flush(surface);
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  std::vector<png_byte> rgba(static_cast<std::size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = Pixel(surface, x, y);
      const std::uint32_t a = p >> 24;
      png_byte* out = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
      out[0] = Unpremultiply((p >> 16) & 0xFF, a);
      out[1] = Unpremultiply((p >> 8) & 0xFF, a);
      out[2] = Unpremultiply(p & 0xFF, a);
      out[3] = static_cast<png_byte>(a);
    }
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = info && WriteRgbaRows(png, info, file, width, height, rgba.data());
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0 && ok;
}

bool WriteBmp24(cairo_surface_t* surface, const std::string& path) {
  cairo_surface_flush(surface);
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  const std::uint32_t rowSize = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t imageSize = rowSize * static_cast<std::uint32_t>(height);
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 14 + 40 + imageSize);
  Put32(out, 0);
  Put32(out, 14 + 40);
  PutInfoHeader(out, width, height, 24, imageSize);
  for (int y = height - 1; y >= 0; --y) {
    const std::size_t start = out.size();
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = Pixel(surface, x, y);
      out.push_back(p & 0xFF);
      out.push_back((p >> 8) & 0xFF);
      out.push_back((p >> 16) & 0xFF);
    }
    out.resize(start + rowSize, 0);
  }
  return Save(out, path);
}

bool WriteIco(cairo_surface_t* surface, const std::string& path) {
  cairo_surface_flush(surface);
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  const std::uint32_t maskRow = ((static_cast<std::uint32_t>(width) + 31) / 32) * 4;
  const std::uint32_t imageSize = static_cast<std::uint32_t>(width * height * 4) + maskRow * height;

  std::vector<std::uint8_t> image;
  // An icon's BMP header counts the colour rows and the mask rows together.
  PutInfoHeader(image, width, height * 2, 32, imageSize);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = Pixel(surface, x, y);
      const std::uint32_t a = p >> 24;
      image.push_back(Unpremultiply(p & 0xFF, a));
      image.push_back(Unpremultiply((p >> 8) & 0xFF, a));
      image.push_back(Unpremultiply((p >> 16) & 0xFF, a));
      image.push_back(static_cast<std::uint8_t>(a));
    }
  }
  for (int y = height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskRow, 0);
    for (int x = 0; x < width; ++x) {
      if ((Pixel(surface, x, y) >> 24) == 0) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    image.insert(image.end(), row.begin(), row.end());
  }

  std::vector<std::uint8_t> out;
  Put16(out, 0);  // ICONDIR
  Put16(out, 1);  // icon
  Put16(out, 1);  // one image
  out.push_back(static_cast<std::uint8_t>(width));
  out.push_back(static_cast<std::uint8_t>(height));
  out.push_back(0);  // no palette
  out.push_back(0);
  Put16(out, 1);   // planes
  Put16(out, 32);  // bits per pixel
  Put32(out, static_cast<std::uint32_t>(image.size()));
  Put32(out, 6 + 16);
  out.insert(out.end(), image.begin(), image.end());
  return Save(out, path);
}

}  // namespace skingen
