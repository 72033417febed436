// The version check and the download against a local server: each situation
// leaves exactly its lines in update.log.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/InstallDir.h"
#include "platform/Process.h"
#include "support/ChildProcess.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"
#include "update/ClientUpdater.h"
#include "update/FileDigest.h"
#include "update/RunUpdateCheck.h"
#include "update/TestServer.h"
#include "update/UpdateLog.h"
#include "update/UpdateLogFile.h"

namespace {

using namespace zorv::test;
using Lines = std::vector<std::wstring>;

// Stands for a line whose text comes from the network library.
const std::wstring kAnyText = L"<library text>";
const std::wstring kPath = L"getClientVersion.php?p=Zorv&g=qorn&v=";
const std::wstring kSeparator = L"=====================";
// The route of the version request (the query is not part of it).
const std::string kRoute = "/getClientVersion.php";

Sandbox& Box() {
  static Sandbox box;
  return box;
}

struct ExitCalled {
  int code;
};

void ExpectLines(const Lines& actual, const Lines& expected) {
  ASSERT_EQ(actual.size(), expected.size()) << Narrow([&] {
    std::wstring all;
    for (const auto& line : actual) all += line + L" | ";
    return all;
  }());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (expected[i] == kAnyText)
      EXPECT_FALSE(actual[i].empty()) << "line " << i;
    else
      EXPECT_EQ(actual[i], expected[i]) << "line " << i;
  }
}

class UpdateCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Box();
    std::filesystem::remove_all(Box().DataHome());
    std::filesystem::create_directories(Narrow(GetInstallDir() + L"res"));
    platform::SetExitHook([](int code) { throw ExitCalled{code}; });
  }
  void TearDown() override { platform::SetExitHook({}); }

  std::wstring Url(const std::string& path) { return server.WBase() + Widen(path); }
  static std::wstring RefusedUrl() { return Widen(RefusedBase() + "/x"); }
  static ClientUpdater Updater() { return ClientUpdater(L"/brixqorntmp.exe", L"/Zorv/Zorv/"); }

  TestServer server;
};

TEST_F(UpdateCheckTest, EachAnswerGivesItsLinesAndDecision) {
  const std::string address = server.Base() + "/new.exe";
  server.Redirect("/moved" + kRoute, "/answer0");
  server.Answer("/answer0", "0");
  struct Case {
    const char* name;
    std::wstring server;
    std::string answer;  // served at kRoute when status is not 0
    int status;
    bool update;
    Lines lines;
  };
  const std::string longAnswer(2000, 'x');
  const Case cases[] = {
      {"unreachable", RefusedUrl(), "", 0, false,
       {L"Try Download File Exception", kAnyText, L"Server response check version msg:", L"Finish Update.", kSeparator}},
      {"not http", L"file:///etc", "", 0, false,
       {L"Try Download File Exception", kAnyText, L"Server response check version msg:", L"Finish Update.", kSeparator}},
      {"404", server.WBase(), "not here", 404, false,
       {L"Http QueryInfoStatusCode:404", L"Server response check version msg:", L"Finish Update.", kSeparator}},
      {"500", server.WBase(), "broken", 500, false,
       {L"Http QueryInfoStatusCode:500", L"Server response check version msg:", L"Finish Update.", kSeparator}},
      {"zero", server.WBase(), "0", 200, false,
       {L"Http QueryInfoStatusCode:200", L"Server response check version msg:0", L"Finish Update.", kSeparator}},
      {"minus one", server.WBase(), "-1", 200, false,
       {L"Http QueryInfoStatusCode:200", L"Server response check version msg:-1", L"Finish Update.", kSeparator}},
      {"five characters", server.WBase(), "12345", 200, false,
       {L"Http QueryInfoStatusCode:200", L"Server response check version msg:12345", L"Finish Update.", kSeparator}},
      {"six, negative", server.WBase(), "-12345", 200, false,
       {L"Http QueryInfoStatusCode:200", L"Server response check version msg:-12345", L"Finish Update.", kSeparator}},
      {"redirected", server.WBase() + L"/moved", "", 0, false,
       {L"Http QueryInfoStatusCode:200", L"Server response check version msg:0", L"Finish Update.", kSeparator}},
      {"address", server.WBase(), address, 200, true,
       {L"Http QueryInfoStatusCode:200", L"Server response check version msg:" + Widen(address)}},
      {"address and line break", server.WBase(), address + "\n", 200, true,
       {L"Http QueryInfoStatusCode:200", L"Server response check version msg:" + Widen(address) + L"\n"}},
      {"text without number", server.WBase(), "update", 200, true,
       {L"Http QueryInfoStatusCode:200", L"Server response check version msg:update"}},
      // Longer than one read: cut to 1,023 bytes.
      {"long", server.WBase(), longAnswer, 200, true,
       {L"Http QueryInfoStatusCode:200", L"Server response check version msg:" + std::wstring(1023, L'x')}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.status) server.Answer(kRoute, c.answer, c.status);
    std::filesystem::remove(Narrow(UpdateLogPath()));
    ClientUpdater updater = Updater();
    EXPECT_EQ(updater.CheckVersion(c.server, kPath, L"1.0.0.1"), c.update);
    EXPECT_EQ(updater.m_strCheckUrl, c.server + L"/" + kPath + L"1.0.0.1");
    if (c.update) {
      EXPECT_EQ(updater.m_strDownloadUrl, c.lines.back().substr(std::wstring(L"Server response check version msg:").size()));
    }
    ExpectLines(LogMessages(), c.lines);
  }
}

