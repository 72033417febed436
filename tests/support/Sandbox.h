#pragma once
// A fresh temporary folder that HOME, the XDG folders and the machine-wide
// registry hive point into for the lifetime of the object; the previous environment is restored afterwards and
// the folder is removed.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zorv::test {

class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // The sandbox root (no trailing '/').
  const std::string& Root() const { return root_; }
  std::wstring WRoot() const;
  // Root() + "/" + relative.
  std::string Path(const std::string& relative) const;
  std::wstring WPath(const std::string& relative) const;

  // Where the XDG variables point.
  std::string Home() const { return root_ + "/home"; }
  std::string DataHome() const { return root_ + "/home/.local/share"; }
  std::string CacheHome() const { return root_ + "/home/.cache"; }
  std::string ConfigHome() const { return root_ + "/home/.config"; }
  std::string Desktop() const { return root_ + "/home/Desktop"; }
  // The machine-wide registry hive (not created until something writes it).
  std::string MachineRegistry() const { return root_ + "/machine-registry"; }

  // The sandbox variables as "NAME=value" entries, for a child's environment.
  std::vector<std::string> Environment() const;

 private:
  void Set(const char* name, const std::string& value);
  std::string root_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// One sandbox shared by every test of a program, made at the first call and
// removed when the program ends: for code that works out its folders once per
// process (the install folder is cached on first use).
Sandbox& ProcessSandbox();

}  // namespace zorv::test
