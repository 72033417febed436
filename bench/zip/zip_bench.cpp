// zip_bench <archive> <folder>: extracts every entry of the archive below the
// folder through the client's zip layer, the way the client unpacks its own
// archive: the archive mapped into memory like a resource of the executable,
// queried and extracted in order.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/Text.h"
#include "zip/Zip.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: zip_bench <archive> <folder>\n");
    return 2;
  }
  const int fd = open(argv[1], O_RDONLY | O_CLOEXEC);
  struct stat st{};
  if (fd < 0 || fstat(fd, &st) != 0 || st.st_size == 0) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  const auto size = static_cast<std::size_t>(st.st_size);
  void* block = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  close(fd);
  if (block == MAP_FAILED) {
    std::fprintf(stderr, "cannot map %s\n", argv[1]);
    return 1;
  }
  zip::ZipHandle* handle = zip::openFromMemory(block, size);
  if (!handle) {
    std::fprintf(stderr, "cannot open %s: 0x%X\n", argv[1], zip::lastResult());
    return 1;
  }
  zip::setBaseFolder(handle, platform::FromUtf8(argv[2]));
  zip::ZipEntryInfo info;
  zip::getEntry(handle, -1, &info);
  int failures = 0;
  for (int i = 0, count = info.index; i < count; ++i) {
    if (zip::getEntry(handle, i, &info) != zip::kZipOk || zip::extractEntry(handle, i, info.name) != zip::kZipOk) {
      std::fprintf(stderr, "entry %d: 0x%X\n", i, zip::lastResult());
      ++failures;
    }
  }
  zip::closeArchive(handle);
  munmap(block, size);
  return failures == 0 ? 0 : 1;
}
