// stampversion <in> <out> <version> | --none
// Writes a copy of an executable whose version block says another FileVersion
// (and ProductVersion), or that has no version block at all. The block is
// rewritten in place inside the resource section, so nothing else in the file
// moves; the copy keeps the original's file mode.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ResourceBlob.h"
#include "platform/Text.h"
#include "platform/posix/ResourcesElf.h"

namespace blob = platform::blob;

namespace {

int Fail(const std::string& what) {
  std::cerr << "stampversion: " << what << "\n";
  return 1;
}

bool IsVersionValue(const std::wstring& key) {
  const auto name = key.substr(key.find(L'\\') + 1);
  return name == L"FileVersion" || name == L"ProductVersion";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: stampversion <in> <out> <version> | --none\n";
    return 2;
  }
  const std::filesystem::path inPath = argv[1], outPath = argv[2];
  const std::string version = argv[3];
  if (version.find_first_of("\t\n") != std::string::npos) return Fail("the version may not hold tabs or line ends");

  std::ifstream in(inPath, std::ios::binary);
  if (!in) return Fail("cannot read " + inPath.string());
  std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::istringstream view(std::string(bytes.begin(), bytes.end()));
  const auto section = platform::elf::FindSection(view, bytes.size(), blob::kSectionName);
  if (!section) return Fail(inPath.string() + " has no resource section");

  auto* start = reinterpret_cast<std::uint8_t*>(bytes.data()) + section->offset;
  const blob::Bytes resources(start, section->size);
  const auto area = blob::LocateVersionArea(resources);
  if (!area) return Fail(inPath.string() + " has a damaged resource section");

  std::string text;
  if (version != "--none") {
    auto info = blob::ParseVersionBlock(
        std::string_view(reinterpret_cast<const char*>(start + area->offset), area->length));
    if (!info || area->length == 0) return Fail(inPath.string() + " has no version block to restamp");
    for (auto& [key, value] : info->strings) {
      if (IsVersionValue(key)) value = platform::FromUtf8(version);
    }
    text = blob::FormatVersionBlock(*info);
    if (text.size() > area->capacity) return Fail("the version block does not fit its reserved space");
  }
  std::fill_n(start + area->offset, area->capacity, 0);
  std::copy(text.begin(), text.end(), start + area->offset);
  blob::WriteU32(start + 20, static_cast<std::uint32_t>(text.size()));

  std::error_code error;
  const auto mode = std::filesystem::status(inPath, error).permissions();
  std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return Fail("cannot write " + outPath.string());
  std::filesystem::permissions(outPath, mode, error);
  if (error) return Fail("cannot set the mode of " + outPath.string() + ": " + error.message());
  return 0;
}
