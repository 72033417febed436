#include <gtest/gtest.h>

#include <string>

#include "zip/EntryName.h"

namespace {

TEST(EntryName, CleaningRepeatsUntilNoRuleMatches) {
  struct Case {
    const wchar_t* stored;
    const wchar_t* cleaned;
  } cases[] = {
      {L"systemset.ini", L"systemset.ini"},
      {L"/etc/x", L"etc/x"},
      {L"a\\..\\b\\..\\c.txt", L"c.txt"},
      {L"C:\\a\\..\\b/../c.txt", L"c.txt"},
      {L"\\\\server/share\\x", L"server/share\\x"},
      {L"C:/\\C:x", L"x"},
      {L"a\\../b", L"b"},
      {L"a/..\\b", L"b"},
      {L"a/../b/c/", L"b/c/"},
      {L"a/..", L"a/.."},        // no separator after the step: not a rule
      {L"..\\x", L"..\\x"},      // a leading parent step is left for the path rules to refuse
      {L"a\\..\\..\\b.txt", L"..\\b.txt"},
      {L"C:", L""},
      {L"", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(zip::CleanEntryName(c.stored), c.cleaned) << c.stored;
  }
}

TEST(EntryName, StoredBytesAreUtf8UpToTheFirstNul) {
  EXPECT_EQ(zip::DecodeEntryName("\xE4\xB8\xAD\xE6\x96\x87.txt"), L"\u4E2D\u6587.txt");
  EXPECT_EQ(zip::DecodeEntryName(std::string("ab\0cd", 5)), L"ab");
  EXPECT_EQ(zip::DecodeEntryName("a\xFF" "b"), L"a\uFFFDb");
}

}  // namespace
