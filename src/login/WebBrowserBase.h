#pragma once
// CWebBrowserBase: the host side of a browser control that a window hosts
// directly, without the game page view around it. It creates the control in
// its host window when asked to activate it, navigates it, moves it, and turns
// two of its events (before-navigate and document-complete, of every frame)
// into virtual calls that a derived class overrides. The host flags it gives
// the control decide the page's frame; the page gets no object of the host to
// script against.
#include <optional>
#include <string>

#include "ui/Browser.h"
#include "ui/Types.h"

class CWebBrowserBase {
 public:
  CWebBrowserBase();
  virtual ~CWebBrowserBase();
  CWebBrowserBase(const CWebBrowserBase&) = delete;
  CWebBrowserBase& operator=(const CWebBrowserBase&) = delete;

  // The window that hosts the control; the base has none.
  virtual ui::HWND GetHWND() const;

  // Creates the control in the host window over m_rcObject (the host's
  // client area when that is still empty) and connects its events. True when
  // the control is active, also when it already was; false when it cannot be
  // made (no browser engine, no host window).
  bool ActivateInPlace();
  // False when there is no active control or it refused the address.
  bool Navigate(const std::wstring& url);
  // Moves an active control to rect (host client coordinates) and records it;
  // before activation it only records it.
  bool SetControlRect(const ui::Rect& rect);
  // The control's window that takes the page's key messages; 0 without one.
  ui::HWND FindIEServerWindow() const;
  // The control; null before it is active.
  ui::Browser* GetWebBrowser2();

  // Offers a key-down to the page's own key handling, as the page's
  // document would get it: whether the page handled it, or nullopt when
  // there is no control or no document yet to ask.
  std::optional<bool> TranslateKeyInPage(ui::WPARAM wParam, ui::LPARAM lParam);

  // Where the owner wants the control once the page has loaded.
  ui::Rect m_rcControl;

 protected:
  virtual void OnDocumentComplete(std::wstring url);
  virtual void OnBeforeNavigate2(std::wstring url, bool* cancel);
  // The host flags the control is created with (ui::kBrowser*); the base
  // asks only for a page without a border.
  virtual ui::DWORD GetHostInfo(ui::DWORD flags) const;

  // Where the control is (host client coordinates).
  ui::Rect m_rcObject;
  bool m_bInPlaceActive = false;

 private:
  // The control's events, handed on to the virtual calls.
  class EventSink : public ui::BrowserEvents {
   public:
    explicit EventSink(CWebBrowserBase& site) : site_(site) {}
    void OnBeforeNavigate(const std::wstring& url, bool topLevel, bool* cancel) override;
    void OnDocumentComplete(const std::wstring& url, bool topLevel) override;

   private:
    CWebBrowserBase& site_;
  };

  EventSink m_sink;
  ui::Browser m_browser;
};
