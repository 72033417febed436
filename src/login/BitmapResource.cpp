#include "login/BitmapResource.h"

#include "platform/Resources.h"

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
// Large enough for any picture of the skin; a header asking for more is damaged.
constexpr std::int64_t kMaxSide = 16384;

std::uint32_t U32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }

}  // namespace

ui::Surface DecodeBitmapFile(const std::uint8_t* data, std::size_t size) {
  if (!data || size < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') return {};
  const std::uint32_t pixelOffset = U32(data + 10);
  const std::uint8_t* info = data + kFileHeaderSize;
  const std::uint32_t infoSize = U32(info);
  if (infoSize < kInfoHeaderSize || infoSize > size - kFileHeaderSize) return {};
  const std::int64_t width = std::int32_t(U32(info + 4));
  const std::int64_t signedHeight = std::int32_t(U32(info + 8));
  const std::uint16_t planes = U16(info + 12);
  const std::uint16_t bits = U16(info + 14);
  const std::uint32_t compression = U32(info + 16);
  // Plain BI_RGB rows only: the client's bitmaps are stored that way.
  if (planes != 1 || compression != 0 || (bits != 24 && bits != 32)) return {};
  const std::int64_t height = signedHeight < 0 ? -signedHeight : signedHeight;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return {};

  const std::int64_t bytesPerPixel = bits / 8;
  const std::int64_t stride = (width * bytesPerPixel + 3) / 4 * 4;
  if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset > size) return {};
  if (std::int64_t(size - pixelOffset) < stride * height) return {};

  ui::Surface image{int(width), int(height)};
  if (image.IsNull()) return {};
  const bool bottomUp = signedHeight > 0;
  for (std::int64_t row = 0; row < height; ++row) {
    const std::uint8_t* p = data + pixelOffset + row * stride;
    const int y = int(bottomUp ? height - 1 - row : row);
    for (std::int64_t x = 0; x < width; ++x, p += bytesPerPixel)
      image.SetPixel(int(x), y, {p[2], p[1], p[0], 255});
  }
  return image;
}

ui::Surface LoadBitmapResource(int id) {
  if (id < 0 || id > 0xFFFF) return {};
  const auto resource = platform::FindResource("BITMAP", id);
  if (!resource) return {};
  return DecodeBitmapFile(resource->data, resource->size);
}
