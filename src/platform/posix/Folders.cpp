#include "platform/Folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/Text.h"

namespace platform {
namespace {

// XDG variables count only when they hold an absolute path.
std::string AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  std::string path = value;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string Home() {
  std::string home = AbsoluteEnv("HOME");
  if (!home.empty()) return home;
  passwd entry;
  passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/')
    return found->pw_dir;
  return {};
}

std::string UnderHome(const char* relative) {
  std::string home = Home();
  return home.empty() ? std::string() : home + "/" + relative;
}

std::string DataHome() {
  std::string dir = AbsoluteEnv("XDG_DATA_HOME");
  return dir.empty() ? UnderHome(".local/share") : dir;
}

std::string CacheHome() {
  std::string dir = AbsoluteEnv("XDG_CACHE_HOME");
  return dir.empty() ? UnderHome(".cache") : dir;
}

// The desktop entry of $XDG_CONFIG_HOME/user-dirs.dirs, the file desktops keep
// their (often translated) folder names in: XDG_DESKTOP_DIR="$HOME/Desktop".
std::string DesktopFromUserDirs() {
  std::string config = AbsoluteEnv("XDG_CONFIG_HOME");
  if (config.empty()) config = UnderHome(".config");
  if (config.empty()) return {};
  std::ifstream in(config + "/user-dirs.dirs");
  std::string line;
  const std::string prefix = "XDG_DESKTOP_DIR=\"";
  while (std::getline(in, line)) {
    if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + 1 || line.back() != '"') continue;
    std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
    if (value.rfind("$HOME", 0) == 0) value = Home() + value.substr(5);
    if (!value.empty() && value[0] == '/') return value;
  }
  return {};
}

std::string Desktop() {
  std::string dir = AbsoluteEnv("XDG_DESKTOP_DIR");
  if (dir.empty()) dir = DesktopFromUserDirs();
  return dir.empty() ? UnderHome("Desktop") : dir;
}

std::string Below(const std::string& base, const char* relative) {
  return base.empty() ? std::string() : base + "/" + relative;
}

}  // namespace

std::wstring GetSpecialFolder(SpecialFolder which) {
  switch (which) {
    case SpecialFolder::AppData:
      return FromUtf8(DataHome());
    case SpecialFolder::Programs:
      return FromUtf8(Below(DataHome(), "applications"));
    case SpecialFolder::Desktop:
      return FromUtf8(Desktop());
    case SpecialFolder::InternetCache:
      return FromUtf8(Below(CacheHome(), "Zorv/browser"));
  }
  return {};
}

}  // namespace platform
