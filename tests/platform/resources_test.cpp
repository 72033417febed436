// The resources linked into the executable and the version reader for files
// on disk. The test executable carries the same blob as the client, so it is
// both the reader and the file being read.
#include <gtest/gtest.h>
#include <unzip.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <tuple>
#include <string>
#include <vector>

#include "platform/Resources.h"
#include "platform/Text.h"
#include "platform/posix/ResourcesElf.h"
#include "support/ChildProcess.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"

namespace {

using platform::FindResource;
using zorv::test::Widen;

std::string Bytes(const platform::ResourceData& data) {
  return std::string(reinterpret_cast<const char*>(data.data), data.size);
}

std::uint32_t Be32(const std::string& s, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) << 24 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 8 |
         static_cast<unsigned char>(s[at + 3]);
}

std::uint32_t Le32(const std::string& s, std::size_t at) {
  return static_cast<unsigned char>(s[at]) | static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

struct PngHeader {
  std::uint32_t width = 0, height = 0;
  int bitDepth = 0, colourType = 0;
};

std::optional<PngHeader> ReadIhdr(const std::string& png) {
  if (png.size() < 33 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || png.compare(12, 4, "IHDR") != 0) {
    return std::nullopt;
  }
  return PngHeader{Be32(png, 16), Be32(png, 20), static_cast<unsigned char>(png[24]),
                   static_cast<unsigned char>(png[25])};
}

TEST(Resources, EverySkinPngHasItsSizeAndIsRgba) {
  struct Size {
    std::vector<int> ids;
    std::uint32_t width, height;
  };
  const Size table[] = {
      {{319}, 1174, 686},
      {{304}, 256, 110},
      {{172}, 1, 30},
      {{203}, 203, 30},
      {{206}, 92, 30},
      {{275}, 1, 1},
      {{276, 277, 278, 279}, 23, 23},
      {{207, 208, 227, 220, 213, 228, 221, 217, 229, 209, 210, 230}, 28, 26},
      {{211, 212, 231, 224, 214, 234}, 59, 24},
      {{223, 215, 233}, 97, 24},
      {{226, 219, 236, 252, 253, 261}, 78, 24},
      {{314, 313, 312, 311}, 82, 34},
      {{316}, 11, 10},
      {{320, 321, 322, 323, 324, 325}, 29, 30},
  };
  for (const Size& size : table) {
    for (int id : size.ids) {
      SCOPED_TRACE("PNG " + std::to_string(id));
      const auto data = FindResource("PNG", id);
      ASSERT_TRUE(data);
      const auto header = ReadIhdr(Bytes(*data));
      ASSERT_TRUE(header);
      EXPECT_EQ(header->width, size.width);
      EXPECT_EQ(header->height, size.height);
      EXPECT_EQ(header->bitDepth, 8);
      EXPECT_EQ(header->colourType, 6);
    }
  }
}

TEST(Resources, OverlayFillIsOnePixelOfTranslucentBlack) {
  const auto data = FindResource("PNG", 275);
  ASSERT_TRUE(data);
  const std::string png = Bytes(*data);
  // Walk the chunks to the image data: one filter byte and R, G, B, A.
  std::size_t at = 8;
  while (at + 8 <= png.size() && png.compare(at + 4, 4, "IDAT") != 0) at += 12 + Be32(png, at);
  ASSERT_LE(at + 8, png.size());
  const std::uint32_t length = Be32(png, at);
  ASSERT_LE(at + 8 + length, png.size());
  unsigned char row[5] = {};
  uLongf size = sizeof row;
  ASSERT_EQ(uncompress(row, &size, reinterpret_cast<const Bytef*>(png.data() + at + 8), length), Z_OK);
  ASSERT_EQ(size, 5u);
  EXPECT_EQ(row[0], 0);  // no filter
  EXPECT_EQ(std::vector<int>(row + 1, row + 5), (std::vector<int>{0, 0, 0, 230}));
}

TEST(Resources, ClientIconIsASquarePng) {
  const auto data = FindResource("ICON", 273);
  ASSERT_TRUE(data);
  const auto header = ReadIhdr(Bytes(*data));
  ASSERT_TRUE(header);
  EXPECT_EQ(header->width, header->height);
  EXPECT_GE(header->width, 32u);
  EXPECT_EQ(header->colourType, 6);
}

TEST(Resources, FormBitmapIsGreenOnTopWithTheRoundButtons) {
  const auto data = FindResource("BITMAP", 318);
  ASSERT_TRUE(data);
  const std::string bmp = Bytes(*data);
  ASSERT_GE(bmp.size(), 54u);
  ASSERT_EQ(bmp.compare(0, 2, "BM"), 0);
  const std::uint32_t width = Le32(bmp, 18), height = Le32(bmp, 22);
  ASSERT_EQ(width, 690u);
  ASSERT_EQ(height, 513u);  // positive: rows run bottom-up
  ASSERT_EQ(static_cast<unsigned char>(bmp[28]), 24);
  const std::size_t rowSize = (width * 3 + 3) & ~3u, pixels = Le32(bmp, 10);
  ASSERT_GE(bmp.size(), pixels + rowSize * height);
  auto pixel = [&](std::uint32_t x, std::uint32_t y) {  // as R, G, B
    const std::size_t at = pixels + (height - 1 - y) * rowSize + x * 3;
    return std::tuple<int, int, int>(static_cast<unsigned char>(bmp[at + 2]), static_cast<unsigned char>(bmp[at + 1]),
                                     static_cast<unsigned char>(bmp[at]));
  };
  const std::tuple<int, int, int> green{0, 255, 0};
  EXPECT_EQ(pixel(0, 0), green);
  EXPECT_EQ(pixel(603, 15), green);
  EXPECT_EQ(pixel(689, 60), green);
  EXPECT_NE(pixel(619, 13), green);  // minimise picture
  EXPECT_NE(pixel(647, 13), green);  // close picture
  EXPECT_NE(pixel(345, 61), green);  // panel starts at row 61
  EXPECT_NE(pixel(10, 500), green);
}

struct ZipEntry {
  std::string name;
  unsigned long madeBy = 0, externalAttributes = 0, method = 0;
  std::string content;
};

std::vector<ZipEntry> ReadZip(const std::string& path) {
  std::vector<ZipEntry> entries;
  unzFile zip = unzOpen64(path.c_str());
  if (!zip) return entries;
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
    unz_file_info64 info{};
    char name[256] = {};
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) break;
    ZipEntry entry{name, info.version, info.external_fa, info.compression_method, {}};
    entry.content.resize(info.uncompressed_size);
    if (unzOpenCurrentFile(zip) == UNZ_OK) {
      const int read = unzReadCurrentFile(zip, entry.content.data(), static_cast<unsigned>(entry.content.size()));
      if (read >= 0) entry.content.resize(static_cast<std::size_t>(read));
      if (unzCloseCurrentFile(zip) != UNZ_OK) entry.content = "<crc error>";
    }
    entries.push_back(entry);
  }
  unzClose(zip);
  return entries;
}

