#include "zip/ZipFixture.h"

#include <zlib.h>

#include <stdexcept>

namespace zorv::test {
namespace {

void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::string RawDeflate(const std::string& data) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2");
  }
  std::string out(deflateBound(&stream, data.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

}  // namespace

std::string BuildArchive(const std::vector<FixtureEntry>& entries) {
  std::string archive;
  std::string directory;
  for (const FixtureEntry& e : entries) {
    const std::uint32_t offset = static_cast<std::uint32_t>(archive.size());
    std::string stored = e.deflate ? RawDeflate(e.data) : e.data;
    if (e.corruptData && !stored.empty()) {
      for (std::size_t i = stored.size() / 3; i < stored.size() * 2 / 3 + 1 && i < stored.size(); ++i) stored[i] ^= 0x5A;
    }
    const std::uint32_t crc = e.crc.value_or(
        crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
    const std::uint16_t method = e.method.value_or(e.deflate ? 8 : 0);
    const std::uint32_t size = e.uncompressedSize.value_or(static_cast<std::uint32_t>(e.data.size()));

    Put32(archive, e.breakLocalSignature ? 0x04034b51 : 0x04034b50);
    Put16(archive, 20);
    Put16(archive, e.flags);
    Put16(archive, method);
    Put32(archive, e.dosDateTime);
    Put32(archive, crc);
    Put32(archive, static_cast<std::uint32_t>(stored.size()));
    Put32(archive, size);
    Put16(archive, static_cast<std::uint32_t>(e.name.size()));
    Put16(archive, e.localExtraLength.value_or(static_cast<std::uint16_t>(e.localExtra.size())));
    archive += e.name;
    archive += e.localExtra;
    archive += stored;

    Put32(directory, 0x02014b50);
    Put16(directory, e.versionMadeBy);
    Put16(directory, 20);
    Put16(directory, e.flags);
    Put16(directory, method);
    Put32(directory, e.dosDateTime);
    Put32(directory, crc);
    Put32(directory, static_cast<std::uint32_t>(stored.size()));
    Put32(directory, size);
    Put16(directory, static_cast<std::uint32_t>(e.name.size()));
    Put16(directory, 0);  // extra
    Put16(directory, 0);  // comment
    Put16(directory, 0);  // disk
    Put16(directory, 0);  // internal attributes
    Put32(directory, e.external);
    Put32(directory, offset);
    directory += e.name;
  }
  const std::uint32_t directoryOffset = static_cast<std::uint32_t>(archive.size());
  archive += directory;
  Put32(archive, 0x06054b50);
  Put16(archive, 0);
  Put16(archive, 0);
  Put16(archive, static_cast<std::uint32_t>(entries.size()));
  Put16(archive, static_cast<std::uint32_t>(entries.size()));
  Put32(archive, static_cast<std::uint32_t>(directory.size()));
  Put32(archive, directoryOffset);
  Put16(archive, 0);
  return archive;
}

std::string UnixTimeBlock(std::uint8_t flags, const std::vector<std::int32_t>& times) {
  std::string block = "UT";
  Put16(block, static_cast<std::uint32_t>(1 + 4 * times.size()));
  block += static_cast<char>(flags);
  for (std::int32_t t : times) Put32(block, static_cast<std::uint32_t>(t));
  return block;
}

}  // namespace zorv::test
