// The game page view over the headless page: what reaches the page, the
// click listener's connections and its debug line, and the browser events
// in the order a real engine raises them.
#include <gmock/gmock.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gamewnd/MyHtmlView.h"
#include "platform/Debug.h"
#include "ui/HeadlessFixture.h"
#include "ui/headless/HeadlessBrowser.h"

using namespace ui;
using ui::headless::HeadlessPage;
using ::testing::ElementsAre;

namespace {

class HtmlViewTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    headless::InstallHeadlessBrowser();
    platform::SetDebugSink([this](const std::wstring& line) { debug.push_back(line); });
    host.CreateEx({L"host", L"", WS_POPUP, 0, {100, 100, 900, 700}, 0, 0});
    host.ShowWindow(SW_SHOW);
    ASSERT_TRUE(view.Create(L"", L"MyWebBrowser", WS_CHILD | WS_VISIBLE, {}, &host, CMyHtmlView::kControlId));
    view.MoveWindow(0, 30, 800, 570, false);
    page = headless::PageOf(view);
    ASSERT_NE(page, nullptr);
  }
  void TearDown() override {
    platform::SetDebugSink({});
    HeadlessTest::TearDown();
  }

  Window host;
  CMyHtmlView view;
  HeadlessPage* page = nullptr;
  std::vector<std::wstring> debug;
};

TEST_F(HtmlViewTest, BrowserFillsTheViewAndGoesWhereItIsSent) {
  EXPECT_EQ(view.GetBrowser()->GetWindowRect(), Rect::FromXYWH(100, 130, 800, 570));
  EXPECT_EQ(view.GetWindowText(), L"MyWebBrowser");
  EXPECT_EQ(view.GetDlgCtrlID(), 10000);
  EXPECT_TRUE(view.GetBrowser()->GetHostFlags() & kBrowserNoContextMenu);
  view.Navigate2(L"http://game.example/play?id=7");
  EXPECT_THAT(page->Navigations(), ElementsAre(L"http://game.example/play?id=7"));
  ASSERT_TRUE(page->FinishLoad());
  EXPECT_EQ(page->CurrentUrl(), L"http://game.example/play?id=7");
  // New windows and failed navigations keep the engine's own handling.
  EXPECT_TRUE(page->RequestNewWindow(L"http://game.example/popup"));
  EXPECT_TRUE(page->FailNavigation(L"http://game.example/missing", true, 404));
}

TEST_F(HtmlViewTest, RightButtonNeverReachesThePageLeftButtonAndKeysDo) {
  Window& browser = *view.GetBrowser();
  hl().ClickAt({400, 400});
  input::MouseDown(input::MouseButton::Right, {400, 400});
  input::MouseUp(input::MouseButton::Right, {400, 400});
  input::MouseDoubleClick(input::MouseButton::Right, {400, 400});
  PumpMessages();
  EXPECT_TRUE(page->SawInput(WM_LBUTTONDOWN));
  EXPECT_FALSE(page->SawInput(WM_RBUTTONDOWN));
  EXPECT_FALSE(page->SawInput(WM_RBUTTONDBLCLK));

  // Keys go to the page's own handling first; a key it claims goes no further.
  browser.SetFocus();
  page->SetHandledKeys({VK_TAB});
  hl().KeyPress(VK_TAB);
  hl().KeyPress('A');
  ASSERT_GE(page->KeysOffered().size(), 2u);
  EXPECT_EQ(page->KeysOffered().front().wParam, VK_TAB);
  std::vector<WPARAM> delivered;
  for (const Msg& m : page->InputSeen())
    if (m.message == WM_KEYDOWN) delivered.push_back(m.wParam);
  EXPECT_THAT(delivered, ElementsAre(WPARAM('A')));
}

