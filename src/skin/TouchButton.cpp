#include "skin/TouchButton.h"

#include <utility>

#include "skin/MyMemDC.h"
#include "ui/Cursor.h"
#include "ui/System.h"

CTouchButton::~CTouchButton() {
  if (m_pToolTip) m_pToolTip->DestroyWindow();
}

bool CTouchButton::LoadStateImages(int normalId, int hoverId, int pressedId) {
  auto hover = std::make_unique<CGdiPlusBitmapResource>();
  auto normal = std::make_unique<CGdiPlusBitmapResource>();
  auto pressed = std::make_unique<CGdiPlusBitmapResource>();
  const bool hoverLoaded = hover->Load(hoverId);
  normal->Load(normalId);
  pressed->Load(pressedId);
  SetStateImages(std::move(normal), std::move(hover), std::move(pressed));
  return hoverLoaded;
}

void CTouchButton::SetStateImages(std::unique_ptr<CGdiPlusBitmapResource> normal,
                                  std::unique_ptr<CGdiPlusBitmapResource> hover,
                                  std::unique_ptr<CGdiPlusBitmapResource> pressed) {
  m_pHoverImage = std::move(hover);
  m_pNormalImage = std::move(normal);
  m_pPressedImage = std::move(pressed);
}

void CTouchButton::SetToolTipText(const std::wstring& text, bool activate) {
  if (text.empty()) return;
  if (!m_pToolTip) {
    auto tip = std::make_unique<ui::ToolTip>();
    if (!tip->Create(this, 0)) return;
    tip->Activate(true);
    m_pToolTip = std::move(tip);
  }
  m_strToolTip = text;
  if (m_pToolTip->GetToolCount() == 0) m_pToolTip->AddTool(this, text, GetClientRect(), 1);
  m_pToolTip->UpdateTipText(text, this, 1);
  m_pToolTip->SetDelayTime(kToolTipDelayMs);
  m_pToolTip->Activate(activate);
}

void CTouchButton::PreSubclassWindow() {
  // From now on the button paints itself through DrawItem.
  ModifyStyle(0, ui::BS_OWNERDRAW, ui::SWP_FRAMECHANGED);
  ui::Button::PreSubclassWindow();
}

bool CTouchButton::PreTranslateMessage(ui::Msg& msg) {
  // A double click counts as two clicks, so every click gives a command.
  if (msg.message == ui::WM_LBUTTONDBLCLK) msg.message = ui::WM_LBUTTONDOWN;
  if (m_pToolTip && ui::IsWindow(m_pToolTip->GetSafeHwnd())) m_pToolTip->RelayEvent(msg);
  return ui::Button::PreTranslateMessage(msg);
}

ui::Surface CTouchButton::ComposeLook(ui::Surface& scratch, const CGdiPlusBitmapResource& image, bool brighten) const {
  const int w = scratch.Width();
  const int h = scratch.Height();
  scratch.DrawSurfacePart(m_dcBackground, 0, 0, w, h, 0, 0, ui::Blend::Copy);
  if (const ui::Surface* bitmap = image.Bitmap()) {
    if (brighten) {
      ui::Surface bright = bitmap->Clone();
      bright.ApplyColorMatrix(ui::ColorMatrix::ScaleOffset(kHoverScale, kHoverOffset));
      scratch.DrawSurface(bright, 0, 0);
    } else {
      scratch.DrawSurface(*bitmap, 0, 0);
    }
  }
  return scratch.Snapshot({0, 0, w, h});
}

void CTouchButton::CtlColor(ui::Surface& surface) {
  if (m_bLooksBuilt || !m_pHoverImage || !m_pNormalImage || !m_pPressedImage) return;
  const ui::Rect client = GetClientRect();
  const int w = client.Width();
  const int h = client.Height();
  CMyMemDC scratch(surface, {0, 0, w, h});

  // A one-time snapshot: later changes of the parent behind the button are
  // not picked up.
  if (m_dcBackground.IsNull()) m_dcBackground = SnapshotParentBackground();

  if (m_dcNormal.IsNull()) {
    m_dcNormal = ComposeLook(scratch.Surface(), *m_pNormalImage, false);
    m_dcPressed = ComposeLook(scratch.Surface(), *m_pPressedImage, false);
    m_dcHover = ComposeLook(scratch.Surface(), *m_pHoverImage, true);
  }
  if (!m_pCurrentLook) m_pCurrentLook = &m_dcNormal;
  m_bLooksBuilt = true;
}

void CTouchButton::DrawItem(const ui::DrawItemStruct& item) {
  ui::Surface* look = &m_dcNormal;
  if (item.selected) look = &m_dcPressed;
  else if (m_bHover) look = &m_dcHover;
  m_pCurrentLook = look;
  // Before the looks are built there is nothing to copy.
  if (look->IsNull()) return;
  item.surface.DrawSurfacePart(*look, 0, 0, item.rect.Width(), item.rect.Height(), 0, 0, ui::Blend::Copy);
}

void CTouchButton::OnMouseMove(ui::UINT flags, ui::Point point) {
  if (!m_bTracking) m_bTracking = TrackMouseEvent(ui::TME_HOVER | ui::TME_LEAVE, 1);
  ui::Button::OnMouseMove(flags, point);
}

ui::LRESULT CTouchButton::OnMouseHover(ui::UINT, ui::Point) {
  m_bHover = true;
  Invalidate(true);
  // The tooltip is made anew each time the pointer comes to rest.
  if (m_pToolTip) {
    m_pToolTip->DestroyWindow();
    m_pToolTip.reset();
  }
  SetToolTipText(m_strToolTip, true);
  if (m_pToolTip && ui::IsWindow(m_pToolTip->GetSafeHwnd())) m_pToolTip->Update();
  return 0;
}

ui::LRESULT CTouchButton::OnMouseLeave() {
  m_bTracking = false;
  m_bHover = false;
  Invalidate(true);
  return 0;
}

bool CTouchButton::OnSetCursor(ui::HWND, ui::UINT, ui::UINT) {
  ui::SetCursor(ui::Cursor::Hand);
  return true;
}

bool CTouchButton::OnEraseBkgnd(ui::Surface&) { return true; }
