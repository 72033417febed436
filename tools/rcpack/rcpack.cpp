// rcpack <script> <base folder> <out blob>
// Packs the resources named by a resource script into one blob (layout in
// platform/ResourceBlob.h). Script lines, '#' starts a comment:
//   STRING <id> "<text>"            text in UTF-8, \" and \\ escaped
//   <TYPE> <id> <file>              file relative to the base folder
//   TRANSLATION <llll> <cccc>       hex language and code page of the version
//   VALUE <name> "<text>"           a version value under the last translation
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ResourceBlob.h"
#include "platform/Text.h"

namespace blob = platform::blob;

namespace {

struct Entry {
  std::string type;
  std::uint32_t id;
  std::vector<std::uint8_t> data;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
  std::cerr << "rcpack: " << where << ": " << what << "\n";
  std::exit(1);
}

std::string ReadQuoted(std::istream& in, const std::string& where) {
  in >> std::ws;
  if (in.get() != '"') Fail(where, "expected a quoted text");
  std::string text;
  for (int c; (c = in.get()) != '"';) {
    if (c == EOF) Fail(where, "unterminated text");
    if (c == '\\') c = in.get();
    if (c == EOF) Fail(where, "unterminated text");
    text += static_cast<char>(c);
  }
  return text;
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path, const std::string& where) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(where, "cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: rcpack <script> <base folder> <out blob>\n";
    return 2;
  }
  std::ifstream script(argv[1]);
  if (!script) Fail(argv[1], "cannot read");
  const std::filesystem::path base = argv[2];

  std::vector<Entry> entries;
  std::map<std::pair<std::string, std::uint32_t>, int> seen;
  platform::VersionInfo version;
  std::wstring block;
  std::string line;
  for (int number = 1; std::getline(script, line); ++number) {
    const std::string where = std::string(argv[1]) + ":" + std::to_string(number);
    std::istringstream in(line);
    std::string type;
    if (!(in >> type) || type[0] == '#') continue;
    if (type == "TRANSLATION") {
      unsigned language = 0, codePage = 0;
      if (!(in >> std::hex >> language >> codePage) || language > 0xFFFF || codePage > 0xFFFF) {
        Fail(where, "expected hex language and code page");
      }
      version.translations.emplace_back(language, codePage);
      wchar_t key[9];
      std::swprintf(key, 9, L"%04x%04x", language, codePage);
      block = key;
      continue;
    }
    if (type == "VALUE") {
      std::string name;
      if (block.empty() || !(in >> name)) Fail(where, "VALUE needs a name after a TRANSLATION");
      const std::string text = ReadQuoted(in, where);
      if (text.find_first_of("\t\n") != std::string::npos) Fail(where, "tabs and line ends are not allowed");
      version.strings.emplace_back(block + L"\\" + platform::FromUtf8(name), platform::FromUtf8(text));
      continue;
    }
    std::uint32_t id = 0;
    if (type.size() > blob::kTypeSize || !(in >> id)) Fail(where, "expected <TYPE> <id>");
    if (seen[{type, id}]++) Fail(where, "duplicate " + type + " " + std::to_string(id));
    Entry entry{type, id, {}};
    if (type == "STRING") {
      const std::string text = ReadQuoted(in, where);
      entry.data.assign(text.begin(), text.end());
    } else {
      std::string file;
      if (!(in >> file)) Fail(where, "expected a file");
      entry.data = ReadFile(base / file, where);
    }
    entries.push_back(std::move(entry));
  }

  const std::string versionText = blob::FormatVersionBlock(version);
  if (versionText.size() > blob::kVersionCapacity) Fail(argv[1], "version block too large");

  std::vector<std::uint8_t> out(blob::kHeaderSize + entries.size() * blob::kEntrySize);
  auto align = [&out] { out.resize((out.size() + 7) / 8 * 8); };
  align();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::uint8_t* field = out.data() + blob::kHeaderSize + i * blob::kEntrySize;
    std::copy(entries[i].type.begin(), entries[i].type.end(), field);
    blob::WriteU32(field + blob::kTypeSize, entries[i].id);
    blob::WriteU32(field + blob::kTypeSize + 4, static_cast<std::uint32_t>(out.size()));
    blob::WriteU32(field + blob::kTypeSize + 8, static_cast<std::uint32_t>(entries[i].data.size()));
    out.insert(out.end(), entries[i].data.begin(), entries[i].data.end());
    align();
  }
  const std::size_t versionOffset = out.size();
  out.resize(versionOffset + blob::kVersionCapacity);
  std::copy(versionText.begin(), versionText.end(), out.begin() + static_cast<std::ptrdiff_t>(versionOffset));

  std::copy(blob::kMagic.begin(), blob::kMagic.end(), out.begin());
  blob::WriteU32(out.data() + 8, static_cast<std::uint32_t>(entries.size()));
  blob::WriteU32(out.data() + 12, static_cast<std::uint32_t>(versionOffset));
  blob::WriteU32(out.data() + 16, static_cast<std::uint32_t>(blob::kVersionCapacity));
  blob::WriteU32(out.data() + 20, static_cast<std::uint32_t>(versionText.size()));

  std::ofstream file(argv[3], std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (!file) Fail(argv[3], "cannot write");
  return 0;
}
