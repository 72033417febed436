#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "support/FileHelpers.h"
#include "support/Sandbox.h"
#include "zip/Zip.h"
#include "zip/ZipFixture.h"
#include "zip/ZipReader.h"

namespace {

namespace fs = std::filesystem;
using zorv::test::FixtureEntry;
using zorv::test::Widen;

constexpr zip::FileTime kUnixEpoch = 116444736000000000ULL;

zip::FileTime ToFileTime(const timespec& ts) {
  return static_cast<zip::FileTime>((ts.tv_sec + 11644473600LL) * 10000000LL + ts.tv_nsec / 100);
}

std::string Repeated(const std::string& piece, std::size_t size) {
  std::string out;
  while (out.size() < size) out += piece;
  out.resize(size);
  return out;
}

// Regular files below a folder, as paths relative to it.
std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> files;
  if (!fs::exists(folder)) return files;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    if (item.is_regular_file()) files.push_back(fs::relative(item.path(), folder).string());
  }
  return files;
}

class ZipExtract : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "JST-9", 1);
    tzset();
    base_ = sandbox_.Root() + "/res";
  }
  void TearDown() override {
    if (handle_) {
      EXPECT_EQ(zip::closeArchive(handle_), zip::kZipOk);
    }
    unsetenv("TZ");
    tzset();
  }
  // Opens the bytes from a block of exactly their size, based in base_.
  zip::ZipHandle* Open(const std::string& bytes) {
    block_.assign(bytes.begin(), bytes.end());
    handle_ = zip::openFromMemory(block_.data(), block_.size());
    if (handle_) {
      EXPECT_EQ(zip::setBaseFolder(handle_, Widen(base_)), zip::kZipOk);
    }
    return handle_;
  }
  zip::ZipEntryInfo Entry(int index) {
    zip::ZipEntryInfo info;
    EXPECT_EQ(zip::getEntry(handle_, index, &info), zip::kZipOk);
    return info;
  }
  zip::ZipResult Extract(int index) { return zip::extractEntry(handle_, index, Entry(index).name); }
  std::string Out(const std::string& relative) const { return base_ + "/" + relative; }

  zorv::test::Sandbox sandbox_;
  std::string base_;
  std::vector<std::uint8_t> block_;
  zip::ZipHandle* handle_ = nullptr;
};

// An archive made by minizip's own writer, shaped like the client's
// default-files archive: two deflated files, host 0, attribute 0x20.
std::string DefaultFilesArchive(const std::string& folder, const std::string& ini, const std::string& icon) {
  const std::string path = folder + "/default.zip";
  zipFile writer = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  for (const auto& [name, data] : {std::pair{"systemset.ini", ini}, std::pair{"uninstall.ico", icon}}) {
    zip_fileinfo info{};
    info.tmz_date = {20, 30, 14, 17, 4, 2026};  // 2026-05-17 14:30:20
    info.external_fa = 0x20;
    zipOpenNewFileInZip64(writer, name, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9, 0);
    zipWriteInFileInZip(writer, data.data(), static_cast<unsigned>(data.size()));
    zipCloseFileInZip(writer);
  }
  zipClose(writer, nullptr);
  return zorv::test::ReadFile(path).value();
}

TEST_F(ZipExtract, DefaultFilesArchiveUnpacksBelowTheBase) {
  const std::string ini = Repeated("[Setting]\r\nkey=value\r\n", 160);
  const std::string icon = Repeated(std::string("\0\0\1\0\x10\x10\xFF", 7), 1150);
  ASSERT_TRUE(Open(DefaultFilesArchive(sandbox_.Root(), ini, icon)));

  EXPECT_EQ(Entry(-1).index, 2);
  const zip::FileTime dosAsLocal = 1779028220ULL * 10000000ULL + kUnixEpoch - 9 * 3600 * 10000000ULL;
  const char* names[] = {"systemset.ini", "uninstall.ico"};
  const std::string* contents[] = {&ini, &icon};
  for (int i = 0; i < 2; ++i) {
    zip::ZipEntryInfo info = Entry(i);
    EXPECT_EQ(info.index, i);
    EXPECT_EQ(info.name, Widen(names[i]));
    EXPECT_EQ(info.attributes, zip::kAttrArchive);
    EXPECT_EQ(info.uncompressedSize, contents[i]->size());
    EXPECT_GT(info.compressedSize, 0u);
    EXPECT_EQ(info.modificationTime, dosAsLocal);
    EXPECT_EQ(info.accessTime, dosAsLocal);
    EXPECT_EQ(info.creationTime, dosAsLocal);
    ASSERT_EQ(zip::extractEntry(handle_, i, info.name), zip::kZipOk);

    struct stat written{};
    ASSERT_EQ(stat(Out(names[i]).c_str(), &written), 0);
    EXPECT_EQ(ToFileTime(written.st_mtim), dosAsLocal);
    EXPECT_EQ(ToFileTime(written.st_atim), dosAsLocal);
    EXPECT_NE(written.st_mode & S_IWUSR, 0u);
    EXPECT_EQ(zorv::test::ReadFile(Out(names[i])), *contents[i]);
  }
  EXPECT_EQ(FilesBelow(base_).size(), 2u) << "no temporary file stays behind";
}

