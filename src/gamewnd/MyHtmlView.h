#pragma once
// The game page view: a child window that hosts the browser over its whole
// client area. Right-button presses never reach the page, the page gets no
// context menu, every loaded document gets the click listener, and the
// object is deleted only by the window that created it (destroying the
// window leaves the object alone).
#include <memory>
#include <string>

#include "gamewnd/DocEvtHandler.h"
#include "ui/Browser.h"
#include "ui/Window.h"

class CMyHtmlView : public ui::Window, private ui::BrowserEvents {
 public:
  static constexpr int kControlId = 10000;

  CMyHtmlView();
  ~CMyHtmlView() override;

  // Creates the view (className empty: the view's own class) and its
  // browser. False when either cannot be made.
  bool Create(const std::wstring& className, const std::wstring& windowName, ui::DWORD style, const ui::Rect& rect,
              ui::Window* parent, int id);
  // Loads address in the browser (no flags, target frame, headers or post data).
  bool Navigate2(const std::wstring& address);
  // The browser control; null before Create.
  ui::Browser* GetBrowser() { return m_browser.GetSafeHwnd() ? &m_browser : nullptr; }

  // The listener's connection: 0 when not connected.
  ui::DWORD GetConnectionCookie() const { return m_dwCookie; }
  const std::shared_ptr<ui::BrowserDocument>& GetConnectedDocument() const { return m_pDocDisp; }

  bool PreTranslateMessage(ui::Msg& msg) override;

 protected:
  void OnDestroy() override;
  void OnSize(ui::UINT type, int cx, int cy) override;

 private:
  void OnDocumentComplete(const std::wstring& url, bool topLevel) override;
  void ConnectDocEvents();
  void DisconnectDocEvents();

  ui::Browser m_browser;
  std::unique_ptr<SDocEvtHandler> m_pEvtHandler;
  ui::DWORD m_dwCookie = 0;
  std::shared_ptr<ui::BrowserDocument> m_pDocDisp;
};
