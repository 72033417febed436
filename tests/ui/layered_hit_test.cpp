// Hit tests of a colour-keyed window: the answers follow every change to
// what the window shows, and asking again without a change composes nothing.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/HeadlessFixture.h"
#include "ui/Render.h"
#include "ui/Surface.h"
#include "ui/Window.h"

using namespace ui;

namespace {

class Painted : public Window {
 public:
  std::function<void(Surface&)> paint;

 protected:
  void OnPaint(Surface& surface) override {
    if (paint) paint(surface);
  }
};

constexpr Rgba kKey{255, 0, 255, 255};
constexpr Rgba kBody{200, 0, 0, 255};
const Rect kPlace = Rect::FromXYWH(200, 150, 100, 100);

// Keyed where the rectangle is, body colour elsewhere.
std::function<void(Surface&)> KeyedPart(PixelRect keyed) {
  return [keyed](Surface& s) {
    s.FillRect({0, 0, 200, 100}, kBody, Blend::Copy);
    s.FillRect(keyed, kKey, Blend::Copy);
  };
}

struct Answer {
  Point at;  // client coordinates of the keyed window
  bool hits;
};

}  // namespace

// A keyed window with one child, made in each test so that they are gone
// before the framework shuts down.
struct Scene {
  Scene() {
    EXPECT_TRUE(keyed.CreateEx({L"Keyed", L"", WS_POPUP | WS_VISIBLE, WS_EX_LAYERED, kPlace, 0, 0}));
    EXPECT_TRUE(keyed.SetLayeredWindowAttributes(RGB(255, 0, 255), 255, LWA_COLORKEY));
    keyed.paint = KeyedPart({0, 0, 50, 100});  // left half keyed
    EXPECT_TRUE(child.CreateEx({L"Child", L"", WS_CHILD | WS_VISIBLE, 0, Rect::FromXYWH(10, 10, 20, 20),
                                keyed.GetSafeHwnd(), 1}));
    child.paint = [](Surface& s) { s.FillRect({0, 0, 20, 20}, {0, 0, 200, 255}, Blend::Copy); };
  }

  void ExpectAnswers(const std::string& step, const std::vector<Answer>& answers) {
    Point origin = keyed.GetWindowRect().TopLeft();
    for (const Answer& a : answers) {
      EXPECT_EQ(keyed.HitTestLayered({origin.x + a.at.x, origin.y + a.at.y}), a.hits)
          << step << " at (" << a.at.x << ", " << a.at.y << ")";
    }
    // The same answers a fresh composition of the window gives.
    Surface shown = RenderWindow(keyed);
    for (const Answer& a : answers) {
      if (a.at.x < 0 || a.at.y < 0 || a.at.x >= shown.Width() || a.at.y >= shown.Height()) continue;
      EXPECT_EQ(shown.GetPixel(a.at.x, a.at.y).a > 0, a.hits)
          << step << " rendered at (" << a.at.x << ", " << a.at.y << ")";
    }
  }

  Painted keyed;
  Painted child;
  Painted extra;
};

using LayeredHitTest = HeadlessTest;

TEST_F(LayeredHitTest, AnswersFollowWhatTheWindowShows) {
  Scene scene;
  Painted& keyed = scene.keyed;
  Painted& child = scene.child;
  Painted& extra = scene.extra;
  struct Step {
    std::string name;
    std::function<void()> change;
    std::vector<Answer> answers;
  };
  const std::vector<Step> steps = {
      {"first look", [] {},
       {{{5, 5}, false}, {{15, 15}, true}, {{45, 90}, false}, {{75, 25}, true}, {{75, 75}, true},
        {{-1, 5}, false}, {{100, 5}, false}, {{5, 100}, false}}},
      {"repainted with the top half keyed",
       [&] {
         keyed.paint = KeyedPart({0, 0, 100, 50});
         keyed.Invalidate();
       },
       {{{5, 5}, false}, {{15, 15}, true}, {{45, 90}, true}, {{75, 25}, false}, {{75, 75}, true}}},
      {"child moved right", [&] { child.MoveWindow(Rect::FromXYWH(60, 10, 20, 20)); },
       {{{15, 15}, false}, {{65, 15}, true}, {{75, 25}, true}, {{85, 25}, false}}},
      {"child repainted with the key",
       [&] {
         child.paint = [](Surface& s) { s.FillRect({0, 0, 20, 20}, kKey, Blend::Copy); };
         child.Invalidate();
       },
       {{{65, 15}, false}, {{75, 75}, true}}},
      {"another child added",
       [&] {
         extra.paint = [](Surface& s) { s.FillRect({0, 0, 10, 10}, {0, 200, 0, 255}, Blend::Copy); };
         ASSERT_TRUE(extra.CreateEx({L"Extra", L"", WS_CHILD | WS_VISIBLE, 0, Rect::FromXYWH(0, 0, 10, 10),
                                     keyed.GetSafeHwnd(), 2}));
       },
       {{{5, 5}, true}, {{15, 15}, false}}},
      {"that child hidden", [&] { extra.ShowWindow(SW_HIDE); }, {{{5, 5}, false}}},
      {"that child destroyed and the first one shown again",
       [&] {
         extra.ShowWindow(SW_SHOW);
         extra.DestroyWindow();
         child.paint = [](Surface& s) { s.FillRect({0, 0, 20, 20}, {0, 0, 200, 255}, Blend::Copy); };
         child.Invalidate();
       },
       {{{5, 5}, false}, {{65, 15}, true}}},
      {"grown", [&] { keyed.MoveWindow(Rect::FromXYWH(kPlace.left, kPlace.top, 120, 100)); },
       {{{110, 10}, true}, {{110, 60}, true}, {{50, 10}, false}, {{120, 10}, false}}},
      {"moved", [&] { keyed.MoveWindow(Rect::FromXYWH(kPlace.left - 150, kPlace.top + 40, 120, 100)); },
       {{{110, 10}, true}, {{50, 10}, false}, {{65, 15}, true}, {{-1, 10}, false}, {{120, 10}, false}}},
      {"body colour made the key",
       [&] { ASSERT_TRUE(keyed.SetLayeredWindowAttributes(RGB(200, 0, 0), 255, LWA_COLORKEY)); },
       {{{5, 5}, true}, {{75, 75}, false}, {{65, 15}, true}, {{110, 60}, false}}},
  };
  for (const Step& step : steps) {
    step.change();
    scene.ExpectAnswers(step.name, step.answers);
  }
}

TEST_F(LayeredHitTest, AskingAgainWithoutAChangeComposesNothing) {
  Scene scene;
  Painted& keyed = scene.keyed;
  auto ask = [&] {
    Point origin = keyed.GetWindowRect().TopLeft();
    for (int x = 0; x < 100; x += 7) keyed.HitTestLayered({origin.x + x, origin.y + 50});
  };
  std::uint64_t before = RenderCount();
  ask();
  EXPECT_EQ(RenderCount() - before, 1u);
  ask();
  EXPECT_EQ(RenderCount() - before, 1u);
  // Dragging the window along changes nothing it shows.
  keyed.MoveWindow(Rect::FromXYWH(kPlace.left + 5, kPlace.top, 100, 100));
  ask();
  EXPECT_EQ(RenderCount() - before, 1u);
  // A repaint asked for (here of the child) is one composition, for any number of questions after it.
  scene.child.Invalidate();
  ask();
  ask();
  EXPECT_EQ(RenderCount() - before, 2u);
}
