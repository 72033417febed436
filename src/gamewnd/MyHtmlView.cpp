#include "gamewnd/MyHtmlView.h"

namespace {

constexpr wchar_t kViewClass[] = L"MyHtmlView";

bool IsKeyMessage(ui::UINT message) { return message >= ui::WM_KEYDOWN && message <= ui::WM_SYSKEYUP; }

}  // namespace

CMyHtmlView::CMyHtmlView() : m_pEvtHandler(std::make_unique<SDocEvtHandler>()) {}

CMyHtmlView::~CMyHtmlView() {
  // The listener goes with the object; a document must not call it afterwards.
  DisconnectDocEvents();
  if (GetSafeHwnd()) DestroyWindow();
}

bool CMyHtmlView::Create(const std::wstring& className, const std::wstring& windowName, ui::DWORD style,
                         const ui::Rect& rect, ui::Window* parent, int id) {
  if (!parent) return false;
  ui::CreateParams params;
  params.className = className.empty() ? kViewClass : className;
  params.text = windowName;
  params.style = style | ui::WS_CHILD;
  params.rect = rect;
  params.parent = parent->GetSafeHwnd();
  params.id = id;
  if (!CreateEx(params)) return false;
  const ui::Rect client = GetClientRect();
  // The game page shows no context menu and no frame of its own.
  if (!m_browser.Create(this, client, 0, ui::kBrowserNoBorder | ui::kBrowserNoContextMenu)) {
    DestroyWindow();
    return false;
  }
  m_browser.SetEvents(this);
  return true;
}

bool CMyHtmlView::Navigate2(const std::wstring& address) { return GetBrowser() && m_browser.Navigate(address); }

bool CMyHtmlView::PreTranslateMessage(ui::Msg& msg) {
  if (msg.message == ui::WM_RBUTTONDOWN || msg.message == ui::WM_RBUTTONDBLCLK) return true;
  // The page gets the keys first, as the hosted control's accelerators.
  return IsKeyMessage(msg.message) && GetBrowser() && m_browser.TranslateAccelerator(msg);
}

void CMyHtmlView::OnDestroy() {
  // The owner deletes the object; nothing of the view is torn down here.
}

void CMyHtmlView::OnSize(ui::UINT, int cx, int cy) {
  if (GetBrowser()) m_browser.MoveWindow(0, 0, cx, cy, false);
}

void CMyHtmlView::OnDocumentComplete(const std::wstring&, bool) { ConnectDocEvents(); }

void CMyHtmlView::ConnectDocEvents() {
  if (m_dwCookie != 0) DisconnectDocEvents();
  // Every completed document, top level or frame, reconnects to the top-level
  // document current now.
  m_pDocDisp = GetBrowser() ? m_browser.GetDocument() : nullptr;
  m_dwCookie = m_pDocDisp ? m_pDocDisp->Advise(m_pEvtHandler.get()) : 0;
}

void CMyHtmlView::DisconnectDocEvents() {
  if (m_dwCookie != 0 && m_pDocDisp) m_pDocDisp->Unadvise(m_dwCookie);
  m_dwCookie = 0;
}
