#include "ui/Browser.h"

#include <utility>

namespace ui {

namespace {

BrowserEngineFactory& Factory() {
  static BrowserEngineFactory factory;
  return factory;
}

bool IsPageInput(UINT message) {
  return (message >= WM_KEYDOWN && message <= WM_SYSKEYUP) ||
         (message >= WM_MOUSEMOVE && message <= WM_RBUTTONDBLCLK);
}

}  // namespace

void BrowserEvents::OnBeforeNavigate(const std::wstring&, bool, bool*) {}
void BrowserEvents::OnNavigateComplete(const std::wstring&, bool) {}
void BrowserEvents::OnDocumentComplete(const std::wstring&, bool) {}
void BrowserEvents::OnNewWindow(const std::wstring&, bool*) {}
void BrowserEvents::OnNavigateError(const std::wstring&, bool, int, bool*) {}

void SetBrowserEngineFactory(BrowserEngineFactory factory) { Factory() = std::move(factory); }
bool HasBrowserEngineFactory() { return static_cast<bool>(Factory()); }

Browser::Browser() = default;

Browser::~Browser() {
  if (GetSafeHwnd()) DestroyWindow();
  engine_.reset();
}

bool Browser::Create(Window* parent, const Rect& rect, int id, DWORD hostFlags) {
  if (GetSafeHwnd() || engine_ || !parent || !parent->GetSafeHwnd() || !Factory()) return false;
  hostFlags_ = hostFlags;
  CreateParams params;
  params.className = kBrowserWindowClass;
  params.style = WS_CHILD;
  params.rect = rect;
  params.parent = parent->GetSafeHwnd();
  params.id = id;
  if (!CreateEx(params)) return false;
  engine_ = Factory()(*this);
  if (!engine_) {
    DestroyWindow();
    return false;
  }
  ShowWindow(SW_SHOWNA);
  return true;
}

bool Browser::Navigate(const std::wstring& url) { return engine_ && GetSafeHwnd() && engine_->Navigate(url); }

void Browser::Refresh() {
  if (engine_ && GetSafeHwnd()) engine_->Refresh();
}

std::shared_ptr<BrowserDocument> Browser::GetDocument() { return engine_ ? engine_->GetDocument() : nullptr; }

bool Browser::TranslateAccelerator(const Msg& msg) {
  return engine_ && GetSafeHwnd() && engine_->TranslateAccelerator(msg);
}

bool Browser::RaiseBeforeNavigate(const std::wstring& url, bool topLevel) {
  bool cancel = false;
  if (events_) events_->OnBeforeNavigate(url, topLevel, &cancel);
  return cancel;
}

void Browser::RaiseNavigateComplete(const std::wstring& url, bool topLevel) {
  if (events_) events_->OnNavigateComplete(url, topLevel);
}

void Browser::RaiseDocumentComplete(const std::wstring& url, bool topLevel) {
  if (events_) events_->OnDocumentComplete(url, topLevel);
}

bool Browser::RaiseNewWindow(const std::wstring& url) {
  bool cancel = false;
  if (events_) events_->OnNewWindow(url, &cancel);
  return cancel;
}

bool Browser::RaiseNavigateError(const std::wstring& url, bool topLevel, int statusCode) {
  bool cancel = false;
  if (events_) events_->OnNavigateError(url, topLevel, statusCode, &cancel);
  return cancel;
}

LRESULT Browser::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = Window::WindowProc(message, wParam, lParam);
  if (!engine_) return result;
  if (IsPageInput(message)) {
    engine_->DeliverInput({GetSafeHwnd(), message, wParam, lParam, GetCurrentMessage().pt});
  } else if (message == WM_SIZE || message == WM_MOVE || message == WM_SHOWWINDOW || message == WM_DESTROY) {
    engine_->WindowChanged();
  }
  return result;
}

}  // namespace ui
