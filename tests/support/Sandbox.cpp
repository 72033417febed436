#include "support/Sandbox.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "support/FileHelpers.h"

namespace zorv::test {
namespace {
const char* const kVariables[] = {"HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME",
                                  "XDG_DESKTOP_DIR", "ZORV_REGISTRY_MACHINE"};
}

Sandbox::Sandbox() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zorv-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  for (const char* name : kVariables) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
  }
  for (const std::string& dir : {Home(), DataHome(), CacheHome(), ConfigHome(), Desktop()})
    std::filesystem::create_directories(dir);
  Set("HOME", Home());
  Set("XDG_DATA_HOME", DataHome());
  Set("XDG_CACHE_HOME", CacheHome());
  Set("XDG_CONFIG_HOME", ConfigHome());
  Set("XDG_DESKTOP_DIR", Desktop());
  // Tests run as root, who could write the machine-wide registry hive.
  Set("ZORV_REGISTRY_MACHINE", MachineRegistry());
}

Sandbox::~Sandbox() {
  for (const auto& [name, value] : saved_) {
    if (value)
      setenv(name.c_str(), value->c_str(), 1);
    else
      unsetenv(name.c_str());
  }
  // Tests leave read-only files behind; make everything removable first.
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(root_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(root_, ec);
}

void Sandbox::Set(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }

std::wstring Sandbox::WRoot() const { return Widen(root_); }
std::string Sandbox::Path(const std::string& relative) const { return root_ + "/" + relative; }
std::wstring Sandbox::WPath(const std::string& relative) const { return Widen(Path(relative)); }

std::vector<std::string> Sandbox::Environment() const {
  return {"HOME=" + Home(), "XDG_DATA_HOME=" + DataHome(), "XDG_CACHE_HOME=" + CacheHome(),
          "XDG_CONFIG_HOME=" + ConfigHome(), "XDG_DESKTOP_DIR=" + Desktop(),
          "ZORV_REGISTRY_MACHINE=" + MachineRegistry()};
}

Sandbox& ProcessSandbox() {
  static Sandbox box;
  return box;
}

}  // namespace zorv::test
