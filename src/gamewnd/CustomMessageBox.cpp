#include "gamewnd/CustomMessageBox.h"

#include "skin/PngImage.h"

namespace {

ui::DialogTemplate QuestionTemplate() {
  ui::DialogTemplate t;
  t.id = CCustomMessageBox::kTemplateId;
  t.style = ui::WS_POPUP | ui::WS_SYSMENU;
  // Size and control places are set when the box opens.
  t.size = {CCustomMessageBox::kWidth, CCustomMessageBox::kHeight};
  t.controls = {
      {CCustomMessageBox::kCloseButton, ui::Rect::FromXYWH(0, 0, 28, 26), L""},
      {ui::IDOK, ui::Rect::FromXYWH(0, 0, 82, 34), L""},
      {ui::IDCANCEL, ui::Rect::FromXYWH(0, 0, 82, 34), L""},
  };
  return t;
}

ui::PixelRect ToPixelRect(const ui::Rect& r) { return {r.left, r.top, r.Width(), r.Height()}; }

}  // namespace

CCustomMessageBox::CCustomMessageBox() : ui::Dialog(QuestionTemplate()) {}

void CCustomMessageBox::SetMsg(const std::wstring& caption, const std::wstring& text) {
  m_strTitle = caption;
  m_strMsg = text;
}

std::wstring CCustomMessageBox::DescribeForScript() const {
  return ui::Dialog::DescribeForScript() + L" \"" + m_strTitle + L"\": \"" + m_strMsg + L"\"";
}

void CCustomMessageBox::DoDataExchange() {
  ui::Dialog::DoDataExchange();
  DDX_Control(ui::IDOK, m_btnOK);
  DDX_Control(ui::IDCANCEL, m_btnCancel);
  DDX_Control(kCloseButton, m_btnClose);
}

bool CCustomMessageBox::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  SetWindowPos(0, 0, 0, kWidth, kHeight, ui::SWP_NOMOVE | ui::SWP_NOZORDER);
  ModifyStyle(ui::WS_CAPTION, ui::WS_SYSMENU | ui::WS_MINIMIZEBOX);

  const ui::Rect client = GetClientRect();
  const int right = client.right;
  const int bottom = client.bottom;
  m_btnClose.SetWindowPos(0, right - 25, 10, 28, 26, ui::SWP_NOZORDER);
  m_btnClose.LoadStateImages(316, 316, 316);
  m_btnOK.SetWindowPos(0, 45, bottom - 45, 82, 34, ui::SWP_NOZORDER);
  m_btnOK.LoadStateImages(314, 313, 313);
  m_btnCancel.SetWindowPos(0, 137, bottom - 45, 82, 34, ui::SWP_NOZORDER);
  m_btnCancel.LoadStateImages(312, 311, 311);

  m_pImgBack = LoadPngImage(kBackgroundPng);
  return true;
}

bool CCustomMessageBox::OnEraseBkgnd(ui::Surface& surface) {
  const ui::Rect client = GetClientRect();
  ui::Surface canvas(client.Width(), client.Height());
  // The 256 x 110 picture is cut to the box.
  if (m_pImgBack) canvas.DrawSurface(*m_pImgBack, 0, 0);

  ui::TextStyle caption;
  caption.family = L"arial";
  caption.pixelSize = 13;
  caption.bold = true;
  caption.colour = {255, 255, 255, 255};
  caption.align = ui::TextAlign::Center;
  caption.trimming = ui::TextTrimming::EllipsisCharacter;
  canvas.DrawText(m_strTitle, ToPixelRect(kCaptionRect), caption);

  ui::TextStyle message = caption;
  message.pixelSize = 11;
  message.bold = false;
  message.colour = {255, 236, 247, 255};
  canvas.DrawText(m_strMsg, ToPixelRect(kTextRect), message);

  surface.DrawSurfacePart(canvas, 0, 0, client.Width(), client.Height(), 0, 0, ui::Blend::Copy);
  return true;
}

ui::LRESULT CCustomMessageBox::OnNcHitTest(ui::Point screen) {
  // Any point that is not a button drags the box.
  const ui::LRESULT hit = ui::Dialog::OnNcHitTest(screen);
  return hit == ui::HTCLIENT ? ui::HTCAPTION : hit;
}

bool CCustomMessageBox::OnCommand(ui::WPARAM wParam, ui::LPARAM lParam) {
  if (ui::LOWORD(wParam) == kCloseButton) {
    OnCancel();
    return true;
  }
  return ui::Dialog::OnCommand(wParam, lParam);
}
