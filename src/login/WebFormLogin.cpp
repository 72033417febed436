#include "login/WebFormLogin.h"

#include <utility>

#include "app/LastNavigateUrl.h"
#include "ui/Messages.h"
#include "ui/System.h"
#include "update/RunUpdateCheck.h"

namespace {

std::function<void()>& UpdateCheck() {
  static std::function<void()> check;
  return check;
}

}  // namespace

bool IsGameAddress(const std::wstring& url) { return url.find(kGameAddressMark) != std::wstring::npos; }

void SetLoginUpdateCheck(std::function<void()> check) { UpdateCheck() = std::move(check); }

void WebFormLogin::OnBeforeNavigate2(std::wstring url, bool* cancel) {
  if (IsGameAddress(url) && cancel) *cancel = true;
  if (m_hWndHost) {
    g_strLastNavigateUrl = url;
    ui::SendMessage(m_hWndHost, ui::WM_COMMAND, kCmdNavigateNotify, 0);
  }
}

void WebFormLogin::OnDocumentComplete(std::wstring) {
  if (!m_bFirstDocumentDone) {
    // Set before the check runs: a page that finishes another frame while the
    // check is still busy must not start a second one.
    m_bFirstDocumentDone = true;
    if (UpdateCheck()) UpdateCheck()();
    else RunUpdateCheck();
  }
  SetControlRect(m_rcControl);
}

ui::DWORD WebFormLogin::GetHostInfo(ui::DWORD flags) const {
  return flags | ui::kBrowserNoBorder | ui::kBrowserNoScrollBars;
}
