#pragma once
// WebFormLogin: the site of the login page's browser control. It watches the
// page's navigations for the finished login and reports every one of them to
// its host window, runs the client's update check when the page has loaded
// for the first time, and shows the control only from then on.
#include <functional>
#include <string>

#include "login/WebBrowserBase.h"

// The command the site sends its host (synchronously) on every navigation,
// after storing the address in g_strLastNavigateUrl.
inline constexpr int kCmdNavigateNotify = 10001;
// A navigation to an address containing this (case matters) is the finished
// login handing over the game address: the login page never goes there.
inline constexpr wchar_t kGameAddressMark[] = L"play_gamecode";

bool IsGameAddress(const std::wstring& url);

// The check the first loaded login page runs: RunUpdateCheck of the client,
// unless another was set (tests aim it at their own version server).
void SetLoginUpdateCheck(std::function<void()> check);

class WebFormLogin : public CWebBrowserBase {
 public:
  WebFormLogin() = default;

  ui::HWND GetHWND() const override { return m_hWndHost; }

  ui::HWND m_hWndHost = 0;
  bool m_bFirstDocumentDone = false;

 protected:
  void OnDocumentComplete(std::wstring url) override;
  void OnBeforeNavigate2(std::wstring url, bool* cancel) override;
  // No border and no scroll bars; the control keeps its own context menu.
  ui::DWORD GetHostInfo(ui::DWORD flags) const override;
};
