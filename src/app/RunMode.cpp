#include "app/RunMode.h"

#include <cwchar>

namespace {

struct EmbeddedTarget {
  long frameWnd = 0;
  std::wstring gameUrl;
};

EmbeddedTarget ParseEmbedded(std::wstring s) {
  EmbeddedTarget target;
  static constexpr std::wstring_view kFrame = L"-frameWnd=";
  static constexpr std::wstring_view kUrl = L"-gameurl=";
  if (auto at = s.find(kFrame); at != std::wstring::npos) {
    s.erase(0, at + kFrame.size());
    if (auto blank = s.find(L' '); blank != std::wstring::npos) {
      const std::wstring number = s.substr(0, blank);
      target.frameWnd = std::wcstol(number.c_str(), nullptr, 10);
      s.erase(0, blank);
    }
  }
  if (auto at = s.find(kUrl); at != std::wstring::npos) target.gameUrl = s.substr(at + kUrl.size());
  return target;
}

}  // namespace

RunModeChoice ChooseRunMode(const std::wstring& commandLine) {
  RunModeChoice choice;
  const std::wstring left = commandLine.substr(0, 2);
  const std::wstring right = commandLine.size() < 2 ? commandLine : commandLine.substr(commandLine.size() - 2);
  if (left == L"-d") {
    choice.finishUpdateFirst = true;
  } else if (right == L"-u") {
    choice.mode = RunMode::UninstallConfirm;
    return choice;
  } else if (left == L"-u") {
    choice.mode = RunMode::UninstallCleanup;
    return choice;
  }
  EmbeddedTarget target = ParseEmbedded(commandLine);
  if (target.frameWnd != 0) {
    choice.mode = RunMode::Embedded;
    choice.frameWnd = target.frameWnd;
    choice.gameUrl = std::move(target.gameUrl);
  }
  return choice;
}
