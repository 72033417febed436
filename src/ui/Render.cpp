#include "ui/Render.h"

#include <atomic>

#include "ui/FrameworkState.h"

namespace ui {

namespace {

std::atomic<std::uint64_t> renders{0};

void PaintTree(Window& window) {
  Framework::PaintNow(window);
  for (Window* child : window.GetChildren()) PaintTree(*child);
}

// Draws the window's children onto target, whose (0, 0) is the window's
// client origin, clipped to the window.
void ComposeChildren(Window& window, Surface& target, int originX, int originY, PixelRect clip) {
  for (Window* child : window.GetChildren()) {
    if (!child->IsWindowVisible()) continue;
    Rect r = Framework::State(*child).rect;
    int x = originX + r.left, y = originY + r.top;
    Rect visible = Rect::FromXYWH(x, y, r.Width(), r.Height()).Intersect(Rect::FromXYWH(clip.x, clip.y, clip.width, clip.height));
    if (visible.IsEmpty()) continue;
    PixelRect childClip{visible.left, visible.top, visible.Width(), visible.Height()};
    target.SetClip(childClip);
    target.DrawSurface(child->GetBacking(), x, y);
    target.ResetClip();
    ComposeChildren(*child, target, x, y, childClip);
  }
}

}  // namespace

std::uint64_t RenderCount() { return renders.load(); }

Surface RenderWindow(Window& window) {
  ++renders;
  const auto& s = Framework::State(window);
  const LayeredState& layered = s.layered;
  if (layered.hasPicture) return window.GetLayeredPicture().Clone();
  PaintTree(window);
  Rect client = window.GetClientRect();
  Surface out(client.Width(), client.Height());
  if (out.IsNull()) return out;
  out.DrawSurface(window.GetBacking(), 0, 0, 1.0, Blend::Copy);
  ComposeChildren(window, out, 0, 0, {0, 0, client.Width(), client.Height()});
  if (layered.hasAttributes) {
    bool key = (layered.flags & LWA_COLORKEY) != 0;
    double alpha = (layered.flags & LWA_ALPHA) ? layered.alpha / 255.0 : 1.0;
    Rgba keyColour{GetRValue(layered.colorKey), GetGValue(layered.colorKey), GetBValue(layered.colorKey), 255};
    out.MapPixels([&](Rgba p) {
      if (key && p == keyColour) return Rgba{};
      p.a = BYTE(p.a * alpha + 0.5);
      return p;
    });
  }
  return out;
}

}  // namespace ui
