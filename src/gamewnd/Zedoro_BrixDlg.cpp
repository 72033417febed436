#include "gamewnd/Zedoro_BrixDlg.h"

#include "cache/CacheCleanThread.h"
#include "gamewnd/CustomMessageBox.h"
#include "gamewnd/LoginHandOver.h"
#include "gamewnd/MainWindowResources.h"
#include "gamewnd/MyHtmlView.h"
#include "gamewnd/Relaunch.h"
#include "hotkey/GlobalHotkeys.h"
#include "platform/Process.h"
#include "platform/Resources.h"
#include "skin/MenbanDlg.h"
#include "skin/PngImage.h"
#include "ui/System.h"

using namespace mainwnd;

namespace {

// Where the title-bar buttons sit, measured from the client area's right edge.
struct ButtonPlace {
  int fromRight, width, height;
};
constexpr int kButtonTop = 3;

constexpr wchar_t kExitCaption[] = L"关闭提示";
constexpr wchar_t kServerCaption[] = L"选服";
constexpr wchar_t kCloseServerText[] = L"是否退出当前区服，重新选择新区服？";
constexpr wchar_t kChangeServerText[] = L"您是否退出当前服务器，重新选择新服务器？";

// The tray menu opens this far left of the pointer.
constexpr int kTrayMenuOffsetX = 130;

}  // namespace

CZedoro_BrixDlg::CZedoro_BrixDlg() : ui::Dialog(MainWindowTemplate()) {}

CZedoro_BrixDlg::~CZedoro_BrixDlg() {
  if (m_pMaskDlg) {
    delete m_pMaskDlg;
    m_pMaskDlg = nullptr;
  }
  if (m_pHtmlView) {
    delete m_pHtmlView;
    m_pHtmlView = nullptr;
  }
  RemoveTrayIcon();
}

void CZedoro_BrixDlg::DoDataExchange() {
  ui::Dialog::DoDataExchange();
  DDX_Control(kBtnClose, m_btnClose);
  DDX_Control(kBtnMax, m_btnMax);
  DDX_Control(kBtnRestore, m_btnRestore);
  DDX_Control(kBtnMin, m_btnMin);
  DDX_Control(kBtnChangeServer, m_btnChangeServer);
  DDX_Control(kBtnBossKey, m_btnBossKey);
  DDX_Control(kBtnFullScreen, m_btnFullScreen);
  DDX_Control(kBtnRefresh, m_btnRefresh);
  DDX_Control(kBtnClearCache, m_btnClearCache);
  DDX_Control(kBtnUnused1011, m_btnUnused1011);
  DDX_Control(kBtnUnused1017, m_btnUnused1017);
}

// ---------------------------------------------------------------------------
// Initialisation

bool CZedoro_BrixDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  m_nMinByButton = 0;

  SetWindowText(platform::LoadString(kTitleString));
  ModifyStyle(ui::WS_CAPTION, 0);
  SetWindowPos(0, 0, 0, kRestoredWidth, kRestoredHeight, ui::SWP_NOMOVE | ui::SWP_NOZORDER);
  ModifyStyle(0, ui::WS_SYSMENU | ui::WS_MINIMIZEBOX);

  // The player logs in first, while this window is still hidden.
  m_strGameUrl = RunLoginWindow();

  AddTrayIcon();
  CreateTitleButtons();

  m_pImgTitleLeft = LoadPngImage(kTitleLeftPng);
  m_pImgTitleMid = LoadPngImage(kTitleMidPng);
  m_pImgTitleRight = LoadPngImage(kTitleRightPng);

  m_pHtmlView = new CMyHtmlView();
  m_pHtmlView->Create(L"", L"MyWebBrowser", ui::WS_CHILD | ui::WS_VISIBLE, {}, this, CMyHtmlView::kControlId);
  // The only navigation the window ever asks for; afterwards it only reloads.
  m_pHtmlView->Navigate2(m_strGameUrl);

  // The centred 1000 x 700 rectangle is the one a restore comes back to.
  CenterWindow();
  SendMessage(ui::WM_SYSCOMMAND, ui::SC_MAXIMIZE, 0);
  m_bMaxed = true;
  FitToWorkArea();
  LayoutTitleButtons();
  m_btnMax.ShowWindow(ui::SW_HIDE);
  m_btnRestore.ShowWindow(ui::SW_SHOW);
  InvalidateTitle();

  m_pMaskDlg = new CMenbanDlg();
  m_pMaskDlg->Create(this);
  m_pMaskDlg->ShowWindow(ui::SW_HIDE);

  m_hAccel = MainAccelerators();
  RegisterGlobalHotkeys(GetSafeHwnd());
  return true;
}

