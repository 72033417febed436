#include "app/RunMode.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct Case {
  const wchar_t* commandLine;
  bool finishUpdateFirst;
  RunMode mode;
  long frameWnd;
  const wchar_t* gameUrl;
};

constexpr RunMode kNormal = RunMode::Normal;
constexpr RunMode kEmbedded = RunMode::Embedded;
constexpr RunMode kConfirm = RunMode::UninstallConfirm;
constexpr RunMode kCleanup = RunMode::UninstallCleanup;

const Case kCases[] = {
    // normal starts
    {L"", false, kNormal, 0, L""},
    {L"\"/opt/z/Zedoro_Brix\"", false, kNormal, 0, L""},
    {L"u", false, kNormal, 0, L""},
    {L"-U", false, kNormal, 0, L""},
    {L"-D /x", false, kNormal, 0, L""},
    // finishing an update, then the decision on the same text without the -u forms
    {L"-d", true, kNormal, 0, L""},
    {L"-d /home/Some One/.local/share/Zorv/Zorv/Zedoro_Brix", true, kNormal, 0, L""},
    {L"-d /x -u", true, kNormal, 0, L""},
    {L"-d -frameWnd=7 -gameurl=g", true, kEmbedded, 7, L"g"},
    // uninstall: the last two characters before the first two
    {L"-u", false, kConfirm, 0, L""},
    {L"\"/opt/z z/Zedoro_Brix\" -u", false, kConfirm, 0, L""},
    {L"x-u", false, kConfirm, 0, L""},
    {L"-u /opt/z z/Zedoro_Brix", false, kCleanup, 0, L""},
    {L"-u -frameWnd=5 -gameurl=x", false, kCleanup, 0, L""},
    {L"-u ", false, kCleanup, 0, L""},
    // embedded window
    {L"client.exe -frameWnd=132456 -gameurl=page one", false, kEmbedded, 132456, L"page one"},
    {L"client.exe -frameWnd=132456", false, kNormal, 0, L""},  // no blank after the number
    {L"client.exe -frameWnd=132456 ", false, kEmbedded, 132456, L""},
    {L"client.exe -gameurl=x -frameWnd=5 ", false, kEmbedded, 5, L""},  // address before it is cut away
    {L"client.exe -frameWnd=abc -gameurl=x", false, kNormal, 0, L""},
    {L"client.exe -frameWnd= -gameurl=x", false, kNormal, 0, L""},
    {L"client.exe -gameurl=x", false, kNormal, 0, L""},
    {L"client.exe -frameWnd=12abc -gameurl=x", false, kEmbedded, 12, L"x"},
    {L"client.exe -frameWnd=+8 -gameurl=x", false, kEmbedded, 8, L"x"},
    {L"client.exe -frameWnd=-3 -gameurl=x", false, kEmbedded, -3, L"x"},
    {L"client.exe -frameWnd=0x10 -gameurl=x", false, kNormal, 0, L""},
    {L"client.exe -framewnd=5 -gameurl=x", false, kNormal, 0, L""},  // case-sensitive
    {L"client.exe -frameWnd=5 -gameurl=a -gameurl=b", false, kEmbedded, 5, L"a -gameurl=b"},
    {L"client.exe -frameWnd=5 -frameWnd=6 -gameurl=x", false, kEmbedded, 5, L"x"},
    {L"client.exe -frameWnd=99999999999999999999999 -gameurl=x", false, kEmbedded, LONG_MAX, L"x"},
    {L"client.exe -frameWnd=-99999999999999999999999 -gameurl=x", false, kEmbedded, LONG_MIN, L"x"},
};

TEST(ChooseRunMode, Table) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "command line: \"" << c.commandLine << "\"");
    const RunModeChoice choice = ChooseRunMode(c.commandLine);
    EXPECT_EQ(choice.finishUpdateFirst, c.finishUpdateFirst);
    EXPECT_EQ(choice.mode, c.mode);
    EXPECT_EQ(choice.frameWnd, c.frameWnd);
    EXPECT_EQ(choice.gameUrl, c.gameUrl);
  }
}

}  // namespace