TEST(Resources, DefaultFilesArchiveHoldsTheSettingsAndTheIcon) {
  const auto data = FindResource("ZIP", 269);
  ASSERT_TRUE(data);
  zorv::test::Sandbox sandbox;
  const std::string path = sandbox.Path("defaults.zip");
  ASSERT_TRUE(zorv::test::WriteFile(path, Bytes(*data)));
  const auto entries = ReadZip(path);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "systemset.ini");
  EXPECT_EQ(entries[1].name, "uninstall.ico");
  for (const ZipEntry& entry : entries) {
    SCOPED_TRACE(entry.name);
    EXPECT_EQ(entry.madeBy >> 8, 0u);  // host 0
    EXPECT_EQ(entry.externalAttributes, 0x20u);
    EXPECT_EQ(entry.method, static_cast<unsigned long>(Z_DEFLATED));
  }
  const std::string defaults =
      "[Info]\r\ncode=\r\npwd=\r\nrem=1\r\n[Setting]\r\nsoundoff=0\r\nautostart=0\r\nautologin=0\r\n"
      "screenshots=Ctrl+Shift+A\r\nscreentoggle=F10\r\nfullscreen=F11\r\n[Start]\r\nfirststart=1\r\n";
  ASSERT_EQ(defaults.size(), 160u);
  EXPECT_EQ(entries[0].content, defaults);
  // A one-image 16 x 16 icon.
  const std::string& ico = entries[1].content;
  ASSERT_GE(ico.size(), 22u);
  EXPECT_EQ(ico.compare(0, 6, std::string("\0\0\1\0\1\0", 6)), 0);
  EXPECT_EQ(static_cast<unsigned char>(ico[6]), 16);
  EXPECT_EQ(static_cast<unsigned char>(ico[7]), 16);
  EXPECT_EQ(Le32(ico, 18), 22u);
  EXPECT_EQ(ico.size(), 22u + Le32(ico, 14));
}

