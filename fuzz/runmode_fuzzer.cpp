// The run-mode decision on arbitrary command lines: never a crash, and the
// choice is always consistent with itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/RunMode.h"
#include "platform/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = platform::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const RunModeChoice choice = ChooseRunMode(text);
  const bool embedded = choice.mode == RunMode::Embedded;
  if (embedded != (choice.frameWnd != 0)) std::abort();
  if (!embedded && !choice.gameUrl.empty()) std::abort();
  if (embedded && text.find(L"-frameWnd=") == std::wstring::npos) std::abort();
  if (choice.finishUpdateFirst && (!text.starts_with(L"-d") || !(embedded || choice.mode == RunMode::Normal)))
    std::abort();
  if (choice.mode == RunMode::UninstallConfirm && !text.ends_with(L"-u")) std::abort();
  if (choice.mode == RunMode::UninstallCleanup && !text.starts_with(L"-u")) std::abort();
  return 0;
}
