#pragma once
// Debugger output (OutputDebugStringW). On Linux the lines go to stderr when
// ZORV_DEBUG is set in the environment; tests capture them with a sink.
#include <functional>
#include <string>

namespace platform {

void DebugOutput(const std::wstring& text);
// Every line is also handed to the sink while one is set (tests).
void SetDebugSink(std::function<void(const std::wstring&)> sink);

}  // namespace platform
