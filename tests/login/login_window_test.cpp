// The login window and its popup on the headless desktop: picture, places,
// dragging, the close question, minimising, the page's loading, hand-over
// and key handling.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/InstallDir.h"
#include "app/LastNavigateUrl.h"
#include "gamewnd/CustomMessageBox.h"
#include "login/BitmapResource.h"
#include "login/LoginFixture.h"
#include "login/ZedoroLogin.h"
#include "platform/Resources.h"
#include "platform/Text.h"
#include "skin/PngImage.h"
#include "ui/Input.h"
#include "ui/Render.h"
#include "ui/System.h"

namespace {

using ui::Point;
using ui::Rect;
using ui::headless::HeadlessPage;
using ui::headless::PageOf;

constexpr int kEndedByTest = 77;

// Where a child lies in its parent's client area.
Rect PlaceInParent(const ui::Window& child) {
  Rect r = child.GetWindowRect();
  child.GetParent()->ScreenToClient(&r);
  return r;
}

class LoginWindowTest : public LoginTest {
 protected:
  // Runs the login window modally; play runs once its loop is idle and either
  // leaves it handed over or ends it with EndDialog(kEndedByTest).
  void SetUp() override {
    LoginTest::SetUp();
    login_ = std::make_unique<CZedoroLogin>();
  }
  void TearDown() override {
    login_.reset();
    LoginTest::TearDown();
  }

  ui::INT_PTR RunLogin(const std::function<void(CZedoroLogin&)>& play) {
    hl().ExpectDialog(CZedoroLogin::kTemplateId, [&](ui::Dialog&) { play(Login()); });
    return Login().DoModal();
  }

  CZedoroLogin& Login() { return *login_; }

  CLoginPopupDlg& Popup() { return *Login().GetLoginPopup(); }
  HeadlessPage& Page() { return *PageOf(Popup()); }
  Rect ExpectedPopupRect() {
    const Rect r = Login().GetWindowRect();
    return Rect::FromXYWH(r.left + 365, r.top + 73, 690, 513);
  }

  // The next dialog is the close question; it is answered with command.
  void ExpectCloseQuestion(int command) {
    hl().ExpectDialog(CCustomMessageBox::kTemplateId, [command](ui::Dialog& d) {
      auto& box = dynamic_cast<CCustomMessageBox&>(d);
      EXPECT_EQ(box.GetCaption(), L"关闭提示");
      EXPECT_EQ(box.GetMsg(), L"是否退出Veltan登录器？");
      d.EndDialog(command);
    });
  }

