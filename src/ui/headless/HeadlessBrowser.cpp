#include "ui/headless/HeadlessBrowser.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include "platform/Text.h"
#include "ui/headless/HeadlessBackend.h"

namespace ui::headless {

namespace {

std::vector<HeadlessPage*>& Pages() {
  static std::vector<HeadlessPage*> pages;
  return pages;
}

// Connection cookies are unique across documents, so a cookie given back to
// the wrong document is refused as it would be by a real one.
DWORD NextConnectionCookie() {
  static DWORD next = 0;
  return ++next;
}

}  // namespace

class HeadlessDocument : public BrowserDocument {
 public:
  HeadlessDocument(std::wstring url, std::shared_ptr<std::wstring> cookie, bool offersClicks)
      : url_(std::move(url)), cookie_(std::move(cookie)), offersClicks_(offersClicks) {}

  std::wstring GetUrl() const override { return url_; }
  std::wstring GetCookie() const override { return *cookie_; }

  DWORD Advise(DocumentClickListener* listener) override {
    if (!offersClicks_ || !listener) return 0;
    DWORD cookie = NextConnectionCookie();
    listeners_.emplace_back(cookie, listener);
    return cookie;
  }

  bool Unadvise(DWORD cookie) override {
    auto it = std::find_if(listeners_.begin(), listeners_.end(), [cookie](auto& l) { return l.first == cookie; });
    if (it == listeners_.end()) return false;
    listeners_.erase(it);
    return true;
  }

  int Connections() const { return int(listeners_.size()); }

  void RaiseClick(const DocumentClick* event) {
    // A listener may disconnect while it hears the click.
    auto listeners = listeners_;
    for (auto& [cookie, listener] : listeners) {
      bool stillConnected = std::any_of(listeners_.begin(), listeners_.end(),
                                        [c = cookie](auto& l) { return l.first == c; });
      if (stillConnected) listener->OnDocumentClick(event);
    }
  }

 private:
  std::wstring url_;
  std::shared_ptr<std::wstring> cookie_;
  bool offersClicks_;
  std::vector<std::pair<DWORD, DocumentClickListener*>> listeners_;
};

HeadlessPage::HeadlessPage(Browser& browser) : browser_(browser) { Pages().push_back(this); }

HeadlessPage::~HeadlessPage() { std::erase(Pages(), this); }

std::wstring HeadlessPage::CurrentUrl() const { return documents_.empty() ? std::wstring() : documents_.back()->GetUrl(); }

bool HeadlessPage::Begin(const std::wstring& url) {
  if (browser_.RaiseBeforeNavigate(url, true)) return false;
  pending_ = url;
  return true;
}

void HeadlessPage::Load(const std::wstring& url, const std::vector<std::wstring>& frames) {
  pending_.reset();
  browser_.RaiseNavigateComplete(url, true);
  documents_.push_back(
      std::make_shared<HeadlessDocument>(url, std::make_shared<std::wstring>(cookie_), offersClickEvents_));
  for (const std::wstring& frame : frames) FrameNavigate(frame);
  browser_.RaiseDocumentComplete(url, true);
}

bool HeadlessPage::FinishLoad(const std::vector<std::wstring>& frames) {
  if (!pending_) return false;
  const std::wstring url = *pending_;
  Load(url, frames);
  return true;
}

bool HeadlessPage::PageNavigate(const std::wstring& url, const std::vector<std::wstring>& frames) {
  if (!Begin(url)) return false;
  Load(url, frames);
  return true;
}

bool HeadlessPage::FrameNavigate(const std::wstring& url) {
  if (browser_.RaiseBeforeNavigate(url, false)) return false;
  browser_.RaiseNavigateComplete(url, false);
  browser_.RaiseDocumentComplete(url, false);
  return true;
}

bool HeadlessPage::RequestNewWindow(const std::wstring& url) { return !browser_.RaiseNewWindow(url); }

bool HeadlessPage::FailNavigation(const std::wstring& url, bool topLevel, int statusCode) {
  if (topLevel && pending_ == url) pending_.reset();
  return !browser_.RaiseNavigateError(url, topLevel, statusCode);
}

void HeadlessPage::Click(const std::vector<PageElement>& chain) {
  if (documents_.empty()) return;
  DocumentClick event{chain};
  documents_.back()->RaiseClick(&event);
}

void HeadlessPage::ClickWithoutEvent() {
  if (!documents_.empty()) documents_.back()->RaiseClick(nullptr);
}

int HeadlessPage::ConnectionCount() const { return documents_.empty() ? 0 : documents_.back()->Connections(); }

int HeadlessPage::OpenConnectionsOnAllDocuments() const {
  int total = 0;
  for (auto& document : documents_) total += document->Connections();
  return total;
}

bool HeadlessPage::SawInput(UINT message) const {
  return std::any_of(input_.begin(), input_.end(), [message](const Msg& m) { return m.message == message; });
}

bool HeadlessPage::Navigate(const std::wstring& url) {
  navigations_.push_back(url);
  Begin(url);
  return true;
}

void HeadlessPage::Refresh() { ++refreshes_; }

std::shared_ptr<BrowserDocument> HeadlessPage::GetDocument() {
  return documents_.empty() ? nullptr : documents_.back();
}

bool HeadlessPage::TranslateAccelerator(const Msg& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP && msg.message != WM_SYSKEYDOWN &&
      msg.message != WM_SYSKEYUP && msg.message != WM_CHAR)
    return false;
  offered_.push_back(msg);
  return msg.message == WM_KEYDOWN && handledKeys_.count(UINT(msg.wParam)) != 0;
}