TEST_F(UpdateCheckTest, ConnectThatNeverCompletesGivesUpAfterFiveSeconds) {
  BlackHole hole;
  ClientUpdater updater = Updater();
  EXPECT_FALSE(updater.CheckVersion(Widen(hole.Base()), kPath, L"1.0.0.1"));
  Lines lines = LogMessages();
  ExpectLines(lines, {L"Try Download File Exception", kAnyText, L"Server response check version msg:",
                      L"Finish Update.", kSeparator});
  EXPECT_TRUE(zorv::test::SaysTimedOut(Narrow(lines[1]))) << Narrow(lines[1]);
}

TEST_F(UpdateCheckTest, LogIsDeletedOnlyWhenLargerThanTenMebibytes) {
  server.Answer(kRoute, "0");
  const std::string log = Narrow(UpdateLogPath());
  for (std::size_t size : {std::size_t{10485760}, std::size_t{10485761}}) {
    SCOPED_TRACE(size);
    ASSERT_TRUE(WriteFile(log, std::string(size, 'a')));
    RunUpdateCheck(server.WBase(), kPath);
    auto bytes = ReadFile(log);
    ASSERT_TRUE(bytes);
    bool kept = size == 10485760;
    EXPECT_EQ(bytes->size() > size, kept);
    if (kept) {
      EXPECT_EQ(bytes->substr(0, size), std::string(size, 'a'));
    }
    // The check's first line is the request address.
    std::wstring tail = DecodeUtf16Le(kept ? bytes->substr(size) : *bytes);
    EXPECT_NE(tail.find(L"\tUpdateModule\t" + server.WBase() + L"/" + kPath), std::wstring::npos);
    EXPECT_EQ(tail.find(L"\tUpdateModule\t" + server.WBase() + L"/" + kPath), tail.find(L"\tUpdateModule\t"));
  }
}

TEST_F(UpdateCheckTest, ConstructionPreparesAPrivateCacheAndDropsAnOldCopy) {
  const std::string cache = Box().DataHome() + "/cache";
  ClientUpdater first = Updater();
  EXPECT_EQ(FileMode(cache), 0700);
  EXPECT_EQ(first.m_strTempFile, Widen(cache + "/brixqorntmp.exe"));
  EXPECT_EQ(first.m_strInstallSubdir, L"/Zorv/Zorv/");
  EXPECT_EQ(first.m_strTargetExe,
            GetInstallDir() + std::filesystem::path(Narrow(platform::GetModulePath())).filename().wstring());
  ASSERT_TRUE(WriteFile(cache + "/brixqorntmp.exe", "left over"));
  ClientUpdater second = Updater();
  EXPECT_FALSE(Exists(cache + "/brixqorntmp.exe"));
}

