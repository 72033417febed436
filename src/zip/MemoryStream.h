#pragma once
// Presents a caller's memory block to minizip as a read-only file, read in place.
#include <cstddef>
#include <cstdint>

#include <minizip/ioapi.h>

namespace zip {

struct MemoryStream {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t position = 0;
  // The last read stopped at the end of the block. minizip reads header
  // fields byte by byte and takes a failed read for a good one unless the
  // stream reports an error, so running out of data is reported as one.
  bool readPastEnd = false;
};

// Hooks that read stream without copying it and never past its end; pass the
// stream itself as the "file name" to unzOpen2_64.
zlib_filefunc64_def MemoryStreamFunctions();

}  // namespace zip