void HeadlessPage::DeliverInput(const Msg& msg) { input_.push_back(msg); }

void InstallHeadlessBrowser() {
  SetBrowserEngineFactory([](Browser& browser) { return std::make_unique<HeadlessPage>(browser); });
}

std::vector<HeadlessPage*> LivePages() { return Pages(); }

HeadlessPage* LastPage() { return Pages().empty() ? nullptr : Pages().back(); }

HeadlessPage* PageOf(const Window& window) {
  for (HeadlessPage* page : Pages()) {
    for (const Window* w = &page->GetBrowser(); w; w = w->GetParent())
      if (w == &window) return page;
  }
  return nullptr;
}

void RegisterPageScriptCommands(HeadlessBackend& backend) {
  backend.RegisterScriptCommand("page", [&backend](const std::string& line) {
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    std::vector<std::wstring> args;
    for (std::string token; in >> token;) args.push_back(platform::FromUtf8(token));
    HeadlessPage* page = LastPage();
    if (!page) backend.Fail("page " + line + ": there is no page");
    if (verb == "finish") {
      if (!page->FinishLoad(args)) backend.Fail("page finish: nothing is loading");
    } else if (verb == "navigate") {
      if (args.empty()) backend.Fail("page navigate: needs an address");
      std::wstring url = args.front();
      page->PageNavigate(url, {args.begin() + 1, args.end()});
    } else if (verb == "click") {
      std::vector<PageElement> chain;
      for (const std::wstring& arg : args) {
        size_t eq = arg.find(L'=');
        if (eq == std::wstring::npos) chain.push_back({arg, std::nullopt});
        else chain.push_back({arg.substr(0, eq), arg.substr(eq + 1)});
      }
      page->Click(chain);
    } else if (verb == "expect") {
      // What a process run can check from outside: where the page is.
      if (args.size() != 1) backend.Fail("page expect: needs one address");
      const std::wstring at = page->PendingUrl().value_or(page->CurrentUrl());
      if (at != args.front())
        backend.Fail("page expect " + platform::ToUtf8(args.front()) + ": the page is at " + platform::ToUtf8(at));
    } else {
      backend.Fail("page: unknown step \"" + verb + "\" (finish, navigate, click, expect)");
    }
  });
}

}  // namespace ui::headless
