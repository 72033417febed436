#include "gamewnd/LoginHandOver.h"

#include <utility>

namespace {

LoginWindowRunner& Runner() {
  static LoginWindowRunner runner;
  return runner;
}

}  // namespace

void SetLoginWindowRunner(LoginWindowRunner runner) { Runner() = std::move(runner); }
bool HasLoginWindowRunner() { return static_cast<bool>(Runner()); }
std::wstring RunLoginWindow() { return Runner() ? Runner()() : std::wstring(); }
