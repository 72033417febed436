#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "support/FileHelpers.h"
#include "support/Sandbox.h"

namespace {

using platform::RegistryCreateKey;
using platform::RegistryGetString;
using platform::RegistryHive;
using platform::RegistryKeyResult;
using platform::RegistrySetString;
using zorv::test::Sandbox;

const std::wstring kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zorv";

// The sandbox points both hives into its own folder.
class RegistryTest : public ::testing::Test {
 protected:
  Sandbox sandbox_;
};

TEST_F(RegistryTest, KeyIsCreatedOnceThenOpenedAndKeepsItsValues) {
  for (RegistryHive hive : {RegistryHive::LocalMachine, RegistryHive::CurrentUser}) {
    EXPECT_EQ(RegistryCreateKey(hive, kUninstall), RegistryKeyResult::Created);
    EXPECT_TRUE(RegistrySetString(hive, kUninstall, L"Path", L"/a b/Zedoro_Brix"));
    EXPECT_TRUE(RegistrySetString(hive, kUninstall, L"DisplayName", L"卸载\nline two"));
    EXPECT_TRUE(RegistrySetString(hive, kUninstall, L"Path", L"/new"));
    EXPECT_EQ(RegistryCreateKey(hive, kUninstall), RegistryKeyResult::Opened);
    // The parents were made on the way and are plain keys now.
    EXPECT_EQ(RegistryCreateKey(hive, L"SOFTWARE\\Microsoft"), RegistryKeyResult::Opened);
    EXPECT_EQ(RegistryGetString(hive, kUninstall, L"Path"), L"/new");
    EXPECT_EQ(RegistryGetString(hive, kUninstall, L"DisplayName"), L"卸载\nline two");
    EXPECT_EQ(RegistryGetString(hive, kUninstall, L"Publisher"), std::nullopt);
    EXPECT_EQ(RegistryGetString(hive, L"SOFTWARE\\Other", L"Path"), std::nullopt);
  }
  EXPECT_TRUE(zorv::test::Exists(sandbox_.MachineRegistry() + "/SOFTWARE"));
  EXPECT_TRUE(zorv::test::Exists(sandbox_.ConfigHome() + "/zorv/registry/SOFTWARE"));
}

TEST_F(RegistryTest, HivesAreSeparate) {
  ASSERT_EQ(RegistryCreateKey(RegistryHive::CurrentUser, L"Software\\K"), RegistryKeyResult::Created);
  ASSERT_TRUE(RegistrySetString(RegistryHive::CurrentUser, L"Software\\K", L"v", L"user"));
  EXPECT_EQ(RegistryGetString(RegistryHive::LocalMachine, L"Software\\K", L"v"), std::nullopt);
  EXPECT_FALSE(RegistrySetString(RegistryHive::LocalMachine, L"Software\\K", L"v", L"x"));
}

TEST_F(RegistryTest, OddNamesStayInsideTheirKey) {
  const std::wstring key = L"a/..\\..b\\%2F\\=";
  ASSERT_EQ(RegistryCreateKey(RegistryHive::CurrentUser, key), RegistryKeyResult::Created);
  for (const std::wstring name : {L"", L"..", L"../../escape", L"=x", L"%41", L".tmp-XXXXXX", L"名\t"}) {
    ASSERT_TRUE(RegistrySetString(RegistryHive::CurrentUser, key, name, L"value of " + name));
  }
  for (const std::wstring name : {L"", L"..", L"../../escape", L"=x", L"%41", L".tmp-XXXXXX", L"名\t"}) {
    EXPECT_EQ(RegistryGetString(RegistryHive::CurrentUser, key, name), L"value of " + name);
  }
  EXPECT_EQ(RegistryGetString(RegistryHive::CurrentUser, key, L"A"), std::nullopt);
  // Everything landed below the hive root, nothing beside it.
  std::vector<std::string> top;
  for (const auto& entry : std::filesystem::directory_iterator(sandbox_.ConfigHome() + "/zorv")) {
    top.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(top, std::vector<std::string>{"registry"});
}

TEST_F(RegistryTest, MalformedKeyPathsAreRefused) {
  for (const std::wstring key : {L"", L"\\a", L"a\\", L"a\\\\b", L".", L"a\\.", L"..", L"a\\..\\b"}) {
    EXPECT_EQ(RegistryCreateKey(RegistryHive::CurrentUser, key), RegistryKeyResult::Failed) << zorv::test::Narrow(key);
    EXPECT_FALSE(RegistrySetString(RegistryHive::CurrentUser, key, L"v", L"x"));
    EXPECT_EQ(RegistryGetString(RegistryHive::CurrentUser, key, L"v"), std::nullopt);
  }
}

TEST_F(RegistryTest, UnwritableHiveFailsQuietly) {
  // A hive below a regular file cannot be made, even by root.
  ASSERT_TRUE(zorv::test::WriteFile(sandbox_.Path("file"), "x"));
  setenv("ZORV_REGISTRY_MACHINE", sandbox_.Path("file/registry").c_str(), 1);
  EXPECT_EQ(RegistryCreateKey(RegistryHive::LocalMachine, kUninstall), RegistryKeyResult::Failed);
  EXPECT_FALSE(RegistrySetString(RegistryHive::LocalMachine, kUninstall, L"Path", L"x"));
  EXPECT_EQ(RegistryGetString(RegistryHive::LocalMachine, kUninstall, L"Path"), std::nullopt);
}

TEST_F(RegistryTest, RacingCreatorsSeeExactlyOneNewKey) {
  std::atomic<int> created{0}, opened{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&] {
      switch (RegistryCreateKey(RegistryHive::CurrentUser, kUninstall)) {
        case RegistryKeyResult::Created: ++created; break;
        case RegistryKeyResult::Opened: ++opened; break;
        case RegistryKeyResult::Failed: break;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(created, 1);
  EXPECT_EQ(opened, 7);
}

}  // namespace
