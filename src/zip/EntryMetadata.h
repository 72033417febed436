#pragma once
// Attributes and times of an entry, from its directory record and local extra field.
#include <cstdint>
#include <span>

#include "zip/Zip.h"

namespace zip {

// Windows attribute bits from the host system (high byte of "version made by")
// and the external attributes: DOS-like hosts keep their bits, every other host
// is read as Unix mode bits in the high half.
std::uint32_t AttributesFromHost(std::uint16_t versionMadeBy, std::uint32_t externalAttributes);

// The DOS date and time, taken as local time, as a UTC FILETIME. Values that
// name no real time (month 0, 30 February, hour 24, ...) give 1980-01-01 00:00
// local, the first DOS time.
FileTime DosTimeToFileTime(std::uint32_t dosDateTime);

// A Unix time (seconds, signed 32 bits) as a FILETIME.
FileTime UnixTimeToFileTime(std::int32_t seconds);

// Replaces times of info with those of the first "UT" block of a local extra
// field: flag bit 0 the modification, bit 1 the access, bit 2 the creation time.
// Only bytes inside the field and the block are read.
void ApplyUnixTimeBlock(std::span<const std::uint8_t> extraField, ZipEntryInfo& info);

}  // namespace zip
