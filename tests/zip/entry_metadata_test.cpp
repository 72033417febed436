#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "zip/EntryMetadata.h"
#include "zip/ZipFixture.h"

namespace {

using zip::FileTime;

FileTime UtcFileTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm utc{};
  utc.tm_year = year - 1900;
  utc.tm_mon = month - 1;
  utc.tm_mday = day;
  utc.tm_hour = hour;
  utc.tm_min = minute;
  utc.tm_sec = second;
  return static_cast<FileTime>((timegm(&utc) + 11644473600LL) * 10000000LL);
}

std::uint32_t Dos(int year, int month, int day, int hour, int minute, int second) {
  return (static_cast<std::uint32_t>(year - 1980) << 25) | (month << 21) | (day << 16) | (hour << 11) |
         (minute << 5) | (second / 2);
}

class LocalZone : public ::testing::Test {
 protected:
  void Use(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }
  void TearDown() override {
    unsetenv("TZ");
    tzset();
  }
};

TEST(EntryAttributes, ComeFromTheHostSystem) {
  struct Case {
    std::uint16_t versionMadeBy;
    std::uint32_t external;
    std::uint32_t expected;
  } cases[] = {
      {0x0014, 0x20, 0x20},
      {0x0014, 0xFFFFFFFF, 0x37},       // only the five Windows bits are taken
      {0x0B00, 0x01, 0x01},             // NTFS
      {0x0700, 0x12, 0x12},             // Macintosh
      {0x0E00, 0x04, 0x04},             // VFAT
      {0x031E, 0x81A40000, 0x20},       // Unix rw-r--r--
      {0x031E, 0x81240000, 0x21},       // Unix r--r--r--: read-only
      {0x031E, 0x41ED0010, 0x30},       // Unix folder
      {0x031E, 0x00000037, 0x21},       // DOS bits mean nothing for a Unix host
      {0x1300, 0x80000000, 0x21},       // OS X: read as Unix
  };
  for (const auto& c : cases) {
    EXPECT_EQ(zip::AttributesFromHost(c.versionMadeBy, c.external), c.expected)
        << std::hex << c.versionMadeBy << " " << c.external;
  }
}

TEST_F(LocalZone, DosTimeIsLocalTimeOfThatDate) {
  Use("CET-1CEST,M3.5.0,M10.5.0/3");
  EXPECT_EQ(zip::DosTimeToFileTime(Dos(2026, 1, 15, 12, 0, 0)), UtcFileTime(2026, 1, 15, 11, 0, 0));
  EXPECT_EQ(zip::DosTimeToFileTime(Dos(2026, 7, 1, 12, 0, 58)), UtcFileTime(2026, 7, 1, 10, 0, 58));
  Use("JST-9");
  EXPECT_EQ(zip::DosTimeToFileTime(Dos(1980, 1, 1, 0, 0, 0)), UtcFileTime(1979, 12, 31, 15, 0, 0));
  EXPECT_EQ(zip::DosTimeToFileTime(Dos(2107, 12, 31, 23, 59, 58)), UtcFileTime(2107, 12, 31, 14, 59, 58));
}

TEST_F(LocalZone, ImpossibleDosTimesBecomeTheFirstDosTime) {
  Use("JST-9");
  const FileTime first = UtcFileTime(1979, 12, 31, 15, 0, 0);
  for (std::uint32_t bad : {Dos(2026, 0, 1, 0, 0, 0), Dos(2026, 13, 1, 0, 0, 0), Dos(2026, 2, 29, 0, 0, 0),
                            Dos(2026, 4, 0, 0, 0, 0), Dos(2026, 4, 1, 24, 0, 0), Dos(2026, 4, 1, 0, 60, 0),
                            Dos(2026, 4, 1, 0, 0, 60)}) {
    EXPECT_EQ(zip::DosTimeToFileTime(bad), first) << std::hex << bad;
  }
  EXPECT_NE(zip::DosTimeToFileTime(Dos(2024, 2, 29, 0, 0, 0)), first);
}

TEST(UnixTimeBlock, ReplacesTheFlaggedTimes) {
  using zorv::test::UnixTimeBlock;
  const FileTime dos = 42;
  const FileTime epoch = UtcFileTime(1970, 1, 1, 0, 0, 0);
  // A 300-byte block (0x012C) whose data holds a decoy "UT" block where a skip
  // by only the low length byte (0x2C) would land.
  std::string decoy = std::string(0x2C, 'z') + UnixTimeBlock(1, {12345});
  const std::string otherBlock = std::string("xy\x2C\x01", 4) + decoy + std::string(300 - decoy.size(), 'z');
  struct Case {
    const char* what;
    std::string field;
    FileTime modification, access, creation;
  } cases[] = {
      {"modification only", UnixTimeBlock(1, {0}), epoch, dos, dos},
      {"all three in order", UnixTimeBlock(7, {10, 20, -30}), epoch + 10 * 10000000ULL, epoch + 20 * 10000000ULL,
       epoch - 30 * 10000000ULL},
      {"access and creation", UnixTimeBlock(6, {20, 30}), dos, epoch + 20 * 10000000ULL, epoch + 30 * 10000000ULL},
      {"after a long block", otherBlock + UnixTimeBlock(1, {0}), epoch, dos, dos},
      {"only the first UT block", UnixTimeBlock(1, {0}) + UnixTimeBlock(1, {99}), epoch, dos, dos},
      {"times missing from the block", UnixTimeBlock(7, {5}), epoch + 5 * 10000000ULL, dos, dos},
      {"block cut by the field's end", UnixTimeBlock(3, {5, 6}).substr(0, 11), epoch + 5 * 10000000ULL, dos, dos},
      {"field of four bytes", std::string("UT\x05\x00", 4), dos, dos, dos},
      {"no UT block", std::string("ab\x00\x00", 4) + "cdef", dos, dos, dos},
  };
  for (const auto& c : cases) {
    zip::ZipEntryInfo info;
    info.modificationTime = info.accessTime = info.creationTime = dos;
    zip::ApplyUnixTimeBlock({reinterpret_cast<const std::uint8_t*>(c.field.data()), c.field.size()}, info);
    EXPECT_EQ(info.modificationTime, c.modification) << c.what;
    EXPECT_EQ(info.accessTime, c.access) << c.what;
    EXPECT_EQ(info.creationTime, c.creation) << c.what;
  }
}

}  // namespace
