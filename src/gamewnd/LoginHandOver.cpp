#include "gamewnd/LoginHandOver.h"

#include <utility>

namespace {

LoginWindowRunner& Runner() {
  static LoginWindowRunner runner;
  return runner;
}

}  // namespace

void SetLoginWindowRunner(LoginWindowRunner runner) { Runner() = std::move(runner); }
std::wstring RunLoginWindow() { return Runner() ? Runner()() : std::wstring(); }
