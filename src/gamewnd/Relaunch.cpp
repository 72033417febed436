#include "gamewnd/Relaunch.h"

#include <utility>

#include "platform/Process.h"

namespace {

ProcessStarter& Starter() {
  static ProcessStarter starter;
  return starter;
}

}  // namespace

void SetRelaunchStarter(ProcessStarter starter) { Starter() = std::move(starter); }

void Relaunch() {
  const std::wstring program = platform::GetModulePath();
  if (Starter()) Starter()(program, L"");
  else platform::StartProcess(program, L"");
}