 private:
  std::unique_ptr<CZedoroLogin> login_;
};

TEST_F(LoginWindowTest, PictureTakesItsSizeCentredWithThePopupOverItsForm) {
  RunLogin([&](CZedoroLogin& w) {
    const Rect r = w.GetWindowRect();
    EXPECT_EQ(r, Rect::FromXYWH((1920 - 1174) / 2, (1040 - 686) / 2, 1174, 686));
    EXPECT_EQ(w.GetWindowText(), L"Veltan登录器");
    EXPECT_TRUE(w.GetExStyle() & ui::WS_EX_APPWINDOW);
    EXPECT_TRUE(w.GetStyle() & ui::WS_MINIMIZEBOX);
    ASSERT_TRUE(w.GetLayeredState().hasPicture);

    // Transparent margins take no input; the picture does.
    EXPECT_FALSE(w.HitTestLayered({r.left + 1, r.top + 1}));
    EXPECT_TRUE(w.HitTestLayered({r.left + 100, r.top + 400}));

    // The version is written into the picture's bottom-right corner.
    auto plain = LoadPngImage(kLoginBackgroundPng);
    ASSERT_TRUE(plain);
    const ui::Surface& shown = w.GetLayeredPicture();
    int changed = 0;
    for (int y = 686 - 33; y < 686; ++y)
      for (int x = 1174 - 60; x < 1174; ++x) changed += shown.GetPixel(x, y) != plain->GetPixel(x, y);
    EXPECT_GT(changed, 0);

    CLoginPopupDlg& popup = *w.GetLoginPopup();
    EXPECT_EQ(popup.GetWindowRect(), ExpectedPopupRect());
    EXPECT_TRUE(popup.IsWindowVisible());
    EXPECT_EQ(popup.GetOwner(), &w);
    const ui::LayeredState& layered = popup.GetLayeredState();
    EXPECT_EQ(layered.colorKey, ui::RGB(0, 255, 0));
    EXPECT_EQ(layered.alpha, 250);
    EXPECT_EQ(layered.flags, ui::LWA_COLORKEY | ui::LWA_ALPHA);

    // The first-run setup ran while the login window opened.
    EXPECT_TRUE(std::filesystem::exists(platform::ToUtf8(GetInstallDir() + L"res/systemset.ini")));
    w.EndDialog(kEndedByTest);
  });
}

TEST_F(LoginWindowTest, DraggedByAnyOpaquePointWithThePopupFollowing) {
  RunLogin([&](CZedoroLogin& w) {
    const Rect start = w.GetWindowRect();
    // On the picture left of the form, and on the popup's transparent top
    // strip, where the picture shows through.
    const Point grips[] = {{start.left + 100, start.top + 400}, {start.left + 365 + 300, start.top + 73 + 30}};
    Point offset{0, 0};
    for (const Point& grip : grips) {
      const Point from{grip.x + offset.x, grip.y + offset.y};
      const Rect before = w.GetWindowRect();
      hl().MoveMouse(from);
      ASSERT_TRUE(ui::input::MouseDown(ui::input::MouseButton::Left, from));
      hl().MoveMouse({from.x - 40, from.y + 25});
      EXPECT_EQ(w.GetWindowRect().TopLeft(), (Point{before.left - 40, before.top + 25}));
      EXPECT_EQ(Popup().GetWindowRect(), ExpectedPopupRect()) << "during the drag";
      hl().MoveMouse({from.x - 90, from.y + 60});
      ui::input::MouseUp(ui::input::MouseButton::Left, {from.x - 90, from.y + 60});
      ui::PumpMessages();
      EXPECT_EQ(w.GetWindowRect().TopLeft(), (Point{before.left - 90, before.top + 60}));
      EXPECT_EQ(Popup().GetWindowRect(), ExpectedPopupRect()) << "after the drag";
      offset = {offset.x - 90, offset.y + 60};
    }
    w.EndDialog(kEndedByTest);
  });
}

// Every way of closing the login screen asks; declining keeps both windows
// as they are, confirming ends the process with code 0.
TEST_F(LoginWindowTest, CloseAsksAndOnlyConfirmingEndsTheProcess) {
  const std::vector<std::pair<const char*, std::function<void(CZedoroLogin&)>>> ways = {
      {"close command of the login window",
       [](CZedoroLogin& w) { w.SendMessage(ui::WM_SYSCOMMAND, ui::SC_CLOSE, 0); }},
      {"close button of the popup",
       [this](CZedoroLogin& w) { hl().Click(*w.GetLoginPopup()->GetDlgItem(CLoginPopupDlg::kBtnClose)); }},
      {"Alt+F4 on the popup",
       [this](CZedoroLogin& w) {
         w.GetLoginPopup()->SetActiveWindow();
         hl().KeyPress(ui::VK_F4, ui::MOD_ALT);
       }},
  };
  for (const auto& [name, ask] : ways) {
    SCOPED_TRACE(name);
    std::optional<int> ended;
    CZedoroLogin w;
    hl().ExpectDialog(CZedoroLogin::kTemplateId, [&](ui::Dialog&) {
      const Rect place = w.GetWindowRect();
      ExpectCloseQuestion(ui::IDCANCEL);
      ask(w);
      EXPECT_TRUE(w.IsModalRunning());
      EXPECT_TRUE(w.IsWindowVisible());
      EXPECT_TRUE(w.GetLoginPopup()->IsWindowVisible());
      EXPECT_EQ(w.GetWindowRect(), place);
      ExpectCloseQuestion(ui::IDOK);
      try {
        ask(w);
      } catch (const ProcessEnded& e) {
        ended = e.code;
        w.EndDialog(kEndedByTest);
      }
    });
    w.DoModal();
    EXPECT_EQ(ended, 0);
  }
}

TEST_F(LoginWindowTest, EnterEscAndCancelDoNothing) {
  RunLogin([&](CZedoroLogin& w) {
    w.SetActiveWindow();
    hl().KeyPress(ui::VK_RETURN);
    hl().KeyPress(ui::VK_ESCAPE);
    w.SendMessage(ui::WM_COMMAND, ui::IDCANCEL, 0);
    w.SendMessage(ui::WM_COMMAND, ui::IDOK, 0);
    ui::PumpMessages();
    EXPECT_TRUE(w.IsModalRunning());
    EXPECT_TRUE(w.IsWindowVisible());
    w.EndDialog(kEndedByTest);
  });
}

TEST_F(LoginWindowTest, MinimiseButtonHidesBothAndRestoreBringsThemBackInPlace) {
  RunLogin([&](CZedoroLogin& w) {
    hl().Click(*Popup().GetDlgItem(CLoginPopupDlg::kBtnMin));
    EXPECT_TRUE(w.IsIconic());
    EXPECT_FALSE(Popup().IsWindowVisible());
    w.SendMessage(ui::WM_SYSCOMMAND, ui::SC_RESTORE, 0);
    ui::PumpMessages();
    EXPECT_FALSE(w.IsIconic());
    EXPECT_TRUE(Popup().IsWindowVisible());
    EXPECT_EQ(Popup().GetWindowRect(), ExpectedPopupRect());
    w.EndDialog(kEndedByTest);
  });
}

// The page loads behind the loading panel; its first document (of any frame)
// runs the update check once and shows the page below the top strip; every
// navigation is reported; the first game address is cancelled and handed
// over, and ends the login.
TEST_F(LoginWindowTest, PageLoadsBehindThePanelAndTheFirstGameAddressEndsTheLogin) {
  const std::wstring game = L"http://127.0.0.1:18080/games/fwqorn/play_gamecode.php?sid=7&code=a%2Fb";
  const std::wstring later = L"http://127.0.0.1:18080/other/?play_gamecode=2";
  const ui::INT_PTR result = RunLogin([&](CZedoroLogin& w) {
    HeadlessPage& page = Page();
    ui::Browser& browser = page.GetBrowser();
    EXPECT_EQ(page.Navigations(), std::vector<std::wstring>{platform::LoadString(114)});
    EXPECT_EQ(g_strLastNavigateUrl, platform::LoadString(114));
    EXPECT_EQ(browser.GetHostFlags(), ui::kBrowserNoBorder | ui::kBrowserNoScrollBars);

    // Loading: no browser to see, the panel of bitmap 318 shows; the green
    // strip is see-through.
    EXPECT_EQ(browser.GetWindowRect().Width(), 0);
    const ui::Surface panel = LoadBitmapResource(CLoginPopupDlg::kBackgroundBitmap);
    const ui::Surface shown = ui::RenderWindow(Popup());
    const ui::Rgba want = panel.GetPixel(345, 300), got = shown.GetPixel(345, 300);
    EXPECT_NEAR(got.r, want.r, 2);
    EXPECT_NEAR(got.g, want.g, 2);
    EXPECT_NEAR(got.b, want.b, 2);
    EXPECT_EQ(shown.GetPixel(10, 10).a, 0);
    EXPECT_EQ(updateChecks, 0);

    ASSERT_TRUE(page.FinishLoad({L"http://127.0.0.1:18080/frame/a", L"http://127.0.0.1:18080/frame/b"}));
    EXPECT_EQ(updateChecks, 1);
    EXPECT_EQ(PlaceInParent(browser), Rect(0, 61, 690, 513));

    // Navigations before the login, one of them in another case.
    for (const std::wstring& url : {std::wstring(L"http://127.0.0.1:18080/games/fwqorn/dlq/?step=2"),
                                    std::wstring(L"http://127.0.0.1:18080/x/PLAY_GAMECODE.php?a=1")}) {
      EXPECT_TRUE(page.PageNavigate(url, {L"http://127.0.0.1:18080/frame/c"}));
      EXPECT_EQ(g_strLastNavigateUrl, L"http://127.0.0.1:18080/frame/c");
      EXPECT_TRUE(page.FrameNavigate(url + L"#f"));
      EXPECT_EQ(g_strLastNavigateUrl, url + L"#f");
    }
    EXPECT_EQ(updateChecks, 1);
    EXPECT_EQ(w.GetGameUrl(), L"");

    EXPECT_FALSE(page.PageNavigate(game)) << "the login page never goes to the game";
    EXPECT_EQ(g_strLastNavigateUrl, game);
    EXPECT_EQ(w.GetGameUrl(), game);
    // A second game address before the loop has ended is reported and
    // cancelled but does not replace the first.
    EXPECT_FALSE(page.FrameNavigate(later));
    EXPECT_EQ(g_strLastNavigateUrl, later);
    EXPECT_EQ(w.GetGameUrl(), game);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Login().GetGameUrl(), game);
}

// Keys typed while the page has the focus: Enter reaches the page, Tab and
// Ctrl+A/C/V/X are offered to the page's own handling first (and go on to the
// page only when it did not take them), Space and Esc reach nobody, and the
// rest is ordinary input.
TEST_F(LoginWindowTest, KeysForThePage) {
  struct Case {
    const char* name;
    ui::UINT key, modifiers;
    bool offered;   // given to the page's own key handling
    bool reached;   // arrived at the page as input
  };
  const Case cases[] = {
      {"Enter", ui::VK_RETURN, 0, false, true},
      {"Tab, taken by the page", ui::VK_TAB, 0, true, false},
      {"Ctrl+C, taken by the page", 'C', ui::MOD_CONTROL, true, false},
      {"Ctrl+V, left by the page", 'V', ui::MOD_CONTROL, true, true},
      {"Ctrl+A", 'A', ui::MOD_CONTROL, true, true},
      {"Ctrl+X", 'X', ui::MOD_CONTROL, true, true},
      {"Ctrl with lower-case code of a", 0x61, ui::MOD_CONTROL, true, true},
      {"C without Ctrl", 'C', 0, false, true},
      {"Ctrl+B", 'B', ui::MOD_CONTROL, false, true},
      {"Space", ui::VK_SPACE, 0, false, false},
      {"Esc", ui::VK_ESCAPE, 0, false, false},
  };
  RunLogin([&](CZedoroLogin& w) {
    HeadlessPage& page = Page();
    ui::Browser& browser = page.GetBrowser();
    auto count = [](const std::vector<ui::Msg>& msgs, ui::UINT key) {
      int n = 0;
      for (const ui::Msg& m : msgs) n += m.message == ui::WM_KEYDOWN && m.wParam == key;
      return n;
    };

    // Before the page has a document, Tab is the dialog's usual business.
    Popup().SetActiveWindow();
    browser.SetFocus();
    hl().KeyPress(ui::VK_TAB);
    EXPECT_EQ(count(page.KeysOffered(), ui::VK_TAB), 0);
    EXPECT_EQ(count(page.InputSeen(), ui::VK_TAB), 1);

    ASSERT_TRUE(page.FinishLoad());
    page.SetHandledKeys({ui::VK_TAB, 'C'});
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      const int offeredBefore = count(page.KeysOffered(), c.key), reachedBefore = count(page.InputSeen(), c.key);
      browser.SetFocus();
      hl().KeyPress(c.key, c.modifiers);
      EXPECT_EQ(count(page.KeysOffered(), c.key) - offeredBefore, c.offered ? 1 : 0);
      EXPECT_EQ(count(page.InputSeen(), c.key) - reachedBefore, c.reached ? 1 : 0);
      if (c.offered) {
        EXPECT_EQ(page.KeysOffered().back().hwnd, browser.GetSafeHwnd());
      }
      EXPECT_TRUE(w.IsModalRunning());
      EXPECT_TRUE(Popup().IsWindowVisible());
    }
    w.EndDialog(kEndedByTest);
  });
}

TEST_F(LoginWindowTest, WithoutABrowserThePanelStaysAndTheButtonsStillWork) {
  ui::SetBrowserEngineFactory({});
  RunLogin([&](CZedoroLogin& w) {
    EXPECT_EQ(PageOf(Popup()), nullptr);
    EXPECT_EQ(Popup().GetSite()->GetWebBrowser2(), nullptr);
    EXPECT_FALSE(Popup().GetSite()->Navigate(L"http://127.0.0.1/"));
    Popup().SetActiveWindow();
    hl().KeyPress(ui::VK_TAB);
    hl().KeyPress('C', ui::MOD_CONTROL);
    hl().Click(*Popup().GetDlgItem(CLoginPopupDlg::kBtnMin));
    EXPECT_TRUE(w.IsIconic());
    w.EndDialog(kEndedByTest);
  });
}

}  // namespace
