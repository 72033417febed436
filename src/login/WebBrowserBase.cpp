#include "login/WebBrowserBase.h"

#include <cwctype>

#include "ui/System.h"
#include "ui/Window.h"

namespace {

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  return true;
}

}  // namespace

void CWebBrowserBase::EventSink::OnBeforeNavigate(const std::wstring& url, bool, bool* cancel) {
  site_.OnBeforeNavigate2(url, cancel);
}

void CWebBrowserBase::EventSink::OnDocumentComplete(const std::wstring& url, bool) { site_.OnDocumentComplete(url); }

CWebBrowserBase::CWebBrowserBase() : m_sink(*this) {}

CWebBrowserBase::~CWebBrowserBase() {
  // The control goes first, so that no event reaches a half-destroyed site.
  m_browser.SetEvents(nullptr);
  if (m_browser.GetSafeHwnd()) m_browser.DestroyWindow();
}

ui::HWND CWebBrowserBase::GetHWND() const { return 0; }

bool CWebBrowserBase::ActivateInPlace() {
  if (!ui::HasBrowserEngineFactory()) return false;
  if (m_rcObject.Width() == 0 || m_rcObject.Height() == 0) ui::GetClientRect(GetHWND(), &m_rcObject);
  if (m_bInPlaceActive) return true;
  m_bInPlaceActive = true;
  ui::Window* host = ui::Window::FromHandle(GetHWND());
  if (!host || !m_browser.Create(host, m_rcObject, 0, GetHostInfo(0))) return false;
  m_browser.SetEvents(&m_sink);
  return true;
}

bool CWebBrowserBase::Navigate(const std::wstring& url) {
  ui::Browser* browser = GetWebBrowser2();
  return browser && browser->Navigate(url);
}

bool CWebBrowserBase::SetControlRect(const ui::Rect& rect) {
  if (m_bInPlaceActive) {
    ui::Browser* browser = GetWebBrowser2();
    if (!browser || !browser->MoveWindow(rect, true)) return false;
  }
  m_rcObject = rect;
  return true;
}

ui::HWND CWebBrowserBase::FindIEServerWindow() const {
  // The page's key window may sit below windows of the control's own.
  const ui::Window* window = m_browser.GetSafeHwnd() ? &m_browser : nullptr;
  while (window) {
    if (EqualsIgnoringCase(window->GetClassName(), ui::kBrowserWindowClass)) return window->GetSafeHwnd();
    const auto children = window->GetChildren();
    window = children.empty() ? nullptr : children.front();
  }
  return 0;
}

ui::Browser* CWebBrowserBase::GetWebBrowser2() { return m_browser.GetSafeHwnd() ? &m_browser : nullptr; }

std::optional<bool> CWebBrowserBase::TranslateKeyInPage(ui::WPARAM wParam, ui::LPARAM lParam) {
  ui::Browser* browser = GetWebBrowser2();
  if (!browser || !browser->GetDocument()) return std::nullopt;
  const ui::Msg message{FindIEServerWindow(), ui::WM_KEYDOWN, wParam, lParam, ui::GetCursorPos()};
  return browser->TranslateAccelerator(message);
}

void CWebBrowserBase::OnDocumentComplete(std::wstring) {}

void CWebBrowserBase::OnBeforeNavigate2(std::wstring, bool*) {}

ui::DWORD CWebBrowserBase::GetHostInfo(ui::DWORD flags) const { return flags | ui::kBrowserNoBorder; }
