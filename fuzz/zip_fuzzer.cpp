// Opens any byte block as an archive, queries every entry and extracts each one
// into a fresh temporary folder, then checks that nothing appeared outside it.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "zip/Zip.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Scratch() {
  static const fs::path root = [] {
    std::string pattern = (fs::temp_directory_path() / "zip_fuzz_XXXXXX").string();
    return fs::path(mkdtemp(pattern.data()));
  }();
  return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The block gets its own allocation of exactly its size, so that a read past
  // its end is caught.
  std::vector<std::uint8_t> block(data, data + size);
  const fs::path base = Scratch() / "base";
  fs::remove_all(Scratch());
  fs::create_directories(base);

  zip::ZipHandle* handle = zip::openFromMemory(block.data(), block.size());
  if (!handle) return 0;
  zip::setBaseFolder(handle, base.wstring());
  zip::ZipEntryInfo info;
  zip::getEntry(handle, -1, &info);
  const int count = info.index < 64 ? info.index : 64;
  for (int i = count - 1; i >= 0; --i) zip::getEntry(handle, i, &info);
  for (int i = 0; i < count; ++i) {
    if (zip::getEntry(handle, i, &info) == zip::kZipOk) zip::extractEntry(handle, i, info.name);
  }
  zip::closeArchive(handle);

  for (const auto& item : fs::directory_iterator(Scratch())) {
    if (item.path() != base) std::abort();  // something was written outside the base folder
  }
  return 0;
}