TEST_F(UpdateCheckTest, EachDownloadGivesItsLines) {
  server.Answer("/missing.exe", "", 404);
  server.AnswerWithoutLength("/nolength.exe", "body");
  server.AnswerShort("/short.exe", "only part", 100);
  server.Answer("/fine.exe", "complete");
  struct Case {
    const char* name;
    std::wstring url;
    bool removeCache;
    Lines lines;
    const char* leftInCache;  // nullptr: no file
  };
  const Case cases[] = {
      {"404", Url("/missing.exe"), false, {L"Http QueryInfoStatusCode:404"}, nullptr},
      {"no length", Url("/nolength.exe"), false,
       {L"Http QueryInfoStatusCode:200", L"Content length:0", L"ERROR!Before download dwFileSize == dwToatlSize,exit"}, ""},
      {"short", Url("/short.exe"), false, {L"Http QueryInfoStatusCode:200", L"Content length:100"}, "only part"},
      {"cache missing", Url("/fine.exe"), true, {L"Http QueryInfoStatusCode:200", L"Content length:8"}, nullptr},
      {"unreachable", RefusedUrl(), false, {L"Try Download File Exception", kAnyText}, nullptr},
      {"not http", L"file:///etc/hostname", false, {L"Try Download File Exception", kAnyText}, nullptr},
      {"line break", Url("/fine.exe\n"), false, {L"Try Download File Exception", kAnyText}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(Narrow(UpdateLogPath()));
    ClientUpdater updater = Updater();
    if (c.removeCache) std::filesystem::remove_all(Box().DataHome() + "/cache");
    updater.DownloadAndRun(c.url);
    Lines expected{L"ExcuUpdate,URL=" + c.url};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    ExpectLines(LogMessages(), expected);
    auto left = ReadFile(Narrow(updater.m_strTempFile));
    EXPECT_EQ(left.has_value(), c.leftInCache != nullptr);
    if (left && c.leftInCache) {
      EXPECT_EQ(*left, c.leftInCache);
    }
  }
}

TEST_F(UpdateCheckTest, CompleteDownloadIsStartedWithTheTargetAndEndsTheProcess) {
  // The "new client" records how it was started.
  const std::string script = "#!/bin/sh\nprintf '%s' \"$*\" > \"$0.args\"\n";
  server.Answer("/new.exe", script);
  ClientUpdater updater = Updater();
  updater.m_strTargetExe = GetInstallDir() + L"client exe";
  try {
    updater.DownloadAndRun(Url("/new.exe"));
    FAIL() << "returned";
  } catch (const ExitCalled& exit) {
    EXPECT_EQ(exit.code, 0);
  }
  std::wstring digest;
  ASSERT_TRUE(FileMd5Hex(updater.m_strTempFile, digest));
  ExpectLines(LogMessages(), {L"ExcuUpdate,URL=" + Url("/new.exe"), L"Http QueryInfoStatusCode:200",
                              L"Content length:" + std::to_wstring(script.size()),
                              L"Finish download,file size=" + std::to_wstring(script.size()),
                              L"Finish download,file md5=" + digest});
  EXPECT_EQ(ReadFile(Narrow(updater.m_strTempFile)), script);
  const std::string args = Narrow(updater.m_strTempFile) + ".args";
  ASSERT_TRUE(WaitUntil([&] { return ReadFile(args).has_value() && !ReadFile(args)->empty(); }));
  EXPECT_EQ(ReadFile(args), "-d " + Narrow(updater.m_strTargetExe));
}

}  // namespace
