#include "skin/TouchButton.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "ui/Cursor.h"
#include "ui/Dialog.h"
#include "ui/Input.h"
#include "ui/Render.h"
#include "ui/System.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using ui::Rgba;

constexpr int kButtonId = 1001;
// The button's place on the board.
constexpr int kLeft = 20, kTop = 10, kWidth = 20, kHeight = 16;

// The board's background: every pixel tells where it is.
Rgba BoardPixel(int x, int y) { return {std::uint8_t(x * 4), std::uint8_t(y * 4), 100, 255}; }

std::vector<std::uint8_t> MakePng(int w, int h, const std::function<Rgba(int, int)>& pixel) {
  ui::Surface s(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.SetPixel(x, y, pixel(x, y));
  return s.ToPng();
}

std::unique_ptr<CGdiPlusBitmapResource> Holder(const std::vector<std::uint8_t>& png) {
  auto holder = std::make_unique<CGdiPlusBitmapResource>();
  EXPECT_TRUE(holder->LoadFromBytes(png.data(), png.size()));
  return holder;
}

struct Images {
  std::vector<std::uint8_t> normal, hover, pressed;
};

// A window with a patterned background and one skinned button.
class Board : public ui::Dialog {
 public:
  explicit Board(Images images) : ui::Dialog(Template()), images_(std::move(images)) {}

  CTouchButton button;
  int clicks = 0;
  Rgba (*paint)(int, int) = BoardPixel;

 protected:
  static ui::DialogTemplate Template() {
    ui::DialogTemplate t;
    t.id = 900;
    t.style = ui::WS_POPUP | ui::WS_VISIBLE;
    t.size = {60, 40};
    t.controls = {{kButtonId, ui::Rect::FromXYWH(kLeft, kTop, kWidth, kHeight), L""}};
    return t;
  }
  void DoDataExchange() override { DDX_Control(kButtonId, button); }
  bool OnInitDialog() override {
    ui::Dialog::OnInitDialog();
    button.SetStateImages(Holder(images_.normal), Holder(images_.hover), Holder(images_.pressed));
    return true;
  }
  bool OnEraseBkgnd(ui::Surface& s) override {
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 60; ++x) s.SetPixel(x, y, paint(x, y));
    return true;
  }
  bool OnCommand(ui::WPARAM wParam, ui::LPARAM lParam) override {
    if (ui::LOWORD(wParam) == kButtonId && ui::HIWORD(wParam) == ui::BN_CLICKED) {
      ++clicks;
      return true;
    }
    return ui::Dialog::OnCommand(wParam, lParam);
  }

 private:
  Images images_;
};

class TouchButtonTest : public ::testing::Test {
 protected:
  void SetUp() override { ui::Init(std::make_unique<ui::headless::HeadlessBackend>()); }
  void TearDown() override { ui::Shutdown(); }
  ui::headless::HeadlessBackend& Desk() { return ui::headless::HeadlessBackend::Get(); }

