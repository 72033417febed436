#include "ui/Button.h"

#include "ui/Surface.h"

namespace ui {

Button::Button() = default;

bool Button::Create(const std::wstring& text, DWORD style, const Rect& rect, Window* parent, int id) {
  CreateParams params;
  params.className = L"Button";
  params.text = text;
  params.style = style | WS_CHILD;
  params.rect = rect;
  params.parent = parent ? parent->GetSafeHwnd() : 0;
  params.id = id;
  return CreateEx(params);
}

bool Button::IsPressed() const { return down_ && over_; }
bool Button::IsOwnerDraw() const { return (GetStyle() & 0x0F) == BS_OWNERDRAW; }

void Button::CtlColor(Surface&) {}
void Button::DrawItem(const DrawItemStruct&) {}

bool Button::OnEraseBkgnd(Surface& surface) { return Window::OnEraseBkgnd(surface); }

void Button::OnPaint(Surface& surface) {
  CtlColor(surface);
  Rect r = GetClientRect();
  if (IsOwnerDraw()) {
    DrawItem({surface, r, GetDlgCtrlID(), IsPressed(), !IsWindowEnabled()});
    return;
  }
  // A plain push button: a face, a frame and the centred caption.
  BYTE face = IsPressed() ? 204 : 225;
  surface.FillRect({0, 0, r.Width(), r.Height()}, Rgba{face, face, face, 255}, Blend::Copy);
  Rgba frame{112, 112, 112, 255};
  surface.FillRect({0, 0, r.Width(), 1}, frame);
  surface.FillRect({0, r.Height() - 1, r.Width(), 1}, frame);
  surface.FillRect({0, 0, 1, r.Height()}, frame);
  surface.FillRect({r.Width() - 1, 0, 1, r.Height()}, frame);
  TextStyle style;
  style.align = TextAlign::Center;
  style.wrap = false;
  style.colour = IsWindowEnabled() ? Rgba{0, 0, 0, 255} : Rgba{160, 160, 160, 255};
  int line = int(style.pixelSize) + 4;
  surface.DrawText(GetWindowText(), {0, (r.Height() - line) / 2, r.Width(), line}, style);
}

void Button::OnLButtonDown(UINT, Point) {
  SetCapture();
  down_ = true;
  over_ = true;
  Invalidate(true);
}

void Button::OnMouseMove(UINT flags, Point point) {
  if (down_) {
    bool inside = GetClientRect().Contains(point);
    if (inside != over_) {
      over_ = inside;
      Invalidate(true);
    }
  }
  Window::OnMouseMove(flags, point);
}

void Button::OnLButtonUp(UINT, Point point) {
  if (!down_) return;
  bool inside = GetClientRect().Contains(point);
  down_ = false;
  over_ = false;
  ReleaseCapture();
  Invalidate(true);
  if (!inside) return;
  if (Window* parent = GetParent())
    parent->SendMessage(WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID()), BN_CLICKED), LPARAM(GetSafeHwnd()));
}

// A plain push button ignores the second press of a double click.
void Button::OnLButtonDblClk(UINT, Point) {}

COLORREF Button::GetBackgroundColor() const { return RGB(240, 240, 240); }

}  // namespace ui