// ---------------------------------------------------------------------------
// Title bar

void CZedoro_BrixDlg::CreateTitleButtons() {
  struct Looks {
    CTouchButton* button;
    int normal, hover, pressed;
    const wchar_t* tip;
  };
  const Looks looks[] = {
      {&m_btnClose, 207, 208, 227, nullptr},
      {&m_btnMax, 220, 213, 228, nullptr},
      {&m_btnRestore, 221, 217, 229, nullptr},
      {&m_btnMin, 209, 210, 230, nullptr},
      {&m_btnChangeServer, 211, 212, 231, L"选择新的服务器"},
      {&m_btnBossKey, 223, 215, 233, L"老板键（快捷键F10）"},
      {&m_btnFullScreen, 224, 214, 234, L"全屏/取消全屏（快捷键F11）"},
      {&m_btnRefresh, 226, 219, 236, L"刷新"},
      {&m_btnClearCache, 252, 253, 261, L"清除缓存"},
  };
  for (const Looks& l : looks) {
    l.button->LoadStateImages(l.normal, l.hover, l.pressed);
    if (l.tip) l.button->SetToolTipText(l.tip, true);
  }
}

void CZedoro_BrixDlg::LayoutTitleButtons() {
  struct Place {
    CTouchButton* button;
    ButtonPlace place;
  };
  const Place places[] = {
      {&m_btnClose, {28, 28, 26}},       {&m_btnMax, {57, 28, 26}},          {&m_btnRestore, {57, 28, 26}},
      {&m_btnMin, {86, 28, 26}},         {&m_btnFullScreen, {192, 85, 24}},  {&m_btnBossKey, {294, 97, 24}},
      {&m_btnClearCache, {384, 85, 24}}, {&m_btnRefresh, {458, 78, 24}},     {&m_btnChangeServer, {522, 59, 24}},
  };
  const int right = GetClientRect().right;
  for (const Place& p : places)
    p.button->SetWindowPos(0, right - p.place.fromRight, kButtonTop, p.place.width, p.place.height,
                           ui::SWP_NOZORDER);
}

void CZedoro_BrixDlg::ShowTitleButtons(int command) {
  for (CTouchButton* b : {&m_btnClose, &m_btnMax, &m_btnRestore, &m_btnMin, &m_btnChangeServer, &m_btnBossKey,
                          &m_btnFullScreen, &m_btnRefresh, &m_btnClearCache})
    b->ShowWindow(command);
}

void CZedoro_BrixDlg::InvalidateTitle() {
  const ui::Rect client = GetClientRect();
  const ui::Rect strip{client.left, client.top, client.right, client.top + kTitleHeight};
  InvalidateRect(&strip, true);
}

