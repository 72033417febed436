#pragma once
// ui::Button: a push button control. A left press takes the mouse and shows
// the button pressed; a release over the button sends WM_COMMAND with
// BN_CLICKED and the control id to the parent. A double click arrives as
// WM_LBUTTONDBLCLK and does nothing here, so a subclass that wants two clicks
// turns it into WM_LBUTTONDOWN in PreTranslateMessage. Owner-drawn buttons
// (BS_OWNERDRAW) paint through DrawItem.
#include <string>

#include "ui/Window.h"

namespace ui {

struct DrawItemStruct {
  Surface& surface;  // the button's client area, origin at its top-left corner
  Rect rect;         // the button's client rectangle
  int id = 0;
  bool selected = false;  // held down with the pointer over it
  bool disabled = false;
};

class Button : public Window {
 public:
  Button();
  bool Create(const std::wstring& text, DWORD style, const Rect& rect, Window* parent, int id);
  // Held down with the pointer over it (the ODS_SELECTED state).
  bool IsPressed() const;
  bool IsOwnerDraw() const;

 protected:
  // Called before every paint, with the surface the paint will use; the
  // owner-draw skin builds its looks here.
  virtual void CtlColor(Surface& surface);
  // Paints an owner-drawn button (base: nothing).
  virtual void DrawItem(const DrawItemStruct& item);

  void OnPaint(Surface& surface) override;
  bool OnEraseBkgnd(Surface& surface) override;
  void OnLButtonDown(UINT flags, Point point) override;
  void OnLButtonUp(UINT flags, Point point) override;
  void OnLButtonDblClk(UINT flags, Point point) override;
  void OnMouseMove(UINT flags, Point point) override;
  COLORREF GetBackgroundColor() const override;

 private:
  bool down_ = false;
  bool over_ = false;
};

}  // namespace ui
