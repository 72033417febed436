#include "gamewnd/GameWndDlg.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "ui/System.h"

namespace {

// A visible child with a system menu and no controls; its size is replaced
// when it docks into the frame.
ui::DialogTemplate GameWndTemplate() {
  ui::DialogTemplate t;
  t.id = CGameWndDlg::kTemplateId;
  t.style = ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_SYSMENU;
  return t;
}

void Complain(ui::HWND frame, const char* why) {
  std::fprintf(stderr, "Zedoro_Brix: the embedded game window is not started: %s (-frameWnd=%llu).\n", why,
               static_cast<unsigned long long>(frame));
}

}  // namespace

CGameWndDlg::CGameWndDlg(ui::HWND hFrameWnd, std::wstring strGameUrl, FrameWatchTiming watchTiming)
    : ui::Dialog(GameWndTemplate()),
      m_hFrameWnd(hFrameWnd),
      m_strGameUrl(std::move(strGameUrl)),
      m_watchTiming(watchTiming) {}

CGameWndDlg::~CGameWndDlg() {
  // The watcher goes first: it must not post to a window that is going.
  m_pFrameWatch.reset();
  m_pHtmlView.reset();
}

bool CGameWndDlg::StartEmbedded(ui::HWND hFrameWnd, const std::wstring& strGameUrl, FrameWatchTiming watchTiming) {
  if (!ui::IsWindow(hFrameWnd)) {
    Complain(hFrameWnd, "the frame window does not exist");
    return false;
  }
  auto dlg = std::make_unique<CGameWndDlg>(hFrameWnd, strGameUrl, watchTiming);
  if (!dlg->Create(hFrameWnd) || !dlg->GetHtmlView()) {
    Complain(hFrameWnd, "its window or its page view could not be made");
    return false;
  }
  dlg->ShowWindow(ui::SW_SHOW);
  ui::SetMainWindow(dlg.get());
  dlg.release()->m_bDeleteWithWindow = true;
  return true;
}

bool CGameWndDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  if (m_hFrameWnd) {
    auto view = std::make_unique<CMyHtmlView>();
    if (view->Create(L"", L"MyWebBrowser", ui::WS_CHILD | ui::WS_VISIBLE, {}, this, CMyHtmlView::kControlId)) {
      m_pHtmlView = std::move(view);
      m_pHtmlView->Navigate2(m_strGameUrl);
    }
    ui::Rect frame;
    ui::GetClientRect(m_hFrameWnd, &frame);
    // A frame lower than its strip leaves no room: the window is then empty, not negative.
    MoveWindow(frame.left, frame.top + kFrameStripHeight, frame.Width(),
               std::max(0, frame.Height() - kFrameStripHeight), true);
    FitViewToClient();
    SetParent(m_hFrameWnd);
    ui::SendMessage(m_hFrameWnd, ui::WM_GAMEWND_ATTACH, GetSafeHwnd(), 0);
  }
  m_pFrameWatch = std::make_unique<FrameWatchThread>(m_hFrameWnd, GetSafeHwnd(), m_watchTiming);
  return true;
}

bool CGameWndDlg::PreTranslateMessage(ui::Msg& msg) {
  if (msg.message == ui::WM_KEYDOWN && (msg.wParam == ui::VK_ESCAPE || msg.wParam == ui::VK_RETURN)) return false;
  return ui::Dialog::PreTranslateMessage(msg);
}

void CGameWndDlg::OnClose() {
  // The page goes now; the dialog window itself stays until the process ends.
  if (m_pHtmlView) {
    m_pHtmlView->DestroyWindow();
    m_pHtmlView.reset();
  }
  ui::PostQuitMessage(0);
}

void CGameWndDlg::OnSize(ui::UINT type, int cx, int cy) {
  ui::Dialog::OnSize(type, cx, cy);
  FitViewToClient();
}

ui::LRESULT CGameWndDlg::WindowProc(ui::UINT message, ui::WPARAM wParam, ui::LPARAM lParam) {
  switch (message) {
    case ui::WM_GAMEWND_REFRESH:
      if (m_pHtmlView && m_pHtmlView->GetBrowser()) m_pHtmlView->GetBrowser()->Refresh();
      return 0;
    case ui::WM_GAMEWND_RELAYOUT:
      return OnRelayout(wParam);
    default:
      return ui::Dialog::WindowProc(message, wParam, lParam);
  }
}

void CGameWndDlg::PostNcDestroy() {
  ui::Dialog::PostNcDestroy();
  if (!m_bDeleteWithWindow) return;
  // The run mode's window can also go with its frame (a desktop destroys a
  // dying window's children): the process has nothing left to show then.
  ui::PostQuitMessage(0);
  delete this;
}

ui::LRESULT CGameWndDlg::OnRelayout(ui::WPARAM fullScreen) {
  if (!m_hFrameWnd) return 0;
  ui::Rect frame;
  ui::GetClientRect(m_hFrameWnd, &frame);
  if (fullScreen == 0) frame.top += kFrameStripHeight;
  MoveWindow(frame.left, frame.top, frame.Width(), std::max(0, frame.Height()), false);
  if (!IsWindowVisible()) ShowWindow(ui::SW_SHOW);
  return 0;
}

void CGameWndDlg::FitViewToClient() {
  if (m_pHtmlView && m_pHtmlView->GetSafeHwnd()) {
    const ui::Rect client = GetClientRect();
    m_pHtmlView->MoveWindow(0, 0, client.Width(), client.Height(), false);
  }
}
