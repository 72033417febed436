#include "ui/Surface.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "skin/MyMemDC.h"

namespace {

using ui::Blend;
using ui::PixelRect;
using ui::Rgba;
using ui::Surface;

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kClear{0, 0, 0, 0};

Surface Solid(int w, int h, Rgba colour) {
  Surface s(w, h);
  s.FillRect({0, 0, w, h}, colour, Blend::Copy);
  return s;
}

bool Near(Rgba a, Rgba b, int tolerance = 1) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance &&
         std::abs(a.a - b.a) <= tolerance;
}

// The bounding box of the pixels that differ from background; empty when none do.
PixelRect InkBox(const Surface& s, Rgba background) {
  int left = s.Width(), top = s.Height(), right = -1, bottom = -1;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.GetPixel(x, y) == background) continue;
      left = std::min(left, x);
      top = std::min(top, y);
      right = std::max(right, x);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return {};
  return {left, top, right - left + 1, bottom - top + 1};
}

bool Inside(PixelRect inner, PixelRect outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

TEST(Surface, PngRoundTripKeepsPixelsAndRejectsBadBytes) {
  Surface s(3, 2);
  const Rgba pixels[] = {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 0, 0}, {10, 20, 30, 255}, {255, 255, 255, 1}, {200, 100, 50, 200}};
  for (int i = 0; i < 6; ++i) s.SetPixel(i % 3, i / 3, pixels[i]);
  const auto png = s.ToPng();
  ASSERT_FALSE(png.empty());

  const Surface decoded = Surface::FromPng(png.data(), png.size());
  ASSERT_EQ(decoded.Width(), 3);
  ASSERT_EQ(decoded.Height(), 2);
  for (int i = 0; i < 6; ++i) {
    // An alpha of 1 keeps no colour through premultiplication; only alpha survives.
    const Rgba got = decoded.GetPixel(i % 3, i / 3);
    if (pixels[i].a > 1) EXPECT_TRUE(Near(got, pixels[i], 2)) << i;
    else EXPECT_EQ(got.a, pixels[i].a) << i;
  }

  const std::uint8_t garbage[] = {1, 2, 3, 4, 5};
  EXPECT_TRUE(Surface::FromPng(garbage, sizeof garbage).IsNull());
  EXPECT_TRUE(Surface::FromPng(png.data(), png.size() / 2).IsNull());
  EXPECT_TRUE(Surface::FromPng(nullptr, 0).IsNull());
  EXPECT_TRUE(Surface(0, 5).IsNull());
}

TEST(Surface, DrawingIsCutAtTheEdgesAndTheClip) {
  Surface dst = Solid(6, 6, kBlue);
  dst.DrawSurface(Solid(4, 4, kRed), 4, -2);  // only a 2x2 corner lands
  EXPECT_EQ(InkBox(dst, kBlue), (PixelRect{4, 0, 2, 2}));

  Surface clipped = Solid(6, 6, kBlue);
  clipped.SetClip({1, 1, 2, 3});
  clipped.FillRect({0, 0, 6, 6}, kRed);
  EXPECT_EQ(InkBox(clipped, kBlue), (PixelRect{1, 1, 2, 3}));

  // The origin moves drawing; the clip is given in drawing coordinates.
  Surface moved = Solid(6, 6, kBlue);
  moved.SetOrigin(2, 3);
  moved.SetClip({0, 0, 1, 1});
  moved.DrawSurface(Solid(4, 4, kRed), -1, -1);
  EXPECT_EQ(InkBox(moved, kBlue), (PixelRect{2, 3, 1, 1}));
  EXPECT_EQ(moved.ClipBox(), (PixelRect{0, 0, 1, 1}));
  moved.ResetClip();
  EXPECT_EQ(moved.ClipBox(), (PixelRect{-2, -3, 6, 6}));
}