TEST(Resources, StringTable) {
  const std::pair<int, std::wstring> table[] = {
      {102, L"Veltan"},
      {105, L"Zorv"},
      {107, L"Veltan登录器"},
      {109, L"卸载-Veltan"},
      {116, L"缓存清理中，请稍后……"},
      {117, L"Zorv"},
      {118, L"/brixqorntmp.exe"},
      {119, L"/Zorv/"},
      {120, L"/cache/brixqorntmpu.exe"},
      {124, L"Zorv"},
      {125, L"Zorv"},
      {192, L"getClientVersion.php?p=Zorv&g=qorn&v="},
      {197, L"res//systemset.ini"},
      {114, Widen(ZORV_LOGIN_URL)},
      {191, Widen(ZORV_VERSION_SERVER)},
      {103, L""},  // no such entry
      {-1, L""},
  };
  for (const auto& [id, text] : table) {
    EXPECT_EQ(platform::LoadString(id), text) << "string " << id;
  }
  // 106: a statistics address on the version server's host.
  std::wstring host = Widen(ZORV_VERSION_SERVER);
  while (host.ends_with(L'/')) host.pop_back();
  const std::wstring stats = platform::LoadString(106);
  EXPECT_TRUE(stats.starts_with(host + L"/log_4.htm?tgInfo=")) << zorv::test::Narrow(stats);
  EXPECT_GT(stats.size(), host.size() + 18);
}

TEST(Resources, UnknownResourcesAreMissing) {
  EXPECT_FALSE(FindResource("PNG", 9999));
  EXPECT_FALSE(FindResource("PNG", 269));  // right id, other type
  EXPECT_FALSE(FindResource("PNGX", 319));
  EXPECT_FALSE(FindResource("", 319));
  EXPECT_FALSE(FindResource("TOOLONGTYPE", 319));
}

// ---- version blocks of files on disk ----

std::string SelfPath() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

std::optional<std::wstring> FileVersionOf(const std::string& path) {
  const auto info = platform::GetFileVersionInfo(Widen(path));
  if (!info) return std::nullopt;
  return info->Query(L"080403a8", L"FileVersion");
}

zorv::test::ChildResult Stamp(const std::string& in, const std::string& out, const std::string& version) {
  return zorv::test::RunChild({ZORV_STAMPVERSION, in, out, version});
}

