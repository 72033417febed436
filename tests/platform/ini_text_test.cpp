#include "platform/IniText.h"

#include <gtest/gtest.h>

using platform::ini::ReadValue;
using platform::ini::WriteValue;

namespace {

const char kDefaultFile[] =
    "[Info]\r\ncode=\r\npwd=\r\nrem=1\r\n[Setting]\r\nsoundoff=0\r\nautostart=0\r\nautologin=0\r\n"
    "screenshots=Ctrl+Shift+A\r\nscreentoggle=F10\r\nfullscreen=F11\r\n[Start]\r\nfirststart=1\r\n";

TEST(IniRead, Rules) {
  struct Case {
    const char* text;
    const wchar_t* section;
    const wchar_t* key;
    std::optional<std::wstring> expected;
  } cases[] = {
      {kDefaultFile, L"Setting", L"fullscreen", L"F11"},
      {kDefaultFile, L"Info", L"code", L""},  // present but empty: not the default
      {kDefaultFile, L"setting", L"FULLSCREEN", L"F11"},
      {kDefaultFile, L"Setting", L"start", std::nullopt},
      {kDefaultFile, L"Nope", L"code", std::nullopt},
      {kDefaultFile, L"Start", L"rem", std::nullopt},  // keys do not leak across sections
      {"", L"a", L"b", std::nullopt},
      {"k=v\n[a]\nb=1", L"a", L"k", std::nullopt},  // before any section: no section
      {"  [ a ]  \n  b  =  x y  \n", L"a", L"b", L"x y"},
      {"[a]\nb=1", L" a ", L" b ", L"1"},
      {"[a\nb=1", L"a", L"b", L"1"},  // unclosed header tolerated
      {"[a] trailing\nb=1", L"a", L"b", L"1"},
      {"[a]\nb\nb=2", L"a", L"b", L"2"},  // a line without '=' is no key
      {"[a]\n;b=1\n  ;b=2\nb=3;x", L"a", L"b", L"3;x"},  // ';' comments only at line start
      {"[a]\n#b=1", L"a", L"#b", L"1"},
      {"[a]\nb=\"q\"", L"a", L"b", L"q"},
      {"[a]\nb='q'", L"a", L"b", L"q"},
      {"[a]\nb=  \" q \"  ", L"a", L"b", L" q "},
      {"[a]\nb=\"q'", L"a", L"b", L"\"q'"},  // quotes must match
      {"[a]\nb=\"", L"a", L"b", L"\""},
      {"[a]\nb=\"\"x\"\"", L"a", L"b", L"\"x\""},  // one pair only
      {"[a]\nb=x=y", L"a", L"b", L"x=y"},
      {"[a]\nb=1\nb=2", L"a", L"b", L"1"},  // first key wins
      {"[a]\nc=1\n[A]\nb=2", L"a", L"b", std::nullopt},  // only the first section counts
      {"[a]\r\nb=1\r\n", L"a", L"b", L"1"},
      {"[a]\rb=1\rc=2", L"a", L"c", L"2"},  // lone CR ends a line too
      {"\xEF\xBB\xBF[a]\nb=1", L"a", L"b", L"1"},
      {"[Ä]\nÖl=ß", L"ä", L"öL", L"ß"},
      {"[Ж]\nΣ=1", L"ж", L"σ", L"1"},
      {"[a]\n\xFF\xFE=\xC3", L"a", L"\uFFFD\uFFFD", L"\uFFFD"},  // invalid UTF-8 never fails
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.text << " / " << c.key);
    EXPECT_EQ(ReadValue(c.text, c.section, c.key), c.expected);
  }
}

TEST(IniWrite, Rules) {
  struct Case {
    const char* before;
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
    const char* after;
  } cases[] = {
      {"", L"Setting", L"start", L"1001", "[Setting]\r\nstart=1001\r\n"},
      // new key after the section's last key, comments and other sections kept
      {"; top\n[a]\nx=1\n\n; about b\n[b]\ny=2", L"a", L"z", L"3",
       "; top\r\n[a]\r\nx=1\r\nz=3\r\n\r\n; about b\r\n[b]\r\ny=2\r\n"},
      {"[a]\n[b]\n", L"a", L"k", L"v", "[a]\r\nk=v\r\n[b]\r\n"},
      // existing key replaced in place, matched without case, first one only
      {"[A]\n  K = old \nk=second\n", L"a", L"k", L"new", "[A]\r\nk=new\r\nk=second\r\n"},
      {"[a]\n;k=c\nk=1\n", L"a", L"k", L"2", "[a]\r\n;k=c\r\nk=2\r\n"},
      // section missing: appended at the end, even after a last line without its line end
      {"[a]\nx=1", L"b", L"k", L"", "[a]\r\nx=1\r\n[b]\r\nk=\r\n"},
      // the first of two sections of the same name takes the key
      {"[a]\nx=1\n[a]\ny=2\n", L"a", L"y", L"3", "[a]\r\nx=1\r\ny=3\r\n[a]\r\ny=2\r\n"},
      {"\xEF\xBB\xBF[a]\nx=1\n", L"a", L"x", L"2", "\xEF\xBB\xBF[a]\r\nx=2\r\n"},
      {"[a]\n\xFF junk\n", L"a", L"x", L"中", "[a]\r\nx=\xE4\xB8\xAD\r\n\xFF junk\r\n"},
      {"", L" s ", L" k ", L" v ", "[s]\r\nk= v \r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    auto after = WriteValue(c.before, c.section, c.key, c.value);
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(*after, c.after);
  }
}

// Names and values that could not be read back as written are refused
// instead of corrupting the file's structure.
TEST(IniWrite, RefusesWhatWouldNotReadBack) {
  struct Case {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
  } cases[] = {
      {L"", L"k", L"v"},   {L"s", L"", L"v"},    {L"s", L"  ", L"v"},  {L"s", L"k", L"a\r\n[x]"},
      {L"s", L"k", L"a\n"}, {L"s", L"a\rb", L"v"}, {L"s\n", L"k", L"v"}, {L"s]", L"k", L"v"},
      {L"s", L"a=b", L"v"}, {L"s", L";k", L"v"},  {L"s", L"[k", L"v"},
  };
  for (const Case& c : cases) EXPECT_FALSE(WriteValue("[s]\n", c.section, c.key, c.value).has_value());
}

TEST(IniWrite, RoundTripKeepsEveryOtherKey) {
  std::string text = kDefaultFile;
  text = *WriteValue(text, L"Setting", L"start", L"1001");
  text = *WriteValue(text, L"Start", L"firststart", L"0");
  text = *WriteValue(text, L"Setting", L"fullscreen", L"Ctrl+F11");
  EXPECT_EQ(ReadValue(text, L"Setting", L"start"), L"1001");
  EXPECT_EQ(ReadValue(text, L"Start", L"firststart"), L"0");
  EXPECT_EQ(ReadValue(text, L"Setting", L"fullscreen"), L"Ctrl+F11");
  EXPECT_EQ(text,
            "[Info]\r\ncode=\r\npwd=\r\nrem=1\r\n[Setting]\r\nsoundoff=0\r\nautostart=0\r\nautologin=0\r\n"
            "screenshots=Ctrl+Shift+A\r\nscreentoggle=F10\r\nfullscreen=Ctrl+F11\r\nstart=1001\r\n"
            "[Start]\r\nfirststart=0\r\n");
}

}  // namespace
