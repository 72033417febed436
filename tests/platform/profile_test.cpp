#include "platform/Profile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/Files.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"

using namespace zorv::test;
using platform::GetPrivateProfileString;
using platform::WritePrivateProfileString;

namespace {

class ProfileTest : public ::testing::Test {
 protected:
  Sandbox box;
  const std::string file = box.Path("systemset.ini");
  const std::wstring wfile = Widen(file);
};

TEST_F(ProfileTest, MissingOrUnreadableFileReadsAsDefault) {
  EXPECT_EQ(GetPrivateProfileString(L"Setting", L"start", L"-1", wfile), L"-1");
  ASSERT_EQ(mkdir(file.c_str(), 0755), 0);  // a folder where the file should be
  EXPECT_EQ(GetPrivateProfileString(L"Setting", L"start", L"-1", wfile), L"-1");
  EXPECT_FALSE(WritePrivateProfileString(L"Setting", L"start", L"1", wfile));
}

TEST_F(ProfileTest, ValuesAreCutToTheBuffer) {
  const std::wstring longValue(300, L'x');
  ASSERT_TRUE(WritePrivateProfileString(L"s", L"k", longValue, wfile));
  EXPECT_EQ(GetPrivateProfileString(L"s", L"k", L"", wfile), std::wstring(259, L'x'));
  EXPECT_EQ(GetPrivateProfileString(L"s", L"k", L"", wfile, 5), L"xxxx");
  EXPECT_EQ(GetPrivateProfileString(L"s", L"none", longValue, wfile), std::wstring(259, L'x'));
  EXPECT_EQ(GetPrivateProfileString(L"s", L"k", L"d", wfile, 0), L"");
}

TEST_F(ProfileTest, WriteCreatesOnlyInAnExistingFolderAndKeepsTheFile) {
  const std::wstring inMissing = box.WPath("res/systemset.ini");
  EXPECT_FALSE(WritePrivateProfileString(L"s", L"k", L"v", inMissing));
  EXPECT_FALSE(Exists(box.Path("res")));

  ASSERT_TRUE(WriteFile(file, "; mine\n[Start]\nfirststart=1\n"));
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  ASSERT_TRUE(WritePrivateProfileString(L"Setting", L"start", L"1001", wfile));
  EXPECT_EQ(ReadFile(file), "; mine\r\n[Start]\r\nfirststart=1\r\n[Setting]\r\nstart=1001\r\n");
  EXPECT_EQ(FileMode(file), 0640);
  EXPECT_EQ(platform::ListFolder(box.WRoot()).size(), 2u);  // the file and home: no leftovers

  ASSERT_TRUE(platform::SetReadOnly(wfile, true));
  EXPECT_FALSE(WritePrivateProfileString(L"Setting", L"start", L"1", wfile));
  EXPECT_EQ(GetPrivateProfileString(L"Setting", L"start", L"", wfile), L"1001");
  EXPECT_FALSE(WritePrivateProfileString(L"Setting", L"bad", L"a\nb", wfile));
}

// Two writers of different keys at the same moment: neither write is lost.
TEST_F(ProfileTest, ConcurrentWritersLoseNothing) {
  constexpr int kWrites = 60;
  auto writer = [&](const wchar_t* prefix) {
    for (int i = 0; i < kWrites; ++i)
      WritePrivateProfileString(L"s", prefix + std::to_wstring(i), std::to_wstring(i), wfile);
  };
  std::thread a(writer, L"a");
  std::thread b(writer, L"b");
  a.join();
  b.join();
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ(GetPrivateProfileString(L"s", L"a" + std::to_wstring(i), L"lost", wfile), std::to_wstring(i));
    EXPECT_EQ(GetPrivateProfileString(L"s", L"b" + std::to_wstring(i), L"lost", wfile), std::to_wstring(i));
  }
}

}  // namespace