bool CZedoro_BrixDlg::OnEraseBkgnd(ui::Surface& surface) {
  if (!m_pImgTitleLeft || !m_pImgTitleMid || !m_pImgTitleRight || m_bFullScreen) return true;
  const ui::Rect client = GetClientRect();
  const int width = client.Width();
  const ui::Surface& left = *m_pImgTitleLeft;
  const ui::Surface& mid = *m_pImgTitleMid;
  const ui::Surface& right = *m_pImgTitleRight;
  // Composed off screen and copied in one go, so the strip does not flicker.
  ui::Surface strip(width, kTitleHeight);
  strip.FillTiled({0, 0, left.Width(), left.Height()}, left, 0, 0);
  strip.FillTiled({left.Width(), 0, width - left.Width() - right.Width(), mid.Height()}, mid, left.Width(), 0);
  strip.FillTiled({width - right.Width(), 0, right.Width(), right.Height()}, right, width - right.Width(), 0);
  surface.DrawSurfacePart(strip, 0, 0, width, kTitleHeight, client.left, client.top, ui::Blend::Copy);
  return true;
}

void CZedoro_BrixDlg::OnPaint(ui::Surface&) {
  // The strip is drawn while the background is erased; the page covers the rest.
}

// ---------------------------------------------------------------------------
// Display states

void CZedoro_BrixDlg::FitToWorkArea() {
  const int width = ui::GetSystemMetrics(ui::SM_CXSCREEN);
  const int screenHeight = ui::GetSystemMetrics(ui::SM_CYSCREEN);
  int height = screenHeight;
  ui::Rect taskbar;
  if (ui::HWND tray = ui::FindWindow(L"Shell_TrayWnd", L""); tray && ui::GetWindowRect(tray, &taskbar)) {
    height = screenHeight - taskbar.Height();
  } else {
    // A desktop without that taskbar window: keep clear of whatever panels
    // the work area leaves out, as the taskbar's height does on Windows.
    height = ui::GetWorkArea().bottom;
  }
  SetWindowPos(0, 0, 0, width, height, ui::SWP_NOZORDER);
  PlaceViewBelowStrip();
  RelayoutGameWnd(0);
  InvalidateTitle();
}

void CZedoro_BrixDlg::PlaceViewBelowStrip() {
  if (!m_pHtmlView) return;
  const ui::Rect c = GetClientRect();
  m_pHtmlView->MoveWindow(c.left, c.top + kTitleHeight, c.Width(), c.Height() - kTitleHeight, false);
}

void CZedoro_BrixDlg::PlaceViewOverClient() {
  if (!m_pHtmlView) return;
  const ui::Rect c = GetClientRect();
  m_pHtmlView->MoveWindow(c.left, c.top, c.Width(), c.Height(), false);
}

void CZedoro_BrixDlg::RelayoutGameWnd(ui::WPARAM fullScreen) {
  if (m_hGameWnd) ui::SendMessage(m_hGameWnd, ui::WM_GAMEWND_RELAYOUT, fullScreen, 0);
}

void CZedoro_BrixDlg::Maximise() {
  SendMessage(ui::WM_SYSCOMMAND, ui::SC_MAXIMIZE, 0);
  m_nMinByButton = 0;
  m_bMaxed = true;
  LayoutTitleButtons();
  m_btnMax.ShowWindow(ui::SW_HIDE);
  m_btnRestore.ShowWindow(ui::SW_SHOW);
  FitToWorkArea();
}

void CZedoro_BrixDlg::RestoreSteps() {
  m_bMaxed = false;
  SendMessage(ui::WM_SYSCOMMAND, ui::SC_RESTORE, 0);
  LayoutTitleButtons();
  PlaceViewBelowStrip();
  RelayoutGameWnd(0);
  m_btnMax.ShowWindow(ui::SW_SHOW);
  m_btnRestore.ShowWindow(ui::SW_HIDE);
  const ui::Rect strip{0, 0, kRestoredWidth, kTitleHeight};
  InvalidateRect(&strip, true);
}

void CZedoro_BrixDlg::Restore() {
  m_nMinByButton = 0;
  RestoreSteps();
}

void CZedoro_BrixDlg::Minimise() {
  m_nMinByButton = 1;
  SendMessage(ui::WM_SYSCOMMAND, ui::SC_MINIMIZE, 0);
}

