#pragma once
// A sandboxed home for install and uninstall runs (the XDG folders and both
// registry hives point into a fresh temporary folder), with the paths the
// client uses there; the programs under test are started as real processes
// from copies placed in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Profile.h"
#include "platform/Registry.h"
#include "support/ChildProcess.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"

namespace zorv::test {

inline const std::wstring kUninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zorv";
inline const std::wstring kProfileKey = L"Software\\应用程序向导生成的本地应用程序\\Zedoro_Brix\\Zorv";
inline const std::vector<std::wstring> kRecordNames = {L"Path", L"DisplayName", L"Publisher", L"UninstallString"};

class InstallSandbox {
 public:
  const Sandbox& Box() const { return sandbox_; }
  std::string Install() const { return sandbox_.DataHome() + "/Zorv/Zorv"; }
  std::string Installed() const { return Install() + "/Zedoro_Brix"; }
  std::string Res() const { return Install() + "/res"; }
  std::string Settings() const { return Res() + "/systemset.ini"; }
  std::string MenuRoot() const { return sandbox_.DataHome() + "/applications/Zorv"; }
  std::string Menu() const { return MenuRoot() + "/Veltan"; }
  std::string GameEntry() const { return Menu() + "/Veltan.desktop"; }
  std::string UninstallEntry() const { return Menu() + "/卸载-Veltan.desktop"; }
  std::string Trash() const { return sandbox_.DataHome() + "/Trash/files"; }

  // A copy of program named Zedoro_Brix in its own folder below the sandbox
  // (a "download"), stamped with another version when one is given
  // ("--none": no version at all).
  std::string Place(const std::string& program, const std::string& folder, const std::string& version = "") const {
    std::string dir = sandbox_.Path(folder);
    std::filesystem::create_directories(dir);
    std::string path = dir + "/Zedoro_Brix";
    if (version.empty()) {
      std::filesystem::copy_file(program, path, std::filesystem::copy_options::overwrite_existing);
    } else {
      auto stamp = RunChild({ZORV_STAMPVERSION, program, path, version});
      EXPECT_EQ(stamp.exitCode, 0) << stamp.err;
    }
    return path;
  }

  // Runs the program and expects it to end normally with code 0.
  ChildResult Run(const std::vector<std::string>& argv, const ChildOptions& options = {}) const {
    ChildResult result = RunChild(argv, options);
    EXPECT_EQ(result.exitCode, 0) << argv[0] << "\n" << result.out << result.err;
    return result;
  }

  std::wstring Setting(const std::wstring& section, const std::wstring& key) const {
    return platform::GetPrivateProfileString(section, key, L"<missing>", Widen(Settings()));
  }
  std::optional<std::wstring> Machine(const std::wstring& name) const {
    return platform::RegistryGetString(platform::RegistryHive::LocalMachine, kUninstallKey, name);
  }
  std::optional<std::wstring> Profile(const std::wstring& name) const {
    return platform::RegistryGetString(platform::RegistryHive::CurrentUser, kProfileKey, name);
  }
  // The four record values as the client writes them for the installed path.
  std::vector<std::optional<std::wstring>> ExpectedRecord() const {
    return {Widen(Installed()), L"Veltan", L"Zorv", Widen(Installed()) + L" -u"};
  }
  std::vector<std::optional<std::wstring>> MachineRecord() const { return Read(&InstallSandbox::Machine); }
  std::vector<std::optional<std::wstring>> ProfileRecord() const { return Read(&InstallSandbox::Profile); }

 private:
  std::vector<std::optional<std::wstring>> Read(std::optional<std::wstring> (InstallSandbox::*get)(const std::wstring&)
                                                    const) const {
    std::vector<std::optional<std::wstring>> values;
    for (const auto& name : kRecordNames) values.push_back((this->*get)(name));
    return values;
  }

  Sandbox sandbox_;
};

}  // namespace zorv::test