TEST_F(ZipExtract, NamesAndFoldersLandBelowTheBase) {
  struct Case {
    const char* stored;
    std::uint32_t external;
    const char* file;      // expected file below the base, or null
    const char* folder;    // expected folder below the base
  } cases[] = {
      {"/etc/x", 0x20, "etc/x", "etc"},
      {"a\\..\\b\\..\\c.txt", 0x20, "c.txt", ""},
      {"a/b/c/", 0x10, nullptr, "a/b/c"},
      {"d\\e\\f.txt", 0x20, "d/e/f.txt", "d/e"},
      {"C:\\win\\g.txt", 0x20, "win/g.txt", "win"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    fs::remove_all(base_);
    FixtureEntry entry{.name = c.stored, .data = c.file ? "content" : "", .external = c.external};
    ASSERT_TRUE(Open(zorv::test::BuildArchive({entry})));
    EXPECT_EQ(Extract(0), zip::kZipOk);
    EXPECT_TRUE(fs::is_directory(Out(c.folder)));
    if (c.file) {
      EXPECT_EQ(zorv::test::ReadFile(Out(c.file)), "content");
      EXPECT_EQ(FilesBelow(base_).size(), 1u);
    } else {
      EXPECT_TRUE(FilesBelow(base_).empty());
    }
    zip::closeArchive(handle_);
    handle_ = nullptr;
  }
}

TEST_F(ZipExtract, UnixModesAndTimesReachTheFile) {
  FixtureEntry writable{.name = "w.txt", .data = "w", .versionMadeBy = 0x031E, .external = 0x81A40000};
  FixtureEntry readOnly{.name = "r.txt", .data = "r", .versionMadeBy = 0x031E, .external = 0x81240000};
  readOnly.localExtra = zorv::test::UnixTimeBlock(1, {0});
  ASSERT_TRUE(Open(zorv::test::BuildArchive({writable, readOnly})));
  EXPECT_EQ(Entry(0).attributes, zip::kAttrArchive);
  EXPECT_EQ(Entry(1).attributes, zip::kAttrArchive | zip::kAttrReadOnly);
  ASSERT_EQ(Extract(0), zip::kZipOk);
  ASSERT_EQ(Extract(1), zip::kZipOk);

  struct stat written{};
  ASSERT_EQ(stat(Out("r.txt").c_str(), &written), 0);
  EXPECT_EQ(ToFileTime(written.st_mtim), kUnixEpoch);
  EXPECT_EQ(ToFileTime(written.st_atim), Entry(1).accessTime);
  EXPECT_NE(Entry(1).accessTime, kUnixEpoch);
  EXPECT_NE(zorv::test::FileMode(Out("w.txt")) & 0200, 0);
  EXPECT_EQ(zorv::test::FileMode(Out("r.txt")) & 0222, 0);

  // A read-only file is not replaced, even by root, and keeps its content.
  EXPECT_EQ(Extract(1), zip::kZipOpenFailed);
  EXPECT_EQ(zorv::test::ReadFile(Out("r.txt")), "r");
}

TEST_F(ZipExtract, ExistingWritableFileIsReplacedAndReadOnlyOneIsNot) {
  fs::create_directories(base_);
  ASSERT_TRUE(zorv::test::WriteFile(Out("a.txt"), "old"));
  ASSERT_TRUE(zorv::test::WriteFile(Out("b.txt"), "old"));
  chmod(Out("b.txt").c_str(), 0444);
  ASSERT_TRUE(Open(zorv::test::BuildArchive({{.name = "a.txt", .data = "new"}, {.name = "b.txt", .data = "new"}})));
  EXPECT_EQ(Extract(0), zip::kZipOk);
  EXPECT_EQ(zorv::test::ReadFile(Out("a.txt")), "new");
  EXPECT_EQ(Extract(1), zip::kZipOpenFailed);
  EXPECT_EQ(zorv::test::ReadFile(Out("b.txt")), "old");
}

TEST_F(ZipExtract, BrokenEntriesFailWithTheirCodeAndWriteNothing) {
  const std::string data = Repeated("The quick brown fox jumps over the lazy dog. ", 5000);
  struct Case {
    const char* what;
    FixtureEntry entry;
    zip::ZipResult expected;
  } cases[] = {
      {"corrupted deflate stream", {.name = "x", .data = data, .corruptData = true}, zip::kZipStreamFailed},
      {"CRC mismatch", {.name = "x", .data = data, .crc = 0x12345678}, zip::kZipStreamFailed},
      {"stored data shorter than its size", {.name = "x", .data = data, .deflate = false, .uncompressedSize = 300000},
       zip::kZipStreamFailed},
      {"deflated data shorter than its size", {.name = "x", .data = data, .uncompressedSize = 300000},
       zip::kZipStreamFailed},
      {"method this build cannot inflate", {.name = "x", .data = data, .method = 12}, zip::kZipStreamFailed},
      {"method minizip refuses", {.name = "x", .data = data, .method = 14}, zip::kZipHeaderMismatch},
      {"encrypted", {.name = "x", .data = data, .flags = 1}, zip::kZipPasswordFailed},
      {"local header disagrees", {.name = "x", .data = data, .breakLocalSignature = true}, zip::kZipHeaderMismatch},
      {"local extra field past the end", {.name = "x", .data = "tiny", .localExtraLength = 0xFFFF},
       zip::kZipExtraFieldFailed},
      {"name climbing out", {.name = "a\\..\\..\\b.txt", .data = data}, zip::kZipOpenFailed},
      {"name that is a parent step", {.name = "../x", .data = data}, zip::kZipOpenFailed},
      {"folder climbing out", {.name = "..\\up\\", .external = 0x10}, zip::kZipOpenFailed},
      {"name too long for a path", {.name = std::string(250, 'n'), .data = data}, zip::kZipOpenFailed},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(sandbox_.Root() + "/up");
    ASSERT_TRUE(Open(zorv::test::BuildArchive({c.entry})));
    zip::ZipEntryInfo info;
    const zip::ZipResult queried = zip::getEntry(handle_, 0, &info);
    const std::wstring target = queried == zip::kZipOk ? info.name : Widen(c.entry.name);
    EXPECT_EQ(zip::extractEntry(handle_, 0, target), c.expected);
    EXPECT_EQ(zip::lastResult(), c.expected);
    EXPECT_TRUE(FilesBelow(sandbox_.Root()).empty());
    EXPECT_FALSE(fs::exists(sandbox_.Root() + "/up"));
    zip::closeArchive(handle_);
    handle_ = nullptr;
  }
}

TEST_F(ZipExtract, QueryReportsBrokenHeaders) {
  ASSERT_TRUE(Open(zorv::test::BuildArchive(
      {{.name = "ok", .data = "1"}, {.name = "bad", .data = "2", .breakLocalSignature = true},
       {.name = "short", .data = "3", .localExtraLength = 0xFFFF}})));
  zip::ZipEntryInfo info;
  EXPECT_EQ(zip::getEntry(handle_, 1, &info), zip::kZipHeaderMismatch);
  EXPECT_EQ(zip::getEntry(handle_, 2, &info), zip::kZipExtraFieldFailed);
  EXPECT_EQ(zip::getEntry(handle_, 0, &info), zip::kZipOk);
  EXPECT_EQ(info.name, L"ok");
}

TEST_F(ZipExtract, AnyQueryOrderGivesTheRightEntry) {
  ASSERT_TRUE(Open(zorv::test::BuildArchive(
      {{.name = "zero", .data = "0"}, {.name = "one", .data = "1"}, {.name = "two", .data = "2"}})));
  for (int index : {2, 0, 1, 1, 2, 0}) EXPECT_EQ(Entry(index).index, index);
  EXPECT_EQ(Entry(1).name, L"one");
  // The cached record of entry 1 must not make extracting entry 0 read entry 1.
  EXPECT_EQ(zip::extractEntry(handle_, 0, L"zero"), zip::kZipOk);
  EXPECT_EQ(zip::extractEntry(handle_, 2, L"two"), zip::kZipOk);
  EXPECT_EQ(zip::extractEntry(handle_, 1, L"renamed/one"), zip::kZipOk);
  EXPECT_EQ(zorv::test::ReadFile(Out("zero")), "0");
  EXPECT_EQ(zorv::test::ReadFile(Out("two")), "2");
  EXPECT_EQ(zorv::test::ReadFile(Out("renamed/one")), "1");
}

TEST_F(ZipExtract, AbsoluteTargetsMustStayBelowTheBase) {
  ASSERT_TRUE(Open(zorv::test::BuildArchive({{.name = "f", .data = "f"}, {.name = "dir/", .external = 0x10}})));
  EXPECT_EQ(zip::extractEntry(handle_, 0, Widen(Out("inside/f"))), zip::kZipOk);
  EXPECT_EQ(zorv::test::ReadFile(Out("inside/f")), "f");
  EXPECT_EQ(zip::extractEntry(handle_, 1, Widen(Out("d1/d2/"))), zip::kZipOk);
  EXPECT_TRUE(fs::is_directory(Out("d1/d2")));

  const std::string outside = sandbox_.Root() + "/outside";
  for (const std::string& target : {outside, Out("../outside"), base_ + "x/f", std::string("C:\\f")}) {
    EXPECT_EQ(zip::extractEntry(handle_, 0, Widen(target)), zip::kZipOpenFailed) << target;
  }
  EXPECT_EQ(zip::extractEntry(handle_, 1, Widen(outside + "/")), zip::kZipOpenFailed);
  EXPECT_FALSE(fs::exists(outside));
  EXPECT_FALSE(fs::exists(base_ + "x"));
}

TEST_F(ZipExtract, FileInTheWayOfAFolderFails) {
  fs::create_directories(base_);
  ASSERT_TRUE(zorv::test::WriteFile(Out("a"), "file"));
  ASSERT_TRUE(Open(zorv::test::BuildArchive({{.name = "a/", .external = 0x10}, {.name = "a/b", .data = "b"}})));
  EXPECT_EQ(Extract(0), zip::kZipOpenFailed);
  EXPECT_EQ(Extract(1), zip::kZipOpenFailed);
  EXPECT_EQ(zorv::test::ReadFile(Out("a")), "file");
}

TEST_F(ZipExtract, FailedWriteIsReported) {
  ASSERT_TRUE(Open(zorv::test::BuildArchive({{.name = "big", .data = std::string(200000, 'b')}})));
  signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 50000;
  setrlimit(RLIMIT_FSIZE, &small);
  const zip::ZipResult result = Extract(0);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(result, zip::kZipWriteFailed);
  EXPECT_TRUE(FilesBelow(base_).empty());
}

TEST_F(ZipExtract, BaseFolderIsMadeWhenMissingAndDefaultsToTheCurrentFolder) {
  ASSERT_TRUE(Open(zorv::test::BuildArchive({{.name = "f", .data = "f"}})));
  EXPECT_EQ(zip::extractEntry(handle_, 0, L"f"), zip::kZipOk);
  EXPECT_EQ(zorv::test::ReadFile(Out("f")), "f");

  zip::ZipReader reader;
  ASSERT_EQ(reader.Open(block_.data(), block_.size()), zip::kZipOk);
  EXPECT_EQ(reader.BaseFolder(), Widen(fs::current_path().string() + "/"));
  struct Case {
    std::wstring folder;
    zip::ZipResult result;
    std::wstring base;  // the base folder afterwards
  } cases[] = {
      {L"/tmp/x", zip::kZipOk, L"/tmp/x/"},
      {L"/tmp/y/", zip::kZipOk, L"/tmp/y/"},
      {L"rel\\sub", zip::kZipOk, L"rel/sub/"},
      {L"", zip::kZipBadArgument, L"rel/sub/"},
      {std::wstring(259, L'l'), zip::kZipBadArgument, L"rel/sub/"},  // with its separator it would not fit
      {std::wstring(258, L'l'), zip::kZipOk, std::wstring(258, L'l') + L"/"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(reader.SetBaseFolder(c.folder), c.result) << c.folder.size();
    EXPECT_EQ(reader.BaseFolder(), c.base) << c.folder.size();
  }
}

TEST_F(ZipExtract, RemovedCurrentFolderGivesNoBase) {
  const std::string block = zorv::test::BuildArchive({{.name = "orphan-entry", .data = "f"}});
  const fs::path saved = fs::current_path();
  fs::create_directories(sandbox_.Path("gone"));
  fs::current_path(sandbox_.Path("gone"));
  fs::remove(sandbox_.Path("gone"));
  zip::ZipReader reader;
  const zip::ZipResult opened = reader.Open(block.data(), block.size());
  const std::wstring base = reader.BaseFolder();
  const zip::ZipResult extracted = reader.ExtractEntry(0, L"orphan-entry");
  fs::current_path(saved);
  EXPECT_EQ(opened, zip::kZipOk);
  EXPECT_EQ(base, L"");
  EXPECT_EQ(extracted, zip::kZipOpenFailed);
  EXPECT_FALSE(fs::exists("/orphan-entry"));
}

TEST_F(ZipExtract, HandlesAndIndexesAreChecked) {
  const std::string two = zorv::test::BuildArchive({{.name = "a", .data = "a"}, {.name = "b", .data = "b"}});
  ASSERT_TRUE(Open(two));
  zip::ZipEntryInfo info;
  EXPECT_EQ(zip::getEntry(handle_, 2, &info), zip::kZipBadArgument);
  EXPECT_EQ(zip::lastResult(), zip::kZipBadArgument);
  EXPECT_EQ(zip::getEntry(handle_, -2, &info), zip::kZipBadArgument);
  EXPECT_EQ(zip::getEntry(handle_, 0, nullptr), zip::kZipBadArgument);
  EXPECT_EQ(zip::extractEntry(handle_, 2, L"a"), zip::kZipBadArgument);
  EXPECT_EQ(zip::extractEntry(handle_, -1, L"a"), zip::kZipBadArgument);
  EXPECT_EQ(zip::getEntry(handle_, 1, &info), zip::kZipOk);
  EXPECT_EQ(zip::lastResult(), zip::kZipOk);

  EXPECT_EQ(zip::getEntry(nullptr, 0, &info), zip::kZipBadArgument);
  EXPECT_EQ(zip::setBaseFolder(nullptr, L"/tmp"), zip::kZipBadArgument);
  EXPECT_EQ(zip::extractEntry(nullptr, 0, L"a"), zip::kZipBadArgument);
  EXPECT_EQ(zip::closeArchive(nullptr), zip::kZipBadArgument);
  zip::ZipHandle notReader{2, handle_->reader};
  EXPECT_EQ(zip::getEntry(&notReader, 0, &info), zip::kZipNotReader);
  EXPECT_EQ(zip::setBaseFolder(&notReader, L"/tmp"), zip::kZipNotReader);
  EXPECT_EQ(zip::extractEntry(&notReader, 0, L"a"), zip::kZipNotReader);
  EXPECT_EQ(zip::closeArchive(&notReader), zip::kZipNotReader);
  EXPECT_EQ(zip::lastResult(), zip::kZipNotReader);

  zip::ZipReader reader;
  ASSERT_EQ(reader.Open(block_.data(), block_.size()), zip::kZipOk);
  EXPECT_EQ(reader.Open(block_.data(), block_.size()), zip::kZipAlreadyOpen);
}

TEST_F(ZipExtract, BlocksThatAreNoArchiveDoNotOpen) {
  const std::string good = zorv::test::BuildArchive({{.name = "a", .data = std::string(1000, 'a')}});
  const std::string cases[] = {
      "",
      "this is not a zip archive at all, just text",
      good.substr(0, good.size() / 2),
      good.substr(0, good.size() - 10),
      std::string(good.size(), '\0'),
  };
  for (const std::string& bytes : cases) {
    EXPECT_EQ(Open(bytes), nullptr) << bytes.size();
    EXPECT_EQ(zip::lastResult(), zip::kZipOpenFailed);
  }
  EXPECT_EQ(zip::openFromMemory(nullptr, 10), nullptr);
  EXPECT_EQ(zip::lastResult(), zip::kZipBadArgument);
}

}  // namespace