void CZedoro_BrixDlg::ToggleMaxRestore() {
  if (IsZoomed()) {
    RestoreSteps();
    return;
  }
  SendMessage(ui::WM_SYSCOMMAND, ui::SC_MAXIMIZE, 0);
  m_bMaxed = true;
  const ui::Rect taken = GetClientRect();
  FitToWorkArea();
  LayoutTitleButtons();
  m_btnMax.ShowWindow(ui::SW_HIDE);
  m_btnRestore.ShowWindow(ui::SW_SHOW);
  const ui::Rect strip{taken.left, taken.top, taken.right, taken.top + kTitleHeight};
  InvalidateRect(&strip, true);
}

void CZedoro_BrixDlg::EnterFullScreen() {
  m_bFullScreen = true;
  SendMessage(ui::WM_SYSCOMMAND, ui::SC_MAXIMIZE, 0);
  SetWindowPos(0, 0, 0, ui::GetSystemMetrics(ui::SM_CXSCREEN), ui::GetSystemMetrics(ui::SM_CYSCREEN),
               ui::SWP_NOZORDER);
  PlaceViewOverClient();
  RelayoutGameWnd(1);
  ShowTitleButtons(ui::SW_HIDE);
  UpdateWindow();
}

void CZedoro_BrixDlg::LeaveFullScreen() {
  // Fullscreen always ends maximised, whatever the window was before.
  m_bFullScreen = false;
  SendMessage(ui::WM_SYSCOMMAND, ui::SC_MAXIMIZE, 0);
  m_bMaxed = true;
  FitToWorkArea();
  LayoutTitleButtons();
  ShowTitleButtons(ui::SW_SHOW);
  m_btnMax.ShowWindow(ui::SW_HIDE);
  m_btnRestore.ShowWindow(ui::SW_SHOW);
}

void CZedoro_BrixDlg::ToggleShown() { ShowWindow(IsWindowVisible() ? ui::SW_HIDE : ui::SW_SHOW); }

// ---------------------------------------------------------------------------
// Messages

ui::LRESULT CZedoro_BrixDlg::WindowProc(ui::UINT message, ui::WPARAM wParam, ui::LPARAM lParam) {
  switch (message) {
    case ui::WM_TRAYNOTIFY:
      return OnTrayNotify(wParam, lParam);
    case ui::WM_GAMEWND_ATTACH:
      // A later attach replaces the earlier window; the handle is never cleared.
      m_hGameWnd = ui::HWND(wParam);
      return 0;
    default:
      return ui::Dialog::WindowProc(message, wParam, lParam);
  }
}

bool CZedoro_BrixDlg::OnCommand(ui::WPARAM wParam, ui::LPARAM lParam) {
  // Buttons, menus and the cache worker send code 0, the accelerator code 1.
  if (ui::HIWORD(wParam) > 1) return ui::Dialog::OnCommand(wParam, lParam);
  switch (ui::LOWORD(wParam)) {
    case ui::IDCANCEL:
      // The window never closes on a cancel; it only leaves fullscreen.
      if (m_bFullScreen) {
        LeaveFullScreen();
        InvalidateTitle();
      }
      return true;
    case kBtnMax:
      Maximise();
      return true;
    case kBtnRestore:
      Restore();
      return true;
    case kBtnMin:
      Minimise();
      return true;
    case kBtnFullScreen:
      m_nMinByButton = 0;
      EnterFullScreen();
      return true;
    case kBtnBossKey:
      ShowWindow(ui::SW_HIDE);
      return true;
    case kBtnClearCache:
    case kCmdTrayClearCache:
      ClearCache();
      return true;
    case kBtnChangeServer:
      ChangeServer();
      return true;
    case kBtnClose:
      CloseButton();
      return true;
    case kCmdTrayExit:
      Exit();
      return true;
    case kCmdTrayToggle:
      ToggleShown();
      return true;
    case kCmdAccelF5:
      return true;
    case kBtnRefresh:
      Refresh();
      return true;
    case kCmdCacheCleaned:
      OnCacheCleaned();
      return true;
    default:
      return ui::Dialog::OnCommand(wParam, lParam);
  }
}

