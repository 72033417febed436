#include "update/FileDigest.h"

#include <gtest/gtest.h>

#include "support/FileHelpers.h"
#include "support/Sandbox.h"

namespace {

using zorv::test::Sandbox;
using zorv::test::WriteFile;

TEST(FileMd5HexTest, KnownDigestsInLowerCase) {
  Sandbox box;
  struct Case {
    std::string content;
    std::wstring digest;
  };
  // Larger than one read chunk, so the pieces must join up.
  std::string large(3 * 1024 * 1024 + 17, 'a');
  const Case cases[] = {
      {"", L"d41d8cd98f00b204e9800998ecf8427e"},
      {"abc", L"900150983cd24fb0d6963f7d28e17f72"},
      {large, L"3112e9147448d72d800213e0a209052d"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteFile(box.Path("f"), c.content));
    std::wstring out;
    ASSERT_TRUE(FileMd5Hex(box.WPath("f"), out));
    EXPECT_EQ(out, c.digest);
  }
}

TEST(FileMd5HexTest, AppendsToWhatTheCallerHolds) {
  Sandbox box;
  ASSERT_TRUE(WriteFile(box.Path("f"), "abc"));
  std::wstring out = L"md5=";
  ASSERT_TRUE(FileMd5Hex(box.WPath("f"), out));
  EXPECT_EQ(out, L"md5=900150983cd24fb0d6963f7d28e17f72");
}

TEST(FileMd5HexTest, MissingFileOrFolderFailsAndLeavesOutputAlone) {
  Sandbox box;
  for (const std::wstring& path : {box.WPath("missing"), box.WRoot()}) {
    std::wstring out;
    EXPECT_FALSE(FileMd5Hex(path, out));
    EXPECT_TRUE(out.empty());
  }
}

}  // namespace