TEST_F(HtmlViewTest, ClickOnOrInsideALinkWritesItsAddress) {
  struct Case {
    const char* name;
    std::vector<PageElement> chain;
    std::vector<std::wstring> lines;
  };
  const Case cases[] = {
      {"link itself", {{L"A", L"http://a.example/1"}}, {L"单击事件:http://a.example/1\r\n"}},
      {"lower-case tag", {{L"a", L"/rel"}}, {L"单击事件:/rel\r\n"}},
      {"image inside a link",
       {{L"IMG", std::nullopt}, {L"A", L"http://a.example/img"}, {L"BODY", std::nullopt}},
       {L"单击事件:http://a.example/img\r\n"}},
      {"nearest of two nested links", {{L"SPAN", {}}, {L"A", L"inner"}, {L"A", L"outer"}}, {L"单击事件:inner\r\n"}},
      {"link without text in href", {{L"A", L""}}, {L"单击事件:\r\n"}},
      {"plain text", {{L"SPAN", std::nullopt}, {L"DIV", std::nullopt}, {L"BODY", std::nullopt}}, {}},
      {"tag that only starts with a", {{L"ABBR", L"x"}, {L"ADDRESS", L"y"}}, {}},
      {"href that cannot be read", {{L"A", std::nullopt}, {L"A", L"outer"}}, {}},
      {"no source element", {}, {}},
  };
  view.Navigate2(L"http://game.example/");
  page->FinishLoad();
  for (const Case& c : cases) {
    debug.clear();
    page->Click(c.chain);
    EXPECT_EQ(debug, c.lines) << c.name;
  }
  debug.clear();
  page->ClickWithoutEvent();
  EXPECT_TRUE(debug.empty());
}

TEST_F(HtmlViewTest, FramesLeaveExactlyOneConnectionToTheTopDocument) {
  view.Navigate2(L"http://game.example/");
  page->FinishLoad({L"http://game.example/f1", L"http://game.example/f2", L"http://game.example/f3"});
  EXPECT_EQ(page->ConnectionCount(), 1);
  EXPECT_EQ(page->OpenConnectionsOnAllDocuments(), 1);
  EXPECT_EQ(view.GetConnectedDocument(), view.GetBrowser()->GetDocument());

  // The page moves on: the old document is let go, the new one heard.
  page->PageNavigate(L"http://game.example/next", {L"http://game.example/f4"});
  EXPECT_EQ(page->DocumentCount(), 2);
  EXPECT_EQ(page->ConnectionCount(), 1);
  EXPECT_EQ(page->OpenConnectionsOnAllDocuments(), 1);
  page->Click({{L"a", L"next-link"}});
  EXPECT_THAT(debug, ElementsAre(L"单击事件:next-link\r\n"));

  // A document without click events: no listener, nothing written.
  page->SetOffersClickEvents(false);
  page->PageNavigate(L"http://game.example/plain");
  EXPECT_EQ(view.GetConnectionCookie(), 0u);
  EXPECT_EQ(page->OpenConnectionsOnAllDocuments(), 0);
  debug.clear();
  page->Click({{L"a", L"x"}});
  EXPECT_TRUE(debug.empty());
}

TEST_F(HtmlViewTest, DestroyingTheWindowLeavesTheObjectToItsOwner) {
  auto* owned = new CMyHtmlView();
  ASSERT_TRUE(owned->Create(L"", L"MyWebBrowser", WS_CHILD | WS_VISIBLE, {}, &host, CMyHtmlView::kControlId));
  HeadlessPage* ownedPage = headless::PageOf(*owned);
  owned->Navigate2(L"http://game.example/");
  ownedPage->FinishLoad();
  host.DestroyWindow();
  EXPECT_EQ(owned->GetSafeHwnd(), 0u);
  EXPECT_EQ(view.GetSafeHwnd(), 0u);
  // The object and its page stay until the owner deletes it; a gone window
  // takes no more navigations.
  auto alive = [ownedPage] {
    auto live = headless::LivePages();
    return std::count(live.begin(), live.end(), ownedPage) == 1;
  };
  EXPECT_TRUE(alive());
  EXPECT_FALSE(owned->Navigate2(L"http://game.example/again"));
  EXPECT_THAT(ownedPage->Navigations(), ElementsAre(L"http://game.example/"));
  delete owned;
  EXPECT_FALSE(alive());
}

TEST_F(HtmlViewTest, HostMayDestroyTheWindowWhileThePageRaisesEvents) {
  struct Closer : BrowserEvents {
    Window* host = nullptr;
    int completes = 0;
    void OnDocumentComplete(const std::wstring&, bool) override {
      if (++completes == 1) host->DestroyWindow();
    }
  } closer;
  closer.host = &host;
  view.GetBrowser()->SetEvents(&closer);
  view.Navigate2(L"http://game.example/");
  page->FinishLoad({L"http://game.example/f1", L"http://game.example/f2"});
  EXPECT_EQ(closer.completes, 3);
  EXPECT_EQ(view.GetSafeHwnd(), 0u);
}