void CZedoro_BrixDlg::OnSysCommand(ui::UINT id, ui::LPARAM) {
  if (id == ui::SC_CLOSE) {
    Exit();
  } else if (id == ui::SC_RESTORE && m_bMaxed) {
    // Back from minimised: re-fit once the system has restored the window.
    SetTimer(kRefitTimer, kRefitDelayMs);
  }
  // The dialog's default turns a close into a cancel, which leaves fullscreen.
  Default();
}

void CZedoro_BrixDlg::OnTimer(ui::UINT_PTR id) {
  if (id == kRefitTimer) {
    FitToWorkArea();
    KillTimer(kRefitTimer);
  }
  Default();
}

void CZedoro_BrixDlg::OnHotKey(ui::UINT id, ui::UINT, ui::UINT) {
  switch (id) {
    case kHotkeyRefresh:
      if (IsTopParentActive()) {
        if (m_hGameWnd) ui::PostMessage(m_hGameWnd, ui::WM_GAMEWND_REFRESH, 0, 0);
        if (m_pHtmlView && m_pHtmlView->GetBrowser()) m_pHtmlView->GetBrowser()->Refresh();
      }
      break;
    case kHotkeyBossKey:
      if (m_nMinByButton == 0) {
        ToggleShown();
      } else {
        // Minimised by the title bar: come back in the state it had, in front.
        ShowWindow(ui::SW_SHOW);
        if (m_bMaxed) Maximise();
        else Restore();
        SetForegroundWindow();
      }
      break;
    case kHotkeyFullScreen:
      if (IsTopParentActive()) {
        if (m_bFullScreen) LeaveFullScreen();
        else EnterFullScreen();
      }
      break;
    default:
      break;
  }
  Default();
}

void CZedoro_BrixDlg::OnSize(ui::UINT, int, int) {
  if (m_bFullScreen) {
    PlaceViewOverClient();
    RelayoutGameWnd(1);
  } else {
    PlaceViewBelowStrip();
    RelayoutGameWnd(0);
  }
}

void CZedoro_BrixDlg::OnActivate(ui::UINT, ui::HWND, bool) {}

void CZedoro_BrixDlg::OnLButtonDown(ui::UINT, ui::Point) {
  // Dragging the strip moves a restored window; a zoomed one stays put.
  if (!IsZoomed()) PostMessage(ui::WM_NCLBUTTONDOWN, ui::WPARAM(ui::HTCAPTION), 0);
  Default();
}

void CZedoro_BrixDlg::OnLButtonDblClk(ui::UINT, ui::Point) {
  ToggleMaxRestore();
  Default();
}

