#include "skin/PngImage.h"

#include <gtest/gtest.h>

#include <vector>

#include "skin/GdiPlusBitmap.h"
#include "skin/TouchButton.h"

namespace {

TEST(PngImage, SkinPicturesLoadAtTheirSizes) {
  struct Case {
    int id, width, height;
  };
  const Case cases[] = {
      {319, 1174, 686}, {304, 256, 110}, {172, 1, 30},  {203, 203, 30}, {206, 92, 30}, {275, 1, 1},
      {276, 23, 23},    {279, 23, 23},   {207, 28, 26}, {211, 59, 24},  {223, 97, 24}, {226, 78, 24},
      {314, 82, 34},    {311, 82, 34},   {316, 11, 10}, {320, 29, 30},  {325, 29, 30},
  };
  for (const Case& c : cases) {
    const auto image = LoadPngImage(c.id);
    ASSERT_TRUE(image) << c.id;
    EXPECT_EQ(image->Width(), c.width) << c.id;
    EXPECT_EQ(image->Height(), c.height) << c.id;

    CGdiPlusBitmapResource holder;
    ASSERT_TRUE(holder.Load(c.id)) << c.id;
    EXPECT_EQ(holder.Bitmap()->Width(), c.width) << c.id;
  }
}

TEST(PngImage, MissingOrUnreadableGivesNothing) {
  for (int id : {0, 1, 999, -1, 0x10000 + 304}) {
    EXPECT_EQ(LoadPngImage(id), nullptr) << id;
    CGdiPlusBitmapResource holder;
    EXPECT_FALSE(holder.Load(id)) << id;
    EXPECT_EQ(holder.Bitmap(), nullptr) << id;
  }
  // A failed load drops what the holder had.
  CGdiPlusBitmapResource holder;
  ASSERT_TRUE(holder.Load(304));
  const std::vector<std::uint8_t> damaged = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0};
  EXPECT_FALSE(holder.LoadFromBytes(damaged.data(), damaged.size()));
  EXPECT_EQ(holder.Bitmap(), nullptr);
}

TEST(PngImage, LoginBackgroundReportsByFlag) {
  std::unique_ptr<ui::Surface> image;
  ASSERT_TRUE(LoadLoginBackground(image));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Width(), 1174);
  EXPECT_EQ(image->Height(), 686);
}

TEST(PngImage, StateImagesReportTheHoverLoad) {
  CTouchButton button;
  EXPECT_TRUE(button.LoadStateImages(999, 208, 999));
  EXPECT_FALSE(button.LoadStateImages(207, 999, 227));
}

}  // namespace
