#include "platform/Registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/Text.h"

namespace platform {
namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

std::string HiveRoot(RegistryHive hive) {
  if (hive == RegistryHive::LocalMachine) {
    return EnvOr("ZORV_REGISTRY_MACHINE", "/var/lib/zorv/registry");
  }
  std::string config = EnvOr("XDG_CONFIG_HOME", "");
  if (config.empty() && !EnvOr("HOME", "").empty()) config = EnvOr("HOME", "") + "/.config";
  return config.empty() ? std::string() : config + "/zorv/registry";
}

// Key and value names become single file names: '%', '/', '=' and control
// bytes are written as %XX, and so is a leading '.', so that no name can be
// "." or ".." or collide with our temporary files.
std::string EncodeName(const std::wstring& name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string bytes = ToUtf8(name);
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    bool escape = c < 0x20 || c == 0x7F || c == '%' || c == '/' || c == '=' || (i == 0 && c == '.');
    if (escape) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// The key's parts, or nothing for a path with an empty, "." or ".." part.
std::optional<std::vector<std::wstring>> SplitKey(const std::wstring& key) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t end = key.find(L'\\', start);
    std::wstring part = key.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    if (part.empty() || part == L"." || part == L"..") return std::nullopt;
    parts.push_back(part);
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  return parts;
}

std::optional<std::string> KeyFolder(RegistryHive hive, const std::wstring& key) {
  std::string root = HiveRoot(hive);
  auto parts = SplitKey(key);
  if (root.empty() || !parts) return std::nullopt;
  std::string folder = root;
  for (const auto& part : *parts) folder += "/" + EncodeName(part);
  return folder;
}

std::string ValueFile(const std::string& keyFolder, const std::wstring& name) {
  return keyFolder + "/=" + EncodeName(name);
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// mkdir -p of the hive root; true when it exists as a folder afterwards.
bool MakeFolders(const std::string& path, mode_t mode) {
  if (path.empty() || IsFolder(path)) return !path.empty();
  std::size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash), mode)) return false;
  return ::mkdir(path.c_str(), mode) == 0 || (errno == EEXIST && IsFolder(path));
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

RegistryKeyResult RegistryCreateKey(RegistryHive hive, const std::wstring& key) {
  auto folder = KeyFolder(hive, key);
  if (!folder) return RegistryKeyResult::Failed;
  std::string root = HiveRoot(hive);
  mode_t mode = hive == RegistryHive::LocalMachine ? 0755 : 0700;
  if (!MakeFolders(root, mode)) return RegistryKeyResult::Failed;
  // Parents first, then the key itself: its own mkdir says whether it is new.
  std::size_t pos = root.size();
  while (true) {
    std::size_t next = folder->find('/', pos + 1);
    std::string path = folder->substr(0, next);
    bool created = ::mkdir(path.c_str(), mode) == 0;
    if (!created && !(errno == EEXIST && IsFolder(path))) return RegistryKeyResult::Failed;
    if (next == std::string::npos) return created ? RegistryKeyResult::Created : RegistryKeyResult::Opened;
    pos = next;
  }
}

bool RegistrySetString(RegistryHive hive, const std::wstring& key, const std::wstring& name,
                       const std::wstring& value) {
  auto folder = KeyFolder(hive, key);
  if (!folder || !IsFolder(*folder)) return false;
  std::string temp = *folder + "/.tmp-XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  // Machine-wide values are readable by every user, as the installed-programs
  // list is; the user's own stay private (mkstemp's 0600).
  bool ok = WriteAll(fd, ToUtf8(value)) && ::fsync(fd) == 0;
  if (ok && hive == RegistryHive::LocalMachine) ok = ::fchmod(fd, 0644) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temp.c_str(), ValueFile(*folder, name).c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

std::optional<std::wstring> RegistryGetString(RegistryHive hive, const std::wstring& key,
                                              const std::wstring& name) {
  auto folder = KeyFolder(hive, key);
  if (!folder) return std::nullopt;
  int fd = ::open(ValueFile(*folder, name).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  while (true) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return FromUtf8(bytes);
}

}  // namespace platform