TEST(ResourceVersion, OwnExecutable) {
  const std::wstring self = Widen(SelfPath());
  EXPECT_GT(platform::GetFileVersionInfoSize(self), 0u);
  const auto info = platform::GetFileVersionInfo(self);
  ASSERT_TRUE(info);
  ASSERT_EQ(info->translations.size(), 1u);
  EXPECT_EQ(info->translations[0], (std::pair<std::uint16_t, std::uint16_t>(0x0804, 0x03A8)));
  EXPECT_EQ(info->Query(L"080403a8", L"FileVersion"), Widen(ZORV_FILE_VERSION));
  EXPECT_EQ(info->Query(L"080403A8", L"fileversion"), Widen(ZORV_FILE_VERSION));  // names ignore case
  EXPECT_EQ(info->Query(L"080403a8", L"FileDescription"), L"Veltan登录器");
  EXPECT_EQ(info->Query(L"040904b0", L"FileVersion"), std::nullopt);
  EXPECT_EQ(info->Query(L"080403a8", L"NoSuchValue"), std::nullopt);
  // The running executable sees the same block among its own resources.
  const auto linked = FindResource("VERSION", 1);
  ASSERT_TRUE(linked);
  EXPECT_EQ(linked->size, platform::GetFileVersionInfoSize(self));
}

TEST(ResourceVersion, StampedCopies) {
  zorv::test::Sandbox sandbox;
  const std::string newer = sandbox.Path("newer"), none = sandbox.Path("none");
  ASSERT_EQ(Stamp(SelfPath(), newer, "1.0.0.2").exitCode, 0);
  ASSERT_EQ(Stamp(SelfPath(), none, "--none").exitCode, 0);

  EXPECT_EQ(FileVersionOf(newer), L"1.0.0.2");
  EXPECT_EQ(platform::GetFileVersionInfo(Widen(newer))->Query(L"080403a8", L"ProductVersion"), L"1.0.0.2");
  EXPECT_EQ(zorv::test::FileMode(newer) & 0111, zorv::test::FileMode(SelfPath()) & 0111);
  EXPECT_EQ(zorv::test::ReadFile(newer)->size(), zorv::test::ReadFile(SelfPath())->size());

  EXPECT_EQ(platform::GetFileVersionInfoSize(Widen(none)), 0u);
  EXPECT_FALSE(platform::GetFileVersionInfo(Widen(none)));

  // A copy without a block can be given one again only by stamping the original.
  EXPECT_NE(Stamp(none, sandbox.Path("again"), "1.0.0.3").exitCode, 0);
  EXPECT_NE(Stamp("/bin/true", sandbox.Path("true"), "1.0.0.3").exitCode, 0);
  EXPECT_NE(Stamp(SelfPath(), sandbox.Path("bad"), "1.0\t0.3").exitCode, 0);
}

TEST(ResourceVersion, FilesWithoutAVersionBlock) {
  zorv::test::Sandbox sandbox;
  ASSERT_TRUE(zorv::test::WriteFile(sandbox.Path("empty"), ""));
  ASSERT_TRUE(zorv::test::WriteFile(sandbox.Path("text"), "hello\n"));
  for (const std::string& path : {std::string("/bin/true"), sandbox.Path("missing"), sandbox.Root(),
                                  sandbox.Path("empty"), sandbox.Path("text")}) {
    EXPECT_EQ(platform::GetFileVersionInfoSize(Widen(path)), 0u) << path;
    EXPECT_FALSE(platform::GetFileVersionInfo(Widen(path))) << path;
  }
}

