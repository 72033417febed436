#include "skin/MenbanDlg.h"

#include "platform/Resources.h"
#include "skin/PngImage.h"

namespace {

ui::DialogTemplate OverlayTemplate() {
  ui::DialogTemplate t;
  t.id = CMenbanDlg::kTemplateId;
  t.style = ui::WS_POPUP;
  t.size = {400, 300};
  return t;
}

}  // namespace

CMenbanDlg::CMenbanDlg() : ui::Dialog(OverlayTemplate()) {}

ui::Rect CMenbanDlg::FrameRect(int width, int height, int frameWidth, int frameHeight) {
  const int left = (width - frameWidth) / 2;
  const int top = (height - frameHeight) / 2 - kFrameLift;
  return {left, top, left + frameWidth, top + frameHeight};
}

ui::Rect CMenbanDlg::TextRect(int width, int height) {
  return ui::Rect::FromXYWH((width - 200) / 2, (height - 31) / 2, 200, 31);
}

int CMenbanDlg::GetCurrentFrameIndex() const {
  for (int i = 0; i < kFrameCount; ++i) {
    if (m_pCurrentFrame && m_pCurrentFrame == m_pFrames[i].get()) return i;
  }
  return -1;
}

bool CMenbanDlg::OnInitDialog() {
  // No controls: the dialog's own initialisation has nothing to bind.
  m_pFill = LoadPngImage(kFillPng);
  for (int i = 0; i < kFrameCount; ++i) m_pFrames[i] = LoadPngImage(kFirstFramePng + i);
  m_pCurrentFrame = m_pFrames[0].get();
  m_nFrame = 1;
  ModifyStyleEx(0, ui::WS_EX_LAYERED);
  SetLayeredWindowAttributes(0, kAlpha, ui::LWA_ALPHA);
  return true;
}

bool CMenbanDlg::OnEraseBkgnd(ui::Surface&) { return true; }

void CMenbanDlg::OnTimer(ui::UINT_PTR id) {
  if (id != kAnimationTimer) return;
  if (m_nFrame < 1 || m_nFrame > kFrameCount) m_nFrame = 1;
  m_pCurrentFrame = m_pFrames[m_nFrame - 1].get();
  const ui::Rect client = GetClientRect();
  // A frame that failed to load still clears the place of the one before.
  const int w = m_pCurrentFrame ? m_pCurrentFrame->Width() : kFrameSize;
  const int h = m_pCurrentFrame ? m_pCurrentFrame->Height() : kFrameSize;
  const ui::Rect frame = FrameRect(client.Width(), client.Height(), w, h);
  InvalidateRect(&frame, true);
  UpdateWindow();
  ++m_nFrame;
}

void CMenbanDlg::OnPaint(ui::Surface& surface) {
  const ui::Rect client = GetClientRect();
  const int w = client.Width();
  const int h = client.Height();
  ui::Surface canvas(w, h);
  canvas.FillRect({0, 0, w, h}, {255, 255, 255, 255}, ui::Blend::Copy);
  if (m_pFill) canvas.FillTiled({0, 0, w, h}, *m_pFill, client.left, client.top);
  if (m_pCurrentFrame) {
    const ui::Rect frame = FrameRect(w, h, m_pCurrentFrame->Width(), m_pCurrentFrame->Height());
    canvas.DrawSurface(*m_pCurrentFrame, frame.left, frame.top);
  }
  ui::TextStyle style;
  style.family = L"arial";
  style.pixelSize = 14;
  style.colour = {255, 245, 211, 255};
  style.align = ui::TextAlign::Center;
  style.trimming = ui::TextTrimming::EllipsisWord;
  const ui::Rect text = TextRect(w, h);
  canvas.DrawText(platform::LoadString(kTextString), {text.left, text.top, text.Width(), text.Height()}, style);
  // Only the invalid part reaches the window: the paint surface is clipped to it.
  surface.DrawSurfacePart(canvas, 0, 0, w, h, 0, 0, ui::Blend::Copy);
}
