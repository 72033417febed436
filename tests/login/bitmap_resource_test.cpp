// Bitmap files as resources: the layouts the client's bitmaps use decode to
// their pixels, anything else gives no picture instead of reading astray.
#include "login/BitmapResource.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

void Put32(std::vector<std::uint8_t>& b, size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
}
void Put16(std::vector<std::uint8_t>& b, size_t at, std::uint16_t v) {
  b[at] = std::uint8_t(v);
  b[at + 1] = std::uint8_t(v >> 8);
}

// A 3 x 2 bitmap: top row red, green, blue; bottom row white, black, grey.
std::vector<std::uint8_t> MakeBitmap(int bits, bool topDown) {
  const int w = 3, h = 2, bpp = bits / 8;
  const int stride = (w * bpp + 3) / 4 * 4;
  std::vector<std::uint8_t> b(54 + stride * h, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, std::uint32_t(b.size()));
  Put32(b, 10, 54);
  Put32(b, 14, 40);
  Put32(b, 18, w);
  Put32(b, 22, std::uint32_t(topDown ? -h : h));
  Put16(b, 26, 1);
  Put16(b, 28, std::uint16_t(bits));
  const std::uint8_t rows[2][3][3] = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}},
                                      {{255, 255, 255}, {0, 0, 0}, {128, 128, 128}}};
  for (int y = 0; y < h; ++y) {
    const int fileRow = topDown ? y : h - 1 - y;
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = &b[54 + fileRow * stride + x * bpp];
      p[0] = rows[y][x][2];
      p[1] = rows[y][x][1];
      p[2] = rows[y][x][0];
    }
  }
  return b;
}

TEST(BitmapFile, DecodesTheLayoutsInUse) {
  for (int bits : {24, 32}) {
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, " << (topDown ? "top-down" : "bottom-up"));
      const auto file = MakeBitmap(bits, topDown);
      const ui::Surface image = DecodeBitmapFile(file.data(), file.size());
      ASSERT_FALSE(image.IsNull());
      EXPECT_EQ(image.Width(), 3);
      EXPECT_EQ(image.Height(), 2);
      EXPECT_EQ(image.GetPixel(0, 0), (ui::Rgba{255, 0, 0, 255}));
      EXPECT_EQ(image.GetPixel(2, 0), (ui::Rgba{0, 0, 255, 255}));
      EXPECT_EQ(image.GetPixel(0, 1), (ui::Rgba{255, 255, 255, 255}));
      EXPECT_EQ(image.GetPixel(2, 1), (ui::Rgba{128, 128, 128, 255}));
    }
  }
}

TEST(BitmapFile, RefusesWhatItCannotReadSafely) {
  struct Case {
    const char* name;
    void (*damage)(std::vector<std::uint8_t>&);
  };
  const Case cases[] = {
      {"empty", [](std::vector<std::uint8_t>& b) { b.clear(); }},
      {"headers cut short", [](std::vector<std::uint8_t>& b) { b.resize(50); }},
      {"pixel rows cut short", [](std::vector<std::uint8_t>& b) { b.resize(b.size() - 1); }},
      {"not a bitmap", [](std::vector<std::uint8_t>& b) { b[0] = 'P'; }},
      {"8 bits per pixel", [](std::vector<std::uint8_t>& b) { Put16(b, 28, 8); }},
      {"compressed", [](std::vector<std::uint8_t>& b) { Put32(b, 30, 1); }},
      {"zero width", [](std::vector<std::uint8_t>& b) { Put32(b, 18, 0); }},
      {"negative width", [](std::vector<std::uint8_t>& b) { Put32(b, 18, std::uint32_t(-3)); }},
      {"huge height", [](std::vector<std::uint8_t>& b) { Put32(b, 22, 0x7FFFFFFF); }},
      {"most negative height", [](std::vector<std::uint8_t>& b) { Put32(b, 22, 0x80000000u); }},
      {"pixels offset past the end", [](std::vector<std::uint8_t>& b) { Put32(b, 10, 0xFFFFFFF0u); }},
      {"pixels offset inside the headers", [](std::vector<std::uint8_t>& b) { Put32(b, 10, 20); }},
      {"info header larger than the file", [](std::vector<std::uint8_t>& b) { Put32(b, 14, 0xFFFFFF00u); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto file = MakeBitmap(24, false);
    c.damage(file);
    EXPECT_TRUE(DecodeBitmapFile(file.data(), file.size()).IsNull());
  }
  EXPECT_TRUE(DecodeBitmapFile(nullptr, 100).IsNull());
}

TEST(BitmapResource, LoginFormBackgroundIsItsSizeWithAGreenTopStrip) {
  const ui::Surface form = LoadBitmapResource(318);
  ASSERT_FALSE(form.IsNull());
  EXPECT_EQ(form.Width(), 690);
  EXPECT_EQ(form.Height(), 513);
  EXPECT_EQ(form.GetPixel(10, 10), (ui::Rgba{0, 255, 0, 255}));
  EXPECT_EQ(form.GetPixel(300, 60), (ui::Rgba{0, 255, 0, 255}));
  EXPECT_NE(form.GetPixel(345, 300), (ui::Rgba{0, 255, 0, 255}));
  EXPECT_TRUE(LoadBitmapResource(9999).IsNull());
  EXPECT_TRUE(LoadBitmapResource(-1).IsNull());
}

}  // namespace
