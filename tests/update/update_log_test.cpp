#include "update/UpdateLog.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <regex>

#include "app/InstallDir.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"
#include "update/UpdateLogFile.h"

namespace {

using namespace zorv::test;

// The install folder is worked out once per process, so every test here shares
// one sandbox.
Sandbox& Box() {
  static Sandbox box;
  return box;
}

class UpdateLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Box();
    std::filesystem::remove_all(Narrow(GetInstallDir()));
    std::filesystem::create_directories(Narrow(GetInstallDir() + L"res"));
  }
};

TEST_F(UpdateLogTest, LinesAreAppendedInOrderAsUtf16WithoutMark) {
  std::time_t before = std::time(nullptr);
  ASSERT_EQ(WriteUpdateLog(L"first"), 0);
  ASSERT_EQ(WriteUpdateLog(L"zweite \u66f4\u65b0 \U0001F600"), 0);
  std::time_t after = std::time(nullptr);

  auto bytes = ReadFile(Narrow(UpdateLogPath()));
  ASSERT_TRUE(bytes);
  ASSERT_GE(bytes->size(), 4u);
  EXPECT_NE(bytes->substr(0, 2), std::string("\xFF\xFE"));
  EXPECT_EQ(bytes->substr(bytes->size() - 4), std::string("\r\0\n\0", 4));
  // The astral character is one surrogate pair.
  EXPECT_NE(bytes->find(std::string("\x3D\xD8\x00\xDE", 4)), std::string::npos);

  EXPECT_EQ(LogMessages(), (std::vector<std::wstring>{L"first", L"zweite \u66f4\u65b0 \U0001F600"}));

  // Every field is blank-padded to two places ("%2d"), never zero-padded.
  const std::wregex stamp(LR"(^(\d{4})-( \d|1[0-2])-( \d|[1-3]\d) ( \d|1\d|2[0-3]):( \d|[1-5]\d):( \d|[1-5]\d) : \tUpdateModule\t.*$)");
  for (const std::wstring& line : LogLines()) {
    std::wsmatch m;
    ASSERT_TRUE(std::regex_match(line, m, stamp)) << Narrow(line);
    std::tm written{};
    written.tm_year = std::stoi(m[1]) - 1900;
    written.tm_mon = std::stoi(m[2]) - 1;
    written.tm_mday = std::stoi(m[3]);
    written.tm_hour = std::stoi(m[4]);
    written.tm_min = std::stoi(m[5]);
    written.tm_sec = std::stoi(m[6]);
    written.tm_isdst = -1;
    std::time_t when = std::mktime(&written);
    EXPECT_GE(when, before - 1);
    EXPECT_LE(when, after + 1);
  }
}

TEST_F(UpdateLogTest, MissingResFolderGivesMinusOneAndCreatesNothing) {
  std::filesystem::remove_all(Narrow(GetInstallDir() + L"res"));
  EXPECT_EQ(WriteUpdateLog(L"lost"), -1);
  EXPECT_FALSE(Exists(Narrow(GetInstallDir() + L"res")));
}

TEST_F(UpdateLogTest, ErrorTextIsLoggedUnderItsHeadingAndCut) {
  WriteUpdateLogError(L"Try Download File Exception", std::runtime_error(std::string(400, 'e')));
  auto messages = LogMessages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], L"Try Download File Exception");
  EXPECT_EQ(messages[1], std::wstring(254, L'e'));
}

}  // namespace
