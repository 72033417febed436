// defaultzip <out.zip> <file>...
// Makes the default-files archive: each file deflated under its own name (no
// folders), made by host 0 with the archive attribute (0x20) and a fixed
// timestamp, so the archive is the same on every build.
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kVersionMadeBy = 20;  // high byte 0: the DOS/FAT host
constexpr unsigned long kArchiveAttribute = 0x20;

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: defaultzip <out.zip> <file>...\n";
    return 2;
  }
  zipFile zip = zipOpen64(argv[1], APPEND_STATUS_CREATE);
  if (!zip) {
    std::cerr << "defaultzip: cannot create " << argv[1] << "\n";
    return 1;
  }
  bool ok = true;
  for (int i = 2; i < argc && ok; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::vector<char> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof()) {
      std::cerr << "defaultzip: cannot read " << argv[i] << "\n";
      ok = false;
      break;
    }
    zip_fileinfo info{};
    info.tmz_date.tm_year = 2026;
    info.tmz_date.tm_mon = 0;  // January (months count from 0)
    info.tmz_date.tm_mday = 1;
    info.tmz_date.tm_hour = 12;
    info.external_fa = kArchiveAttribute;
    const std::string name = std::filesystem::path(argv[i]).filename().string();
    ok = zipOpenNewFileInZip4(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                              Z_BEST_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr,
                              0, kVersionMadeBy, 0) == ZIP_OK &&
         zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size())) == ZIP_OK &&
         zipCloseFileInZip(zip) == ZIP_OK;
    if (!ok) std::cerr << "defaultzip: cannot add " << argv[i] << "\n";
  }
  if (zipClose(zip, nullptr) != ZIP_OK) ok = false;
  return ok ? 0 : 1;
}