void PutLe(std::string& bytes, std::size_t at, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// Where the resource blob starts in the file (the start of its section).
std::size_t BlobOffset(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const auto section = platform::elf::FindSection(in, std::filesystem::file_size(path), ".zorvres");
  return section ? section->offset : std::string::npos;
}

TEST(ResourceVersion, DamagedFilesHaveNoVersionAndDoNotCrash) {
  const std::string good = *zorv::test::ReadFile(SelfPath());
  const std::size_t blob = BlobOffset(SelfPath());
  ASSERT_NE(blob, std::string::npos);
  ASSERT_EQ(good.compare(blob, 8, "ZRVBLOB1"), 0);
  const std::uint64_t sectionTable = Le32(good, 0x28);
  struct Damage {
    const char* what;
    std::function<void(std::string&)> apply;
  };
  const Damage damages[] = {
      {"header only", [](std::string& f) { f.resize(64); }},
      {"cut inside the resources", [&](std::string& f) { f.resize(blob + 30); }},
      {"cut inside the section table", [&](std::string& f) { f.resize(sectionTable + 100); }},
      {"section table past the end", [](std::string& f) { PutLe(f, 0x28, 0xFFFFFFFFFFFFFFF0ull, 8); }},
      {"section entries of size 0", [](std::string& f) { PutLe(f, 0x3A, 0, 2); }},
      {"huge section count", [](std::string& f) { PutLe(f, 0x3C, 0xFFFE, 2); }},
      {"name table index out of range", [](std::string& f) { PutLe(f, 0x3E, 0xFFF0, 2); }},
      {"32-bit class", [](std::string& f) { f[4] = 1; }},
      {"big-endian", [](std::string& f) { f[5] = 2; }},
      {"blob magic", [&](std::string& f) { f[blob] = 'X'; }},
      {"version longer than its space", [&](std::string& f) { PutLe(f, blob + 20, Le32(f, blob + 16) + 1, 4); }},
      {"version area past the section", [&](std::string& f) { PutLe(f, blob + 12, 0xFFFFFF00u, 4); }},
      {"garbled version text", [&](std::string& f) { f.replace(blob + Le32(f, blob + 12), 7, "garbage"); }},
  };
  zorv::test::Sandbox sandbox;
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.what);
    std::string bytes = good;
    damage.apply(bytes);
    const std::string path = sandbox.Path("damaged");
    ASSERT_TRUE(zorv::test::WriteFile(path, bytes));
    EXPECT_EQ(platform::GetFileVersionInfoSize(Widen(path)), 0u);
    EXPECT_FALSE(platform::GetFileVersionInfo(Widen(path)));
  }
}

std::size_t SectionHeaderAt(const std::string& elf, std::uint64_t sectionOffset) {
  const std::uint64_t table = Le32(elf, 0x28);
  const unsigned count = static_cast<unsigned char>(elf[0x3C]) | static_cast<unsigned char>(elf[0x3D]) << 8;
  for (unsigned i = 0; i < count; ++i) {
    if (Le32(elf, table + i * 64 + 24) == sectionOffset) return table + i * 64;
  }
  return std::string::npos;
}

TEST(ResourceVersion, AnySingleByteDamageOnTheWayIsHandled) {
  // Every single-byte change of the ELF header, of the resource section's
  // header and of the blob's header either leaves a readable version or none;
  // it never crashes or reads out of bounds (run under ASan to see the latter).
  const std::string good = *zorv::test::ReadFile(SelfPath());
  const std::size_t blob = BlobOffset(SelfPath()), sectionHeader = SectionHeaderAt(good, blob);
  ASSERT_NE(sectionHeader, std::string::npos);
  std::vector<std::size_t> positions;
  for (std::size_t i = 0; i < 64; ++i) positions.insert(positions.end(), {i, sectionHeader + i});
  for (std::size_t i = 0; i < 24; ++i) positions.push_back(blob + i);

  zorv::test::Sandbox sandbox;
  const std::string path = sandbox.Path("damaged");
  ASSERT_TRUE(zorv::test::WriteFile(path, good));
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  auto poke = [&file](std::size_t at, char value) {
    file.seekp(static_cast<std::streamoff>(at));
    file.put(value);
    file.flush();
  };
  for (std::size_t at : positions) {
    for (char value : {'\x00', '\x7f', '\xff'}) {
      poke(at, value);
      const auto info = platform::GetFileVersionInfo(Widen(path));
      EXPECT_EQ(platform::GetFileVersionInfoSize(Widen(path)) != 0, info.has_value()) << "byte " << at;
    }
    poke(at, good[at]);
  }
  EXPECT_EQ(FileVersionOf(path), Widen(ZORV_FILE_VERSION));
}

}  // namespace
