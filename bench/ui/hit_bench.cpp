// Times Window::HitTestLayered over a 690x513 colour-keyed popup with a few
// child controls, the way pointer moves over the login screen ask it: many
// queries in a row, and the first query after a repaint.
// Prints "<name> <microseconds per query> <compositions per query>" lines.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "ui/Render.h"
#include "ui/Surface.h"
#include "ui/System.h"
#include "ui/Window.h"
#include "ui/headless/HeadlessBackend.h"

using namespace ui;

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);

// Keyed corners around an opaque body, like a rounded skin picture.
class Popup : public Window {
 protected:
  void OnPaint(Surface& s) override {
    s.FillRect({0, 0, 690, 513}, {255, 0, 255, 255}, Blend::Copy);
    s.FillRect({12, 12, 666, 489}, {40, 60, 90, 255}, Blend::Copy);
  }
};

class Control : public Window {
 protected:
  void OnPaint(Surface& s) override { s.FillRect(s.ClipBox(), {200, 200, 200, 255}, Blend::Copy); }
};

void Report(const char* name, int queries, Window& w, bool repaintEach) {
  Rect r = w.GetWindowRect();
  std::uint64_t rendersBefore = RenderCount();
  int hits = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < queries; ++i) {
    if (repaintEach) w.Invalidate(false);
    Point p{r.left + (i * 37) % r.Width(), r.top + (i * 53) % r.Height()};
    hits += w.HitTestLayered(p) ? 1 : 0;
  }
  std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
  if (hits == 0) std::fprintf(stderr, "no query hit the window\n");
  std::printf("%s %.2f %.2f\n", name, took.count() / queries, double(RenderCount() - rendersBefore) / queries);
}

}  // namespace

int main(int argc, char** argv) {
  int queries = argc > 1 ? std::atoi(argv[1]) : 200;
  ui::Init(std::make_unique<headless::HeadlessBackend>());
  {
    Popup popup;
    popup.CreateEx({L"Popup", L"", WS_POPUP | WS_VISIBLE, WS_EX_LAYERED, Rect::FromXYWH(100, 100, 690, 513), 0, 0});
    popup.SetLayeredWindowAttributes(kKey, 255, LWA_COLORKEY);
    Control controls[4];
    for (int i = 0; i < 4; ++i)
      controls[i].CreateEx({L"Control", L"", WS_CHILD | WS_VISIBLE, 0, Rect::FromXYWH(40 + i * 150, 440, 120, 40),
                            popup.GetSafeHwnd(), 100 + i});
    popup.HitTestLayered({150, 150});  // the first question composes the window
    Report("repeated", queries, popup, false);
    Report("after_repaint", queries < 100 ? queries : 100, popup, true);
  }
  ui::Shutdown();
  return 0;
}