  // The board as shown, the button's area in board coordinates.
  Rgba Shown(Board& board, int bx, int by) { return ui::RenderWindow(board).GetPixel(kLeft + bx, kTop + by); }
  ui::Point Centre(ui::Window& w) {
    const ui::Rect r = w.GetWindowRect();
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
};

constexpr Rgba kGreen{0, 200, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kMarker{200, 0, 0, 255};

// Normal: 12 x 8, left half green, right half transparent (smaller than the button).
// Hover: 20 x 16, opaque (100, 50, 0) with a half-transparent column at x = 0.
// Pressed: 30 x 30, white with a marker at the button's last pixel (larger than the button).
Images TestImages() {
  return {
      MakePng(12, 8, [](int x, int) { return x < 6 ? kGreen : Rgba{}; }),
      MakePng(20, 16, [](int x, int) { return x == 0 ? Rgba{100, 50, 0, 128} : Rgba{100, 50, 0, 255}; }),
      MakePng(30, 30, [](int x, int y) { return x == kWidth - 1 && y == kHeight - 1 ? kMarker : kWhite; }),
  };
}

bool Near(Rgba a, Rgba b) {
  auto d = [](int p, int q) { return std::abs(p - q) <= 1; };
  return d(a.r, b.r) && d(a.g, b.g) && d(a.b, b.b) && d(a.a, b.a);
}

TEST_F(TouchButtonTest, LooksAreImagesOverTheParentsBackground) {
  Board board(TestImages());
  ASSERT_TRUE(board.Create(nullptr));
  EXPECT_TRUE(board.button.GetStyle() & ui::BS_OWNERDRAW);

  // Normal: the image where it is opaque, the parent through its transparent
  // half and all around it.
  EXPECT_EQ(Shown(board, 2, 2), kGreen);
  EXPECT_EQ(Shown(board, 8, 2), BoardPixel(kLeft + 8, kTop + 2));
  EXPECT_EQ(Shown(board, 15, 12), BoardPixel(kLeft + 15, kTop + 12));
  EXPECT_TRUE(board.button.AreLooksBuilt());

  // Hover: 1.05 x channel + 0.05, clamped, over the parent.
  Desk().Hover(board.button);
  ASSERT_TRUE(board.button.IsHover());
  EXPECT_TRUE(Near(Shown(board, 5, 5), {118, 65, 13, 255}));
  {
    // Half-transparent column: the brightened colour at alpha 128 over the board.
    const Rgba under = BoardPixel(kLeft, kTop + 5);
    const auto mix = [](int top, int bottom) { return std::uint8_t((top * 128 + bottom * 127 + 127) / 255); };
    const Rgba got = Shown(board, 0, 5);
    const Rgba want{mix(118, under.r), mix(65, under.g), mix(13, under.b), 255};
    EXPECT_TRUE(std::abs(got.r - want.r) <= 2 && std::abs(got.g - want.g) <= 2 && std::abs(got.b - want.b) <= 2)
        << int(got.r) << "," << int(got.g) << "," << int(got.b);
  }

  // Pressed: the larger image is cut at the button's right and bottom edges.
  ASSERT_TRUE(ui::input::MouseDown(ui::input::MouseButton::Left, Centre(board.button)));
  EXPECT_EQ(Shown(board, 0, 0), kWhite);
  EXPECT_EQ(Shown(board, kWidth - 1, kHeight - 1), kMarker);
  EXPECT_EQ(ui::RenderWindow(board).GetPixel(kLeft + kWidth, kTop + kHeight), BoardPixel(kLeft + kWidth, kTop + kHeight));
  ASSERT_TRUE(ui::input::MouseUp(ui::input::MouseButton::Left, Centre(board.button)));
  EXPECT_EQ(board.clicks, 1);
  EXPECT_TRUE(Near(Shown(board, 5, 5), {118, 65, 13, 255})) << "still over the button: hover look";

  Desk().MoveOffWindows();
  EXPECT_EQ(Shown(board, 2, 2), kGreen);

  // The looks are never rebuilt: a new parent background stays hidden.
  board.paint = [](int, int) { return Rgba{0, 0, 0, 255}; };
  board.Invalidate();
  board.button.Invalidate();
  EXPECT_EQ(Shown(board, 8, 2), BoardPixel(kLeft + 8, kTop + 2));
}

TEST_F(TouchButtonTest, MissingImageHolderLeavesTheButtonUnpaintedButWorking) {
  Board board(TestImages());
  ASSERT_TRUE(board.Create(nullptr));
  board.button.SetStateImages(Holder(TestImages().normal), nullptr, Holder(TestImages().pressed));
  ui::RenderWindow(board);
  EXPECT_FALSE(board.button.AreLooksBuilt());
  EXPECT_NE(board.button.GetBacking().GetPixel(2, 2), kGreen) << "no look painted";
  ASSERT_TRUE(Desk().Click(board.button));
  EXPECT_EQ(board.clicks, 1);
}

TEST_F(TouchButtonTest, HoverTrackingCursorAndDoubleClick) {
  Board board(TestImages());
  ASSERT_TRUE(board.Create(nullptr));
  ui::RenderWindow(board);

  Desk().MoveMouse(Centre(board.button));
  EXPECT_TRUE(board.button.IsTracking());
  EXPECT_FALSE(board.button.IsHover());
  EXPECT_EQ(Desk().CurrentCursor(), ui::Cursor::Hand);
  ui::input::MouseRest();
  EXPECT_TRUE(board.button.IsHover());
  EXPECT_EQ(board.button.GetToolTip(), nullptr) << "no text, no tooltip";

  Desk().MoveOffWindows();
  EXPECT_FALSE(board.button.IsTracking());
  EXPECT_FALSE(board.button.IsHover());

  ASSERT_TRUE(Desk().DoubleClick(board.button));
  EXPECT_EQ(board.clicks, 2);
}

TEST_F(TouchButtonTest, TooltipIsRebuiltOnEveryHover) {
  Board board(TestImages());
  ASSERT_TRUE(board.Create(nullptr));
  board.button.SetToolTipText(L"", true);
  EXPECT_EQ(board.button.GetToolTip(), nullptr);
  board.button.SetToolTipText(L"刷新", true);
  ASSERT_NE(board.button.GetToolTip(), nullptr);

  Desk().Hover(board.button);
  ui::ToolTip* first = board.button.GetToolTip();
  ASSERT_NE(first, nullptr);
  const ui::HWND firstHandle = first->GetSafeHwnd();
  EXPECT_EQ(first->GetDelayTime(), 2000u);
  EXPECT_TRUE(first->IsActive());
  ASSERT_EQ(first->GetToolCount(), 1);
  EXPECT_EQ(first->GetTools()[0].text, L"刷新");
  EXPECT_EQ(first->GetTools()[0].id, 1u);

  Desk().MoveOffWindows();
  Desk().Hover(board.button);
  ASSERT_NE(board.button.GetToolTip(), nullptr);
  EXPECT_NE(board.button.GetToolTip()->GetSafeHwnd(), firstHandle);
  EXPECT_FALSE(ui::IsWindow(firstHandle));
}

}  // namespace
