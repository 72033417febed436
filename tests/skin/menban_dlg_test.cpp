#include "skin/MenbanDlg.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "skin/PngImage.h"
#include "ui/Render.h"
#include "ui/System.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using ui::Rect;

constexpr int kW = 400, kH = 300;

class MenbanDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::Init(std::make_unique<ui::headless::HeadlessBackend>());
    overlay = std::make_unique<CMenbanDlg>();
    ASSERT_TRUE(overlay->Create(nullptr));
    overlay->ShowWindow(ui::SW_HIDE);
    overlay->SetWindowPos(0, 100, 50, kW, kH, ui::SWP_NOZORDER);
  }
  void TearDown() override {
    overlay.reset();
    ui::Shutdown();
  }
  ui::headless::HeadlessBackend& Desk() { return ui::headless::HeadlessBackend::Get(); }

  // What the main window does around a cache clean.
  void Show() {
    overlay->SetTimer(CMenbanDlg::kAnimationTimer, CMenbanDlg::kAnimationPeriodMs);
    overlay->ShowWindow(ui::SW_SHOW);
    ui::RenderWindow(*overlay);
  }
  void Hide() {
    overlay->KillTimer(CMenbanDlg::kAnimationTimer);
    overlay->ShowWindow(ui::SW_HIDE);
  }
  // Frames shown by the next ticks.
  std::vector<int> Ticks(int count) {
    std::vector<int> frames;
    for (int i = 0; i < count; ++i) {
      Desk().Advance(CMenbanDlg::kAnimationPeriodMs);
      frames.push_back(overlay->GetCurrentFrameIndex());
    }
    return frames;
  }

  std::unique_ptr<CMenbanDlg> overlay;
};

Rect Difference(const ui::Surface& a, const ui::Surface& b) {
  Rect box;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) box = box.Union(Rect::FromXYWH(x, y, 1, 1));
  return box;
}

TEST_F(MenbanDlgTest, IsAWholeWindowMaskAtAlpha229) {
  const ui::LayeredState& layered = overlay->GetLayeredState();
  EXPECT_TRUE(overlay->GetExStyle() & ui::WS_EX_LAYERED);
  EXPECT_TRUE(layered.hasAttributes);
  EXPECT_EQ(layered.alpha, 229);
  EXPECT_EQ(layered.flags, ui::LWA_ALPHA);

  Show();
  // The fill texture over white everywhere away from the frame and the text.
  const auto fill = LoadPngImage(CMenbanDlg::kFillPng);
  ASSERT_TRUE(fill);
  ui::Surface expected(1, 1);
  expected.FillRect({0, 0, 1, 1}, {255, 255, 255, 255});
  expected.DrawSurface(*fill, 0, 0);
  const ui::Surface& shown = overlay->GetBacking();
  for (ui::Point p : {ui::Point{0, 0}, ui::Point{kW - 1, kH - 1}, ui::Point{kW - 1, 0}, ui::Point{0, kH / 2}})
    EXPECT_EQ(shown.GetPixel(p.x, p.y), expected.GetPixel(0, 0)) << p.x << "," << p.y;
  EXPECT_LT(expected.GetPixel(0, 0).r, 40) << "a dark mask";
}

TEST_F(MenbanDlgTest, FramesTurnAboveTheCentreAndContinueAfterAHide) {
  EXPECT_EQ(overlay->GetCurrentFrameIndex(), 0);
  Show();
  EXPECT_EQ(Ticks(5), (std::vector<int>{0, 1, 2, 3, 0}));
  Hide();
  Desk().Advance(1000);
  EXPECT_EQ(overlay->GetCurrentFrameIndex(), 0) << "no ticks while hidden";
  Show();
  EXPECT_EQ(Ticks(2), (std::vector<int>{1, 2}));

  // Each tick repaints the frame's 23 x 23 rectangle, 40 pixels above the
  // centre, and nothing else.
  const Rect frame = Rect::FromXYWH((kW - 23) / 2, (kH - 23) / 2 - 40, 23, 23);
  EXPECT_EQ(CMenbanDlg::FrameRect(kW, kH), frame);
  const ui::Surface before = overlay->GetBacking().Clone();
  const int paints = overlay->GetLastPaint().count;
  Ticks(1);
  EXPECT_EQ(overlay->GetLastPaint().count, paints + 1);
  EXPECT_EQ(overlay->GetLastPaint().rect, frame);
  const Rect changed = Difference(before, overlay->GetBacking());
  ASSERT_FALSE(changed.IsEmpty()) << "frames 278 and 279 look alike";
  EXPECT_EQ(changed.Intersect(frame), changed);

  // Other timers change nothing.
  overlay->SendMessage(ui::WM_TIMER, 7);
  EXPECT_EQ(overlay->GetCurrentFrameIndex(), 3);
  EXPECT_EQ(overlay->GetLastPaint().count, paints + 1);
}

TEST_F(MenbanDlgTest, TextIsCentredInItsBox) {
  Show();
  // The text is what differs from a plain mask outside the frame.
  ui::Surface picture = overlay->GetBacking().Clone();
  ui::Surface mask(kW, kH);
  mask.FillRect({0, 0, kW, kH}, picture.GetPixel(0, 0));
  const Rect frame = CMenbanDlg::FrameRect(kW, kH);
  picture.FillRect({frame.left, frame.top, frame.Width(), frame.Height()}, picture.GetPixel(0, 0));
  const Rect ink = Difference(mask, picture);
  const Rect box = CMenbanDlg::TextRect(kW, kH);
  EXPECT_EQ(box, Rect::FromXYWH(100, 134, 200, 31));
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_EQ(ink.Intersect(box), ink);
  EXPECT_NEAR(ink.left - box.left, box.right - ink.right, 2);
  EXPECT_LT(ink.top - box.top, 6) << "the text starts at the box's top";
}

}  // namespace
