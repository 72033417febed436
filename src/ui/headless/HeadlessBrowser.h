#pragma once
// The headless browser engine: a scriptable page behind every ui::Browser.
// Nothing loads by itself; the test (or a "page" line of a process script)
// plays the page: it finishes loads with their frames, navigates from inside
// the page, clicks element chains, opens windows and fails navigations. Each
// step raises the events a real engine raises, in the same order, on the
// user-interface thread.
//
// A load of address U with frames F1..Fn raises:
//   before-navigate(U, top)            -- inside Navigate, or PageNavigate
//   navigate-complete(U, top)          -- a new top-level document exists from here
//   for each frame: before-navigate(Fi, frame), navigate-complete(Fi, frame),
//                   document-complete(Fi, frame)
//   document-complete(U, top)
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ui/Browser.h"

namespace ui::headless {

class HeadlessBackend;
class HeadlessDocument;

class HeadlessPage : public BrowserEngine {
 public:
  explicit HeadlessPage(Browser& browser);
  ~HeadlessPage() override;

  Browser& GetBrowser() const { return browser_; }

  // ===== What the host asked =====
  // Addresses given to Navigate, in order (cancelled ones included).
  const std::vector<std::wstring>& Navigations() const { return navigations_; }
  int RefreshCount() const { return refreshes_; }
  // The address being loaded (a navigation nobody cancelled), if any.
  const std::optional<std::wstring>& PendingUrl() const { return pending_; }
  // The current top-level document's address; empty before the first load.
  std::wstring CurrentUrl() const;

  // ===== Playing the page =====
  // Finishes the pending load with its frames (a frame whose before-navigate
  // is cancelled is skipped). False when nothing is pending.
  bool FinishLoad(const std::vector<std::wstring>& frames = {});
  // The page goes to url by itself (a link, a form, a script). Returns true
  // when nobody cancelled and the load finished.
  bool PageNavigate(const std::wstring& url, const std::vector<std::wstring>& frames = {});
  // A frame of the current document goes to url: true when it loaded.
  bool FrameNavigate(const std::wstring& url);
  // The page asks for a new window: true when the host let it open.
  bool RequestNewWindow(const std::wstring& url);
  // A navigation fails: true when the host let the error page show.
  bool FailNavigation(const std::wstring& url, bool topLevel, int statusCode);
  // A click in the current document with the element chain (clicked element
  // first); every connected listener hears it, in connection order.
  void Click(const std::vector<PageElement>& chain);
  // A click raised without an event object.
  void ClickWithoutEvent();

  // ===== The documents =====
  // Listeners connected to the current document now.
  int ConnectionCount() const;
  // Connections still open on every document this page ever had.
  int OpenConnectionsOnAllDocuments() const;
  int DocumentCount() const { return int(documents_.size()); }
  // Documents made from now on offer click events (default) or not.
  void SetOffersClickEvents(bool offers) { offersClickEvents_ = offers; }
  void SetCookie(const std::wstring& cookie) { cookie_ = cookie; }
  const std::wstring& Cookie() const { return cookie_; }

  // ===== Input =====
  // Mouse and key messages that reached the page, in order.
  const std::vector<Msg>& InputSeen() const { return input_; }
  bool SawInput(UINT message) const;
  // Key codes the page's own key handling claims (TranslateAccelerator
  // answers true for a WM_KEYDOWN of one of them).
  void SetHandledKeys(std::set<UINT> keys) { handledKeys_ = std::move(keys); }
  // Key messages offered through TranslateAccelerator, in order.
  const std::vector<Msg>& KeysOffered() const { return offered_; }

  // ===== BrowserEngine =====
  bool Navigate(const std::wstring& url) override;
  void Refresh() override;
  std::shared_ptr<BrowserDocument> GetDocument() override;
  bool TranslateAccelerator(const Msg& msg) override;
  void DeliverInput(const Msg& msg) override;
  void WindowChanged() override {}

 private:
  bool Begin(const std::wstring& url);
  void Load(const std::wstring& url, const std::vector<std::wstring>& frames);

  Browser& browser_;
  std::vector<std::wstring> navigations_;
  int refreshes_ = 0;
  std::optional<std::wstring> pending_;
  std::vector<std::shared_ptr<HeadlessDocument>> documents_;
  bool offersClickEvents_ = true;
  std::wstring cookie_;
  std::vector<Msg> input_;
  std::set<UINT> handledKeys_;
  std::vector<Msg> offered_;
};

// Makes a HeadlessPage the engine of every ui::Browser created from now on.
void InstallHeadlessBrowser();
// The pages of the browsers alive now, oldest first.
std::vector<HeadlessPage*> LivePages();
// The newest live page; null when there is none.
HeadlessPage* LastPage();
// The page of a browser window or of any window that holds one (searched
// among its children); null when there is none.
HeadlessPage* PageOf(const Window& window);

// Teaches a process script the word "page" (on the newest live page):
//   page finish [FRAME...]         finish the pending load
//   page navigate URL [FRAME...]   the page goes to URL by itself
//   page click TAG[=HREF] ...      click an element chain, clicked element first
//   page expect URL                the page is loading URL (or, with nothing
//                                  loading, shows it); anything else fails
// A line that cannot run fails the script.
void RegisterPageScriptCommands(HeadlessBackend& backend);

}  // namespace ui::headless
