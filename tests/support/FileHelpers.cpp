#include "support/FileHelpers.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/Text.h"

namespace zorv::test {

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

int FileMode(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int>(st.st_mode & 07777);
}

std::wstring Widen(const std::string& utf8) { return platform::FromUtf8(utf8); }
std::string Narrow(const std::wstring& wide) { return platform::ToUtf8(wide); }

}  // namespace zorv::test
