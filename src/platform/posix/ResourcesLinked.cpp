// The resource blob linked into this executable, found through the symbols
// that the blob's assembler file defines around its section.
#include "platform/ResourceBlob.h"

extern "C" {
extern const std::uint8_t zorv_resource_blob[];
extern const std::uint8_t zorv_resource_blob_end[];
}

namespace platform::blob {

Bytes LinkedBlob() {
  return Bytes(zorv_resource_blob, static_cast<std::size_t>(zorv_resource_blob_end - zorv_resource_blob));
}

}  // namespace platform::blob