TEST(Surface, BlendModes) {
  // Over: half-transparent red over blue; Copy: the half-transparent pixel itself.
  Surface over = Solid(2, 1, kBlue);
  Surface half(1, 1);
  half.SetPixel(0, 0, {255, 0, 0, 128});
  over.DrawSurface(half, 0, 0);
  EXPECT_TRUE(Near(over.GetPixel(0, 0), {128, 0, 127, 255}));
  over.DrawSurface(half, 1, 0, 1.0, Blend::Copy);
  EXPECT_TRUE(Near(over.GetPixel(1, 0), {255, 0, 0, 128}));

  Surface faded = Solid(1, 1, kBlue);
  faded.DrawSurface(Solid(1, 1, kRed), 0, 0, 0.5);
  EXPECT_TRUE(Near(faded.GetPixel(0, 0), {128, 0, 127, 255}));

  // A block copy of a transparent part clears what was there.
  Surface cleared = Solid(3, 1, kBlue);
  cleared.DrawSurfacePart(Surface(3, 1), 1, 0, 2, 1, 1, 0, Blend::Copy);
  EXPECT_EQ(cleared.GetPixel(0, 0), kBlue);
  EXPECT_EQ(cleared.GetPixel(1, 0), kClear);
  EXPECT_EQ(cleared.GetPixel(2, 0), kClear);
}

TEST(Surface, DrawingOntoItselfUsesThePixelsBefore) {
  Surface s(4, 1);
  const Rgba row[] = {kRed, kBlue, {0, 255, 0, 255}, kClear};
  for (int x = 0; x < 4; ++x) s.SetPixel(x, 0, row[x]);
  s.DrawSurfacePart(s, 0, 0, 3, 1, 1, 0, Blend::Copy);
  for (int x = 1; x < 4; ++x) EXPECT_EQ(s.GetPixel(x, 0), row[x - 1]) << x;
  s.DrawSurface(s, -1, 0, 1.0, Blend::Copy);
  EXPECT_EQ(s.GetPixel(0, 0), kRed);
  EXPECT_EQ(s.GetPixel(1, 0), kBlue);
}

TEST(Surface, TiledFillRepeatsFromItsAnchor) {
  Surface tile(2, 1);
  tile.SetPixel(0, 0, kRed);
  tile.SetPixel(1, 0, kBlue);
  Surface dst(5, 2);
  dst.FillTiled({0, 0, 5, 2}, tile, 1, 0);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 5; ++x) EXPECT_EQ(dst.GetPixel(x, y), (x % 2 == 1 ? kRed : kBlue)) << x << "," << y;
  }
}

TEST(Surface, SnapshotCopiesARegionAndLeavesTheOutsideTransparent) {
  Surface s = Solid(4, 4, kBlue);
  s.SetPixel(3, 3, kRed);
  s.SetOrigin(1, 1);
  const Surface snap = s.Snapshot({2, 2, 3, 3});  // surface pixels (3,3) to (5,5)
  ASSERT_EQ(snap.Width(), 3);
  EXPECT_EQ(snap.GetPixel(0, 0), kRed);
  EXPECT_EQ(snap.GetPixel(1, 0), kClear);
  EXPECT_EQ(snap.GetPixel(2, 2), kClear);
}

