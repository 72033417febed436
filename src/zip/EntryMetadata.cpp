#include "zip/EntryMetadata.h"

#include <algorithm>
#include <ctime>

namespace zip {
namespace {

constexpr std::int64_t kEpochDifferenceSeconds = 11644473600;  // 1601 to 1970
constexpr std::int64_t kTicksPerSecond = 10000000;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

FileTime LocalToFileTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;  // the rules of that date decide about daylight saving
  const std::time_t utc = std::mktime(&local);
  return static_cast<FileTime>((static_cast<std::int64_t>(utc) + kEpochDifferenceSeconds) * kTicksPerSecond);
}

std::uint32_t ReadLittle32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

std::uint32_t AttributesFromHost(std::uint16_t versionMadeBy, std::uint32_t external) {
  switch (versionMadeBy >> 8) {
    case 0:   // MS-DOS and OS/2 FAT
    case 7:   // Macintosh
    case 11:  // NTFS
    case 14:  // VFAT
      return external & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive);
    default: {
      std::uint32_t attributes = kAttrArchive;
      if (external & 0x40000000) attributes |= kAttrDirectory;  // S_IFDIR
      if (!(external & 0x00800000)) attributes |= kAttrReadOnly;  // no owner write bit
      return attributes;
    }
  }
}

FileTime DosTimeToFileTime(std::uint32_t dosDateTime) {
  const int date = static_cast<int>(dosDateTime >> 16);
  const int time = static_cast<int>(dosDateTime & 0xFFFF);
  const int year = 1980 + (date >> 9);
  const int month = (date >> 5) & 0x0F;
  const int day = date & 0x1F;
  const int hour = time >> 11;
  const int minute = (time >> 5) & 0x3F;
  const int second = (time & 0x1F) * 2;
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 || minute > 59 ||
      second > 59) {
    return LocalToFileTime(1980, 1, 1, 0, 0, 0);
  }
  return LocalToFileTime(year, month, day, hour, minute, second);
}

FileTime UnixTimeToFileTime(std::int32_t seconds) {
  return static_cast<FileTime>((static_cast<std::int64_t>(seconds) + kEpochDifferenceSeconds) * kTicksPerSecond);
}

void ApplyUnixTimeBlock(std::span<const std::uint8_t> field, ZipEntryInfo& info) {
  if (field.size() <= 4) return;
  std::size_t offset = 0;
  while (offset + 4 < field.size()) {
    const std::size_t length = field[offset + 2] | (field[offset + 3] << 8);
    if (field[offset] != 'U' || field[offset + 1] != 'T') {
      offset += 4 + length;
      continue;
    }
    const std::size_t dataEnd = std::min(field.size(), offset + 4 + length);
    std::size_t at = offset + 4;
    if (at >= dataEnd) return;
    const std::uint8_t flags = field[at++];
    FileTime* const targets[] = {&info.modificationTime, &info.accessTime, &info.creationTime};
    for (int bit = 0; bit < 3; ++bit) {
      if (!(flags & (1 << bit))) continue;
      if (at + 4 > dataEnd) return;
      *targets[bit] = UnixTimeToFileTime(static_cast<std::int32_t>(ReadLittle32(&field[at])));
      at += 4;
    }
    return;
  }
}

}  // namespace zip
