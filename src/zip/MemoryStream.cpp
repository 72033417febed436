#include "zip/MemoryStream.h"

#include <cstring>

namespace zip {
namespace {

voidpf ZCALLBACK Open(voidpf, const void* name, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  auto* stream = static_cast<MemoryStream*>(const_cast<void*>(name));
  stream->position = 0;
  stream->readPastEnd = false;
  return stream;
}

uLong ZCALLBACK Read(voidpf, voidpf file, void* buffer, uLong size) {
  auto* stream = static_cast<MemoryStream*>(file);
  const std::size_t available = stream->size - stream->position;
  const std::size_t count = size < available ? size : available;
  if (count > 0) std::memcpy(buffer, stream->data + stream->position, count);
  stream->position += count;
  stream->readPastEnd = count < size;
  return static_cast<uLong>(count);
}

uLong ZCALLBACK Write(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf file) { return static_cast<MemoryStream*>(file)->position; }

long ZCALLBACK Seek(voidpf, voidpf file, ZPOS64_T offset, int origin) {
  auto* stream = static_cast<MemoryStream*>(file);
  std::size_t from = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: from = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: from = stream->position; break;
    case ZLIB_FILEFUNC_SEEK_END: from = stream->size; break;
    default: return -1;
  }
  // Offsets are unsigned; anything beyond the end of the block is refused.
  if (offset > stream->size - from) return -1;
  stream->position = from + static_cast<std::size_t>(offset);
  return 0;
}

int ZCALLBACK Close(voidpf, voidpf) { return 0; }

int ZCALLBACK TestError(voidpf, voidpf file) { return static_cast<MemoryStream*>(file)->readPastEnd ? 1 : 0; }

}  // namespace

zlib_filefunc64_def MemoryStreamFunctions() {
  zlib_filefunc64_def functions{};
  functions.zopen64_file = Open;
  functions.zread_file = Read;
  functions.zwrite_file = Write;
  functions.ztell64_file = Tell;
  functions.zseek64_file = Seek;
  functions.zclose_file = Close;
  functions.zerror_file = TestError;
  functions.opaque = nullptr;
  return functions;
}

}  // namespace zip
