// The road of a normal start on the headless desktop: the main window opens
// the login screen while it is still hidden, the login page loads (its first
// document runs the real update check against a local version server), the
// player's page navigates a few times and finally asks for the game, and the
// main window shows exactly that address.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "gamewnd/CustomMessageBox.h"
#include "gamewnd/LoginHandOver.h"
#include "gamewnd/MyHtmlView.h"
#include "gamewnd/Zedoro_BrixDlg.h"
#include "login/LoginFixture.h"
#include "login/LoginWindowRunner.h"
#include "login/VersionServer.h"
#include "login/ZedoroLogin.h"
#include "update/RunUpdateCheck.h"

namespace {

using ui::headless::HeadlessPage;

constexpr wchar_t kVersionPath[] = L"getClientVersion.php?p=Zorv&g=qorn&v=";
constexpr int kMainTemplate = 101;

class LoginRoadTest : public LoginTest {
 protected:
  void SetUp() override {
    LoginTest::SetUp();
    SetLoginUpdateCheck([this] { RunUpdateCheck(server.WBase(), kVersionPath); });
    InstallLoginWindow();
  }
  void TearDown() override {
    SetLoginWindowRunner({});
    LoginTest::TearDown();
  }

  VersionServer server;
};

TEST_F(LoginRoadTest, FromStartToTheGamePageOfTheHandedOverAddress) {
  const std::wstring game = L"http://127.0.0.1:18080/games/fwqorn/play_gamecode.php?sid=12&key=A%20b&x=";
  std::vector<std::wstring> gameViewNavigations;
  bool mainHiddenDuringLogin = false;

  hl().ExpectDialog(kMainTemplate, [&](ui::Dialog& main) {
    HeadlessPage* view = ui::headless::PageOf(main);
    ASSERT_NE(view, nullptr);
    gameViewNavigations = view->Navigations();
    EXPECT_TRUE(main.IsWindowVisible());
    main.EndDialog(0);
  });
  hl().ExpectDialog(CZedoroLogin::kTemplateId, [&](ui::Dialog& d) {
    auto& login = dynamic_cast<CZedoroLogin&>(d);
    mainHiddenDuringLogin = !ui::GetMainWindow()->IsWindowVisible();
    HeadlessPage& page = *ui::headless::PageOf(*login.GetLoginPopup());
    ASSERT_TRUE(page.FinishLoad({L"http://127.0.0.1:18080/frame/1", L"http://127.0.0.1:18080/frame/2"}));
    EXPECT_EQ(server.Requests(), 1);
    EXPECT_TRUE(page.PageNavigate(L"http://127.0.0.1:18080/games/fwqorn/dlq/?server=3", {L"http://127.0.0.1:18080/frame/3"}));
    EXPECT_TRUE(page.PageNavigate(L"http://127.0.0.1:18080/x/PLAY_GAMECODE?sid=1"));
    EXPECT_TRUE(login.IsModalRunning());
    EXPECT_FALSE(page.PageNavigate(game));
  });

  RunMainWindow();

  EXPECT_TRUE(mainHiddenDuringLogin);
  EXPECT_EQ(gameViewNavigations, std::vector<std::wstring>{game});
  EXPECT_EQ(server.Requests(), 1);
}

TEST_F(LoginRoadTest, QuittingAtTheLoginEndsWithCodeZeroAndNoMainWindow) {
  std::optional<int> ended;
  bool mainShown = true;
  hl().ExpectDialog(kMainTemplate, [](ui::Dialog&) { ADD_FAILURE() << "the main window ran"; });
  hl().ExpectDialog(CZedoroLogin::kTemplateId, [&](ui::Dialog& d) {
    auto& login = dynamic_cast<CZedoroLogin&>(d);
    hl().AnswerDialog(CCustomMessageBox::kTemplateId, ui::IDCANCEL);
    login.SendMessage(ui::WM_SYSCOMMAND, ui::SC_CLOSE, 0);
    EXPECT_TRUE(login.IsModalRunning());
    hl().AnswerDialog(CCustomMessageBox::kTemplateId, ui::IDOK);
    try {
      hl().Click(*login.GetLoginPopup()->GetDlgItem(CLoginPopupDlg::kBtnClose));
    } catch (const ProcessEnded& e) {
      ended = e.code;
      mainShown = ui::GetMainWindow()->IsWindowVisible();
      throw;
    }
  });
  EXPECT_THROW(RunMainWindow(), ProcessEnded);
  ui::SetMainWindow(nullptr);
  EXPECT_EQ(ended, 0);
  EXPECT_FALSE(mainShown);
}

}  // namespace
