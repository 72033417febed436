#include "platform/Debug.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/Text.h"

namespace platform {
namespace {
std::mutex g_sinkMutex;
std::function<void(const std::wstring&)> g_sink;
}  // namespace

void DebugOutput(const std::wstring& text) {
  {
    std::lock_guard lock(g_sinkMutex);
    if (g_sink) g_sink(text);
  }
  if (std::getenv("ZORV_DEBUG") != nullptr) {
    std::string line = ToUtf8(text);
    std::fwrite(line.data(), 1, line.size(), stderr);
    if (line.empty() || line.back() != '\n') std::fputc('\n', stderr);
  }
}

void SetDebugSink(std::function<void(const std::wstring&)> sink) {
  std::lock_guard lock(g_sinkMutex);
  g_sink = std::move(sink);
}

}  // namespace platform
