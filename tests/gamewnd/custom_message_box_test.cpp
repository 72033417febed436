#include "gamewnd/CustomMessageBox.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/Input.h"
#include "ui/Render.h"
#include "ui/System.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using ui::Rect;

class CustomMessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { ui::Init(std::make_unique<ui::headless::HeadlessBackend>()); }
  void TearDown() override { ui::Shutdown(); }
  ui::headless::HeadlessBackend& Desk() { return ui::headless::HeadlessBackend::Get(); }

  // Runs a box with the texts; action runs while it is up.
  ui::INT_PTR Run(const std::wstring& caption, const std::wstring& text, std::function<void(ui::Dialog&)> action) {
    CCustomMessageBox box;
    box.SetMsg(caption, text);
    Desk().ExpectDialog(CCustomMessageBox::kTemplateId, std::move(action));
    return box.DoModal();
  }

  // The box's picture with the given texts.
  ui::Surface Picture(const std::wstring& caption, const std::wstring& text) {
    ui::Surface picture;
    Run(caption, text, [&](ui::Dialog& d) {
      picture = ui::RenderWindow(d);
      d.SendMessage(ui::WM_COMMAND, ui::IDCANCEL);
    });
    return picture;
  }
};

ui::Point Centre(const Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The bounding box of the pixels where two pictures differ; empty when none do.
Rect Difference(const ui::Surface& a, const ui::Surface& b) {
  Rect box;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) box = box.Union(Rect::FromXYWH(x, y, 1, 1));
  return box;
}

bool Inside(const Rect& inner, const Rect& outer) { return inner.Intersect(outer) == inner; }

TEST_F(CustomMessageBoxTest, EveryWayOutButConfirmGivesCancel) {
  struct Case {
    const char* name;
    std::function<void(ui::Dialog&)> act;
    ui::INT_PTR result;
  };
  auto click = [this](int id) {
    return [this, id](ui::Dialog& d) { ASSERT_TRUE(Desk().Click(*d.GetDlgItem(id))); };
  };
  const Case cases[] = {
      {"confirm button", click(ui::IDOK), ui::IDOK},
      {"cancel button", click(ui::IDCANCEL), ui::IDCANCEL},
      {"close button", click(CCustomMessageBox::kCloseButton), ui::IDCANCEL},
      {"Esc", [this](ui::Dialog&) { Desk().KeyPress(ui::VK_ESCAPE); }, ui::IDCANCEL},
      {"desktop close", [](ui::Dialog& d) { ui::input::CloseRequested(d.GetSafeHwnd()); }, ui::IDCANCEL},
      {"Enter", [this](ui::Dialog&) { Desk().KeyPress(ui::VK_RETURN); }, ui::IDOK},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(L"选服", L"是否退出？", c.act), c.result) << c.name;
}

TEST_F(CustomMessageBoxTest, SizeAndButtonPlaces) {
  Run(L"", L"", [](ui::Dialog& d) {
    EXPECT_EQ(d.GetWindowRect().Width(), CCustomMessageBox::kWidth);
    EXPECT_EQ(d.GetWindowRect().Height(), CCustomMessageBox::kHeight);
    EXPECT_FALSE(d.GetStyle() & ui::WS_CAPTION);
    EXPECT_TRUE(d.GetStyle() & ui::WS_MINIMIZEBOX);
    auto place = [&](int id) {
      Rect r = d.GetDlgItem(id)->GetWindowRect();
      d.ScreenToClient(&r);
      return r;
    };
    EXPECT_EQ(place(CCustomMessageBox::kCloseButton), Rect::FromXYWH(253 - 25, 10, 28, 26));
    EXPECT_EQ(place(ui::IDOK), Rect::FromXYWH(45, 106 - 45, 82, 34));
    EXPECT_EQ(place(ui::IDCANCEL), Rect::FromXYWH(137, 106 - 45, 82, 34));
    d.SendMessage(ui::WM_COMMAND, ui::IDCANCEL);
  });
}

TEST_F(CustomMessageBoxTest, TextsStayInTheirBoxes) {
  CCustomMessageBox fresh;
  EXPECT_EQ(fresh.GetCaption(), L"温馨提示");
  EXPECT_EQ(fresh.GetMsg(), L"");

  const ui::Surface bare = Picture(L"", L"");
  const ui::Surface caption = Picture(L"温馨提示", L"");
  const ui::Surface text = Picture(L"", L"是否退出Veltan登录器？");
  const Rect captionInk = Difference(bare, caption);
  const Rect textInk = Difference(bare, text);
  ASSERT_FALSE(captionInk.IsEmpty());
  ASSERT_FALSE(textInk.IsEmpty());
  EXPECT_TRUE(Inside(captionInk, CCustomMessageBox::kCaptionRect));
  EXPECT_TRUE(Inside(textInk, CCustomMessageBox::kTextRect));
  // Centred in their boxes.
  const Rect cr = CCustomMessageBox::kCaptionRect;
  EXPECT_NEAR(captionInk.left - cr.left, cr.right - captionInk.right, 2);
  // The caption is white.
  const ui::Rgba white{255, 255, 255, 255};
  bool sawWhite = false;
  for (int y = captionInk.top; y < captionInk.bottom; ++y)
    for (int x = captionInk.left; x < captionInk.right; ++x) sawWhite |= caption.GetPixel(x, y) == white;
  EXPECT_TRUE(sawWhite);

  // Long texts are cut inside their boxes: whatever follows the cut changes nothing.
  const std::wstring longText(120, L'缓');
  const std::wstring longCaption = L"一个非常非常长的标题文字一直写下去";
  const ui::Surface longer = Picture(longCaption, longText);
  EXPECT_TRUE(Inside(Difference(bare, longer), CCustomMessageBox::kCaptionRect.Union(CCustomMessageBox::kTextRect)));
  EXPECT_EQ(Difference(longer, Picture(longCaption + L"再长一点", longText + L"再长一点")), Rect{});
}

TEST_F(CustomMessageBoxTest, DraggedByTheBackgroundNotByAButton) {
  Run(L"", L"", [this](ui::Dialog& d) {
    const Rect start = d.GetWindowRect();
    const ui::Point background{start.left + 10, start.top + 40};
    EXPECT_EQ(d.SendMessage(ui::WM_NCHITTEST, 0, ui::PointToLParam(background.x, background.y)), ui::HTCAPTION);

    const ui::Point onCancel = Centre(d.GetDlgItem(ui::IDCANCEL)->GetWindowRect());
    ASSERT_TRUE(Desk().Drag(onCancel, {onCancel.x + 30, onCancel.y + 20}));
    EXPECT_EQ(d.GetWindowRect(), start);
    EXPECT_TRUE(d.IsModalRunning()) << "released off the button: no command";

    ASSERT_TRUE(Desk().Drag(background, {background.x + 30, background.y + 20}));
    EXPECT_EQ(d.GetWindowRect(), start.Offset(30, 20));
    d.SendMessage(ui::WM_COMMAND, ui::IDCANCEL);
  });
}

}  // namespace
