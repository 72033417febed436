#include "login/QuitQuestion.h"

#include "gamewnd/CustomMessageBox.h"
#include "platform/Process.h"
#include "platform/Resources.h"

namespace {

constexpr int kLauncherTitleString = 107;
constexpr wchar_t kCaption[] = L"关闭提示";

}  // namespace

void AskToQuitLauncher() {
  CCustomMessageBox question;
  question.SetMsg(kCaption, L"是否退出" + platform::LoadString(kLauncherTitleString) + L"？");
  // Nothing is closed or saved first: the login screen has nothing to keep.
  if (question.DoModal() == ui::IDOK) platform::ExitProcessNow(0);
}