TEST(Surface, ColorMatrixBrightensColourKeepsAlphaAndClamps) {
  struct Case {
    Rgba in, out;
  };
  // 1.05 * c + 0.05 on 0..1: 0 -> 12.75, 100 -> 117.75, 200 -> 222.75, 250 -> clamped.
  const Case cases[] = {
      {{0, 0, 0, 255}, {13, 13, 13, 255}},
      {{100, 200, 250, 255}, {118, 223, 255, 255}},
      {{100, 100, 100, 128}, {118, 118, 118, 128}},
      {{0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    Surface s(1, 1);
    s.SetPixel(0, 0, c.in);
    s.ApplyColorMatrix(ui::ColorMatrix::ScaleOffset(1.05f, 0.05f));
    EXPECT_TRUE(Near(s.GetPixel(0, 0), c.out)) << int(c.in.r) << "," << int(c.in.a);
  }
  Surface same(1, 1);
  same.SetPixel(0, 0, {12, 34, 56, 78});
  const Rgba before = same.GetPixel(0, 0);
  same.ApplyColorMatrix(ui::ColorMatrix::Identity());
  EXPECT_EQ(same.GetPixel(0, 0), before);
}

TEST(Surface, TextStaysInItsBoxWrapsAndEllipsizes) {
  ui::TextStyle style;
  style.pixelSize = 11;
  style.colour = {255, 255, 255, 255};
  style.align = ui::TextAlign::Center;
  style.trimming = ui::TextTrimming::EllipsisCharacter;
  const PixelRect box{20, 10, 100, 30};

  Surface s = Solid(140, 60, kBlue);
  const std::wstring long_text(200, L'w');
  EXPECT_TRUE(s.DrawText(long_text, box, style));
  const PixelRect ink = InkBox(s, kBlue);
  EXPECT_TRUE(Inside(ink, box));
  EXPECT_GT(ink.height, 14) << "two lines expected";

  // A short text fits, is centred and is not trimmed.
  Surface shorter = Solid(140, 60, kBlue);
  EXPECT_FALSE(shorter.DrawText(L"ab", box, style));
  const PixelRect small = InkBox(shorter, kBlue);
  EXPECT_NEAR(small.x + small.width / 2.0, box.x + box.width / 2.0, 2.0);
  EXPECT_LT(small.y, box.y + 6);

  // Text ends at an embedded NUL.
  Surface cut = Solid(140, 60, kBlue);
  cut.DrawText(std::wstring(L"ab\0cd", 5), box, style);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 140; ++x) ASSERT_EQ(cut.GetPixel(x, y), shorter.GetPixel(x, y)) << x << "," << y;

  // Without wrapping the text keeps to one line.
  style.wrap = false;
  Surface one_line = Solid(140, 60, kBlue);
  EXPECT_TRUE(one_line.DrawText(long_text, box, style));
  EXPECT_LT(InkBox(one_line, kBlue).height, 14);
}

TEST(Surface, ChineseGlyphsAreDrawn) {
  ui::TextStyle style;
  style.pixelSize = 14;
  style.colour = {255, 245, 211, 255};
  auto ink_of = [&](const std::wstring& text) {
    Surface s = Solid(60, 20, {0, 0, 0, 255});
    s.DrawText(text, {0, 0, 60, 20}, style);
    return InkBox(s, {0, 0, 0, 255});
  };
  const PixelRect chinese = ink_of(L"缓存");
  EXPECT_GT(chinese.width, 20);
  EXPECT_GT(chinese.height, 8);
  // Without a font for them the characters would come out as the same
  // hex-code boxes as code points that no font has.
  const PixelRect missing = ink_of(L"\uE000\uE001");
  EXPECT_NE(std::pair(chinese.width, chinese.height), std::pair(missing.width, missing.height));
}

TEST(MyMemDC, DrawsInTargetCoordinatesAndReplacesTheRectOnClose) {
  Surface target = Solid(8, 8, kBlue);
  {
    CMyMemDC mem(target, {2, 3, 4, 2});
    EXPECT_EQ(target.GetPixel(2, 3), kBlue) << "nothing reaches the target before the copy back";
    mem->FillRect({3, 3, 1, 1}, kRed);  // target coordinates
  }
  EXPECT_EQ(target.GetPixel(3, 3), kRed);
  EXPECT_EQ(target.GetPixel(2, 3), kClear) << "the untouched part of the scratch image is copied too";
  EXPECT_EQ(target.GetPixel(1, 3), kBlue);
  EXPECT_EQ(target.GetPixel(2, 5), kBlue);

  Surface clipped = Solid(8, 8, kBlue);
  clipped.SetClip({1, 1, 2, 2});
  {
    CMyMemDC mem(clipped);
    EXPECT_EQ(mem.Rect(), (PixelRect{1, 1, 2, 2}));
    mem->FillRect({0, 0, 8, 8}, kRed);
  }
  EXPECT_EQ(InkBox(clipped, kBlue), (PixelRect{1, 1, 2, 2}));
}

}  // namespace