TEST_F(HeadlessTest, BrowserWithoutAnEngineOrParentIsNotCreated) {
  Window host;
  host.CreateEx({L"host", L"", WS_POPUP | WS_VISIBLE, 0, {0, 0, 400, 300}, 0, 0});
  SetBrowserEngineFactory({});
  Browser orphan, engineless;
  EXPECT_FALSE(engineless.Create(&host, {0, 0, 10, 10}));
  headless::InstallHeadlessBrowser();
  EXPECT_FALSE(orphan.Create(nullptr, {0, 0, 10, 10}));
  EXPECT_FALSE(orphan.Navigate(L"http://x/"));
  EXPECT_EQ(orphan.GetDocument(), nullptr);
  EXPECT_TRUE(host.GetChildren().empty());
}

// The events of a load reach the host in the engine's order, and a host
// that cancels a navigation keeps the page where it was.
class EventLog : public BrowserEvents {
 public:
  std::vector<std::wstring> log;
  std::wstring cancelContaining;
  void OnBeforeNavigate(const std::wstring& url, bool top, bool* cancel) override {
    log.push_back(L"before " + url + (top ? L" top" : L" frame"));
    if (!cancelContaining.empty() && url.find(cancelContaining) != std::wstring::npos) *cancel = true;
  }
  void OnNavigateComplete(const std::wstring& url, bool top) override {
    log.push_back(L"navigated " + url + (top ? L" top" : L" frame"));
  }
  void OnDocumentComplete(const std::wstring& url, bool top) override {
    log.push_back(L"complete " + url + (top ? L" top" : L" frame"));
  }
};

TEST_F(HeadlessTest, BrowserRaisesLoadEventsInOrderAndHonoursCancel) {
  headless::InstallHeadlessBrowser();
  Window host;
  host.CreateEx({L"host", L"", WS_POPUP | WS_VISIBLE, 0, {0, 0, 400, 300}, 0, 0});
  Browser browser;
  ASSERT_TRUE(browser.Create(&host, {0, 0, 400, 300}));
  EXPECT_EQ(browser.GetClassName(), kBrowserWindowClass);
  EventLog events;
  browser.SetEvents(&events);
  HeadlessPage* page = headless::PageOf(browser);
  ASSERT_NE(page, nullptr);

  browser.Navigate(L"http://x/login");
  page->FinishLoad({L"http://x/frame"});
  EXPECT_THAT(events.log, ElementsAre(L"before http://x/login top", L"navigated http://x/login top",
                                      L"before http://x/frame frame", L"navigated http://x/frame frame",
                                      L"complete http://x/frame frame", L"complete http://x/login top"));

  events.log.clear();
  events.cancelContaining = L"play_gamecode";
  EXPECT_FALSE(page->PageNavigate(L"http://x/go?play_gamecode=1"));
  EXPECT_THAT(events.log, ElementsAre(L"before http://x/go?play_gamecode=1 top"));
  EXPECT_EQ(page->CurrentUrl(), L"http://x/login");
  EXPECT_FALSE(page->PendingUrl());
}

TEST_F(HeadlessTest, ProcessScriptsPlayThePage) {
  headless::InstallHeadlessBrowser();
  headless::RegisterPageScriptCommands(hl());
  Window host;
  host.CreateEx({L"host", L"", WS_POPUP | WS_VISIBLE, 0, {0, 0, 400, 300}, 0, 0});
  CMyHtmlView view;
  ASSERT_TRUE(view.Create(L"", L"MyWebBrowser", WS_CHILD | WS_VISIBLE, {}, &host, CMyHtmlView::kControlId));
  std::vector<std::wstring> debug;
  platform::SetDebugSink([&](const std::wstring& line) { debug.push_back(line); });
  view.Navigate2(L"http://x/game");
  hl().LoadScript("page finish http://x/frame\npage click IMG a=http://x/link\nquit\n");
  RunMessageLoop();
  platform::SetDebugSink({});
  EXPECT_EQ(headless::PageOf(view)->CurrentUrl(), L"http://x/game");
  EXPECT_THAT(debug, ElementsAre(L"单击事件:http://x/link\r\n"));
}

}  // namespace
