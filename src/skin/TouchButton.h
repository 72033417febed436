#pragma once
// The skinned push button of every window of the client. Its looks are made
// once, on its first paint, from three PNGs (normal, hover, pressed) drawn
// over a snapshot of what the parent shows under the button; every later
// paint copies a ready look. The hover look is the hover image brightened.
// The button shows a hand cursor and may carry a tooltip.
#include <memory>
#include <string>

#include "skin/GdiPlusBitmap.h"
#include "ui/Button.h"
#include "ui/Surface.h"
#include "ui/ToolTip.h"

class CTouchButton : public ui::Button {
 public:
  // The hover look: every colour channel times 1.05 plus 0.05 (on 0..1).
  static constexpr float kHoverScale = 1.05f;
  static constexpr float kHoverOffset = 0.05f;
  static constexpr ui::UINT kToolTipDelayMs = 2000;

  CTouchButton() = default;
  ~CTouchButton() override;

  // Loads the three PNG resources (hover first); returns the result of the
  // hover image's load.
  bool LoadStateImages(int normalId, int hoverId, int pressedId);
  // The same with holders loaded elsewhere (null holders are missing).
  void SetStateImages(std::unique_ptr<CGdiPlusBitmapResource> normal, std::unique_ptr<CGdiPlusBitmapResource> hover,
                      std::unique_ptr<CGdiPlusBitmapResource> pressed);
  // Gives the button a tooltip; an empty text does nothing.
  void SetToolTipText(const std::wstring& text, bool activate);

  bool IsHover() const { return m_bHover; }
  bool IsTracking() const { return m_bTracking; }
  bool AreLooksBuilt() const { return m_bLooksBuilt; }
  ui::ToolTip* GetToolTip() const { return m_pToolTip.get(); }
  // The look painted last (null before the first paint with built looks).
  const ui::Surface* GetCurrentLook() const { return m_pCurrentLook; }

 protected:
  void PreSubclassWindow() override;
  bool PreTranslateMessage(ui::Msg& msg) override;
  void DrawItem(const ui::DrawItemStruct& item) override;
  void CtlColor(ui::Surface& surface) override;
  void OnMouseMove(ui::UINT flags, ui::Point point) override;
  ui::LRESULT OnMouseHover(ui::UINT flags, ui::Point point) override;
  ui::LRESULT OnMouseLeave() override;
  bool OnSetCursor(ui::HWND window, ui::UINT hitTest, ui::UINT mouseMessage) override;
  bool OnEraseBkgnd(ui::Surface& surface) override;

 private:
  // Background, then the image at (0, 0) at its own size: the finished look.
  ui::Surface ComposeLook(ui::Surface& scratch, const CGdiPlusBitmapResource& image, bool brighten) const;

  bool m_bLooksBuilt = false;
  bool m_bHover = false;
  bool m_bTracking = false;
  std::unique_ptr<CGdiPlusBitmapResource> m_pHoverImage;
  std::unique_ptr<CGdiPlusBitmapResource> m_pNormalImage;
  std::unique_ptr<CGdiPlusBitmapResource> m_pPressedImage;
  std::wstring m_strToolTip;
  std::unique_ptr<ui::ToolTip> m_pToolTip;
  // Null surfaces until made: the parent's pixels under the button, and the
  // three finished looks.
  ui::Surface m_dcBackground;
  ui::Surface m_dcNormal;
  ui::Surface m_dcPressed;
  ui::Surface m_dcHover;
  ui::Surface* m_pCurrentLook = nullptr;
};
