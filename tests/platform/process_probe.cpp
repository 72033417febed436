// A child for the process tests: reports what it sees of its own start into
// the file named by ZORV_PROBE_OUT, then ends with ZORV_PROBE_EXIT (if set)
// through the process port.
#include <dirent.h>

#include <cstdlib>
#include <string>

#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Text.h"

namespace {

// Descriptors beyond the standard three, not counting the one that lists them.
int InheritedDescriptors() {
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return -1;
  int count = 0;
  while (dirent* e = readdir(dir)) {
    int fd = std::atoi(e->d_name);
    if (e->d_name[0] != '.' && fd > 2 && fd != dirfd(dir)) ++count;
  }
  closedir(dir);
  return count;
}

}  // namespace

int main() {
  if (const char* out = std::getenv("ZORV_PROBE_OUT")) {
    std::string report = platform::ToUtf8(platform::GetCommandLine()) + "\n" +
                         platform::ToUtf8(platform::GetModulePath()) + "\n" +
                         (std::getenv("ZORV_RAW_COMMAND_LINE") ? "raw" : "-") + "\n" +
                         std::to_string(InheritedDescriptors()) + "\n";
    platform::WriteWholeFile(platform::FromUtf8(out), report);
  }
  if (const char* code = std::getenv("ZORV_PROBE_EXIT")) platform::ExitProcessNow(std::atoi(code));
  return 0;
}