bool CZedoro_BrixDlg::PreTranslateMessage(ui::Msg& msg) {
  // Enter and Esc belong to the page and never end the dialog.
  if (msg.message == ui::WM_KEYDOWN && (msg.wParam == ui::VK_RETURN || msg.wParam == ui::VK_ESCAPE)) return false;
  if (ui::TranslateAccelerator(GetSafeHwnd(), m_hAccel, msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

// ---------------------------------------------------------------------------
// Actions

void CZedoro_BrixDlg::Refresh() {
  if (m_pHtmlView && m_pHtmlView->GetBrowser()) m_pHtmlView->GetBrowser()->Refresh();
  if (m_hGameWnd) ui::PostMessage(m_hGameWnd, ui::WM_GAMEWND_REFRESH, 0, 0);
}

void CZedoro_BrixDlg::ClearCache() {
  if (m_pMaskDlg) {
    const ui::Rect r = GetWindowRect();
    m_pMaskDlg->SetWindowPos(0, r.left, r.top, r.Width(), r.Height(), ui::SWP_NOZORDER);
    ui::SetTimer(m_pMaskDlg->GetSafeHwnd(), CMenbanDlg::kAnimationTimer, CMenbanDlg::kAnimationPeriodMs);
    m_pMaskDlg->ShowWindow(ui::SW_SHOW);
  }
  StartCacheClean(GetSafeHwnd());
}

void CZedoro_BrixDlg::OnCacheCleaned() {
  if (!m_pMaskDlg) return;
  ui::KillTimer(m_pMaskDlg->GetSafeHwnd(), CMenbanDlg::kAnimationTimer);
  m_pMaskDlg->ShowWindow(ui::SW_HIDE);
}

bool CZedoro_BrixDlg::Ask(const std::wstring& caption, const std::wstring& text) {
  CCustomMessageBox box;
  box.SetMsg(caption, text);
  return box.DoModal() == ui::IDOK;
}

void CZedoro_BrixDlg::CloseGameWnd() {
  if (!m_hGameWnd) return;
  ui::SendMessage(m_hGameWnd, ui::WM_CLOSE, 0, 0);
  // Give the embedded process a moment to go.
  platform::SleepMilliseconds(kGameWndCloseWaitMs);
}

void CZedoro_BrixDlg::Exit() {
  if (!Ask(kExitCaption, L"是否退出" + GetWindowText() + L"？")) return;
  RemoveTrayIcon();
  CloseGameWnd();
  EndDialog(0);
}

void CZedoro_BrixDlg::CloseButton() {
  if (!Ask(kExitCaption, L"是否退出" + GetWindowText() + L"？")) return;
  RemoveTrayIcon();
  CloseGameWnd();
  if (Ask(kServerCaption, kCloseServerText)) {
    ShowWindow(ui::SW_HIDE);
    CloseGameWnd();
    Relaunch();
  }
  EndDialog(0);
}

void CZedoro_BrixDlg::ChangeServer() {
  if (!Ask(kServerCaption, kChangeServerText)) return;
  ShowWindow(ui::SW_HIDE);
  CloseGameWnd();
  Relaunch();
  EndDialog(0);
}

// ---------------------------------------------------------------------------
// Tray

void CZedoro_BrixDlg::AddTrayIcon() {
  m_nid = {};
  m_nid.cbSize = 956;
  m_nid.hWnd = GetSafeHwnd();
  m_nid.uID = 0;
  m_nid.uFlags = ui::NIF_MESSAGE | ui::NIF_ICON | ui::NIF_TIP;
  m_nid.uCallbackMessage = ui::WM_TRAYNOTIFY;
  m_nid.hIcon = ui::LoadIcon(kTrayIcon, ui::GetSystemMetrics(ui::SM_CXICON), ui::GetSystemMetrics(ui::SM_CYICON));
  m_nid.szTip = GetWindowText().substr(0, 127);
  ui::Shell_NotifyIcon(ui::NIM_ADD, m_nid);
  // Marked as added whatever the shell said: removing it again is harmless.
  m_bTrayIconAdded = true;
}

void CZedoro_BrixDlg::RemoveTrayIcon() {
  if (!m_bTrayIconAdded) return;
  ui::Shell_NotifyIcon(ui::NIM_DELETE, m_nid);
  m_bTrayIconAdded = false;
}

ui::LRESULT CZedoro_BrixDlg::OnTrayNotify(ui::WPARAM, ui::LPARAM lParam) {
  switch (ui::LOWORD(std::uintptr_t(lParam))) {
    case ui::WM_LBUTTONDOWN:
      ShowWindow(ui::SW_SHOW);
      SetForegroundWindow();
      break;
    case ui::WM_RBUTTONDOWN:
      if (auto popup = TrayMenu().GetSubMenu(0)) {
        const ui::Point at = ui::GetCursorPos();
        SetForegroundWindow();
        ui::TrackPopupMenu(*popup, ui::TPM_RIGHTBUTTON, at.x - kTrayMenuOffsetX, at.y, GetSafeHwnd());
      }
      break;
    default:
      break;
  }
  return 0;
}

void RunMainWindow() {
  CZedoro_BrixDlg dlg;
  ui::SetMainWindow(&dlg);
  dlg.DoModal();
  ui::SetMainWindow(nullptr);
}
