#include "login/LoginPopupDlg.h"

#include "app/LastNavigateUrl.h"
#include "login/BitmapResource.h"
#include "login/QuitQuestion.h"
#include "login/ZedoroLogin.h"
#include "platform/Resources.h"
#include "ui/System.h"

namespace {

constexpr int kLoginPageString = 114;

ui::DialogTemplate PopupTemplate() {
  ui::DialogTemplate t;
  t.id = CLoginPopupDlg::kTemplateId;
  t.style = ui::WS_POPUP | ui::WS_SYSMENU;
  t.size = {CLoginPopupDlg::kWidth, CLoginPopupDlg::kHeight};
  // Placed when the popup initialises.
  t.controls = {
      {CLoginPopupDlg::kBtnMin, ui::Rect::FromXYWH(0, 0, 28, 28), L""},
      {CLoginPopupDlg::kBtnClose, ui::Rect::FromXYWH(0, 0, 28, 26), L""},
  };
  return t;
}

// Key codes that count as the clipboard letters with Ctrl held; the page's
// key codes for the lower-case letters are accepted as well.
bool IsClipboardLetter(ui::UINT key) {
  switch (key) {
    case 0x41: case 0x61:  // A
    case 0x43: case 0x63:  // C
    case 0x56: case 0x76:  // V
    case 0x58: case 0x78:  // X
      return true;
    default:
      return false;
  }
}

}  // namespace

CLoginPopupDlg::CLoginPopupDlg(ui::Window* parent)
    : ui::Dialog(PopupTemplate(), parent), m_pLogin(dynamic_cast<CZedoroLogin*>(parent)) {}

CLoginPopupDlg::~CLoginPopupDlg() {
  // The page goes before the window that hosts it.
  m_pSite.reset();
}

void CLoginPopupDlg::DoDataExchange() {
  ui::Dialog::DoDataExchange();
  DDX_Control(kBtnMin, m_btnMin);
  DDX_Control(kBtnClose, m_btnClose);
}

bool CLoginPopupDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  // The login window moves it into place.
  SetWindowPos(0, 0, 0, kWidth, kHeight, ui::SWP_NOZORDER);
  ModifyStyleEx(0, ui::WS_EX_LAYERED);
  SetLayeredWindowAttributes(kTransparentColour, kAlpha, ui::LWA_COLORKEY | ui::LWA_ALPHA);

  const ui::Rect client = GetClientRect();
  const int w = client.Width();
  const int h = client.Height();

  m_pSite = std::make_unique<WebFormLogin>();
  m_pSite->m_hWndHost = GetSafeHwnd();
  m_pSite->m_bFirstDocumentDone = false;
  m_pSite->ActivateInPlace();
  m_pSite->m_rcControl = {0, kTopStrip, w, h};
  m_pSite->Navigate(platform::LoadString(kLoginPageString));
  // Nothing of the browser shows until the page has loaded: the loading
  // panel of the background stays in view.
  m_pSite->SetControlRect({0, 0, 0, 0});

  m_btnClose.SetWindowPos(0, w - 57, 0, 28, 26, ui::SWP_NOZORDER);
  m_btnClose.LoadStateImages(323, 324, 325);
  m_btnMin.SetWindowPos(0, w - 85, 0, 28, 28, ui::SWP_NOZORDER);
  m_btnMin.LoadStateImages(320, 321, 322);

  m_brBackground = LoadBitmapResource(kBackgroundBitmap);
  return true;
}

bool CLoginPopupDlg::OnEraseBkgnd(ui::Surface& surface) {
  if (m_brBackground.IsNull()) return ui::Dialog::OnEraseBkgnd(surface);
  const ui::Rect client = GetClientRect();
  // A pattern brush: the bitmap repeated from the dialog's top-left corner.
  surface.FillTiled({0, 0, client.Width(), client.Height()}, m_brBackground, 0, 0);
  return true;
}

bool CLoginPopupDlg::OnCommand(ui::WPARAM wParam, ui::LPARAM lParam) {
  switch (ui::LOWORD(wParam)) {
    case kBtnMin:
      OnBnClickedMin();
      return true;
    case kBtnClose:
      AskToQuitLauncher();
      return true;
    case kCmdNavigateNotify:
      OnNavigateNotify();
      return true;
    default:
      return ui::Dialog::OnCommand(wParam, lParam);
  }
}

void CLoginPopupDlg::OnSysCommand(ui::UINT id, ui::LPARAM lParam) {
  if (id == ui::SC_CLOSE) {
    AskToQuitLauncher();
    return;
  }
  ui::Dialog::OnSysCommand(id, lParam);
}

void CLoginPopupDlg::OnBnClickedMin() {
  if (m_pLogin) m_pLogin->ShowWindow(ui::SW_MINIMIZE);
}

void CLoginPopupDlg::OnNavigateNotify() {
  if (!IsGameAddress(g_strLastNavigateUrl) || !m_pLogin) return;
  // The login window ends only when this event has returned; a page that
  // asks for another game address before then must not replace the first.
  if (m_bHandedOver) return;
  m_bHandedOver = true;
  m_pLogin->m_strGameUrl = g_strLastNavigateUrl;
  m_pLogin->EndDialog(0);
}

bool CLoginPopupDlg::PreTranslateMessage(ui::Msg& msg) {
  if (msg.message == ui::WM_KEYDOWN) {
    const ui::UINT key = ui::UINT(msg.wParam);
    // Enter belongs to the focused element of the page, not to the dialog.
    if (key == ui::VK_RETURN) return false;
    if (key == ui::VK_TAB || (IsClipboardLetter(key) && ui::GetAsyncKeyState(ui::VK_CONTROL) != 0)) {
      // The page's own handling moves the focus and works the clipboard;
      // without a document the dialog handles the key as usual.
      if (m_pSite) {
        if (const auto handled = m_pSite->TranslateKeyInPage(msg.wParam, msg.lParam)) return *handled;
      }
    } else if (key == ui::VK_SPACE || key == ui::VK_ESCAPE) {
      return true;
    }
  }
  return ui::Dialog::PreTranslateMessage(msg);
}
