#include "login/ZedoroLogin.h"

#include "app/FileVersionText.h"
#include "app/FirstSetup.h"
#include "login/QuitQuestion.h"
#include "platform/Process.h"
#include "platform/Resources.h"
#include "skin/PngImage.h"

namespace {

constexpr int kLauncherTitleString = 107;

ui::DialogTemplate LoginTemplate() {
  ui::DialogTemplate t;
  t.id = CZedoroLogin::kTemplateId;
  t.style = ui::WS_POPUP | ui::WS_SYSMENU | ui::WS_VISIBLE;
  // The taskbar button lets the player minimise and restore the login screen.
  t.exStyle = ui::WS_EX_APPWINDOW;
  // The picture decides the size; this one only holds until it is loaded.
  t.size = {1174, 686};
  return t;
}

// The client's version, in the picture's bottom-right corner.
void DrawVersionText(ui::Surface& picture) {
  ui::TextStyle style;
  style.family = L"arial";
  style.pixelSize = 10;
  style.colour = {203, 174, 91, 255};
  style.align = ui::TextAlign::Near;
  style.trimming = ui::TextTrimming::EllipsisCharacter;
  const ui::PixelRect box{picture.Width() - 60, picture.Height() - 33, 200, 31};
  picture.DrawText(GetFileVersionText(platform::GetModulePath()), box, style);
}

}  // namespace

CZedoroLogin::CZedoroLogin() : ui::Dialog(LoginTemplate()) {}

CZedoroLogin::~CZedoroLogin() {
  m_pLoginPopup.reset();
  m_pBackground.reset();
}

bool CZedoroLogin::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  SetWindowText(platform::LoadString(kLauncherTitleString));
  if (LoadLoginBackground(m_pBackground)) {
    m_nBgWidth = m_pBackground->Width();
    m_nBgHeight = m_pBackground->Height();
  }
  UpdateLayeredPicture();
  ModifyStyle(0, ui::WS_MINIMIZEBOX);
  // Centred at the picture's size.
  CenterWindow();

  m_pLoginPopup = std::make_unique<CLoginPopupDlg>(this);
  m_pLoginPopup->Create(this);
  AlignPopup();

  RunFirstSetup();
  return true;
}

void CZedoroLogin::UpdateLayeredPicture() {
  // Without its picture the window keeps the template's size and shows the
  // dialog's plain background; the popup still works over it.
  if (!m_pBackground) return;
  ui::Surface picture(m_nBgWidth, m_nBgHeight);
  picture.DrawSurface(*m_pBackground, 0, 0);
  DrawVersionText(picture);
  if (!(GetExStyle() & ui::WS_EX_LAYERED)) ModifyStyleEx(0, ui::WS_EX_LAYERED);
  const ui::Point destination = GetWindowRect().TopLeft();
  const ui::Size size{m_nBgWidth, m_nBgHeight};
  UpdateLayeredWindow(&destination, &size, picture, {0, 0}, 255, ui::ULW_ALPHA);
}

void CZedoroLogin::AlignPopup() {
  if (!m_pLoginPopup || !m_pLoginPopup->GetSafeHwnd()) return;
  const ui::Rect r = GetWindowRect();
  m_pLoginPopup->MoveWindow(r.left + kPopupOffset.x, r.top + kPopupOffset.y, CLoginPopupDlg::kWidth,
                            CLoginPopupDlg::kHeight, true);
  // Its own visibility only: while the login window is minimised the popup
  // is hidden with it and must stay so.
  if (!(m_pLoginPopup->GetStyle() & ui::WS_VISIBLE)) m_pLoginPopup->ShowWindow(ui::SW_SHOW);
}

void CZedoroLogin::OnWindowPosChanged() {
  ui::Dialog::OnWindowPosChanged();
  AlignPopup();
}

ui::LRESULT CZedoroLogin::OnNcHitTest(ui::Point screen) {
  const ui::LRESULT hit = ui::Dialog::OnNcHitTest(screen);
  // Any opaque point of the picture drags the window.
  return hit == ui::HTCLIENT ? ui::HTCAPTION : hit;
}

void CZedoroLogin::OnSysCommand(ui::UINT id, ui::LPARAM lParam) {
  if (id == ui::SC_CLOSE) AskToQuitLauncher();
  // A declined close ends in the dialog's cancel, which does nothing.
  ui::Dialog::OnSysCommand(id, lParam);
}
