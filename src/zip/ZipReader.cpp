#include "zip/ZipReader.h"

#include <unzip.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/FileWriter.h"
#include "platform/Files.h"
#include "zip/EntryMetadata.h"
#include "zip/EntryName.h"
#include "zip/OutputPath.h"

namespace zip {
namespace {

constexpr unsigned long kEncryptedFlag = 0x1;
constexpr unsigned long kStored = 0;

std::uint32_t AsStored32(ZPOS64_T size) {
  // Sizes beyond 32 bits are stored as 0xFFFFFFFF in the directory record.
  return size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(size);
}

std::wstring WithFinalSeparator(std::wstring folder) {
  folder = WithHostSeparators(folder);
  if (folder.empty() || folder.back() != L'/') folder += L'/';
  return folder;
}

}  // namespace

ZipReader::ZipReader() = default;

ZipReader::~ZipReader() { Close(); }

ZipResult ZipReader::Open(const void* data, std::size_t size) {
  if (archive_ || openEntry_ != -1) return kZipAlreadyOpen;
  if (!data && size > 0) return kZipBadArgument;
  // Without a current directory (it was removed) there is no base: relative
  // targets then fail instead of landing in the root folder.
  const std::wstring current = platform::CurrentFolder();
  baseFolder_ = current.empty() ? std::wstring() : WithFinalSeparator(current);
  source_ = MemoryStream{static_cast<const std::uint8_t*>(data), size, 0};
  zlib_filefunc64_def functions = MemoryStreamFunctions();
  archive_ = unzOpen2_64(&source_, &functions);
  if (!archive_) return kZipOpenFailed;
  unz_global_info64 global{};
  if (unzGetGlobalInfo64(archive_, &global) != UNZ_OK) {
    Close();
    return kZipOpenFailed;
  }
  entryCount_ = static_cast<int>(std::min<ZPOS64_T>(global.number_entry, INT_MAX));
  return kZipOk;
}

ZipResult ZipReader::SetBaseFolder(const std::wstring& folder) {
  // A base that does not fit would be cut short and name some other folder.
  std::wstring base = WithFinalSeparator(folder);
  if (folder.empty() || base.size() >= kMaxPath) return kZipBadArgument;
  baseFolder_ = std::move(base);
  return kZipOk;
}

void ZipReader::CloseStream() {
  if (openEntry_ == -1) return;
  unzCloseCurrentFile(archive_);
  openEntry_ = -1;
}

void ZipReader::Close() {
  if (!archive_) return;
  CloseStream();
  unzClose(archive_);
  archive_ = nullptr;
  currentEntry_ = -1;
  cachedIndex_ = -1;
}

ZipResult ZipReader::MoveTo(int index) {
  // Walks forward from where the reader stands; only an earlier entry (or a
  // lost position) sends it back to the first.
  if (currentEntry_ < 0 || index < currentEntry_) {
    if (unzGoToFirstFile(archive_) != UNZ_OK) return kZipHeaderMismatch;
    currentEntry_ = 0;
  }
  while (currentEntry_ < index) {
    if (unzGoToNextFile(archive_) != UNZ_OK) {
      currentEntry_ = -1;
      return kZipHeaderMismatch;
    }
    ++currentEntry_;
  }
  return kZipOk;
}

ZipResult ZipReader::GetEntry(int index, ZipEntryInfo& info) {
  if (!archive_ || index < -1 || index >= entryCount_) return kZipBadArgument;
  CloseStream();
  if (index == cachedIndex_ && index != -1) {
    info = cachedEntry_;
    return kZipOk;
  }
  if (index == -1) {
    info = ZipEntryInfo{};
    info.index = entryCount_;
    return kZipOk;
  }
  return ReadEntry(index, info);
}

ZipResult ZipReader::ReadEntry(int index, ZipEntryInfo& info) {
  if (ZipResult moved = MoveTo(index); moved != kZipOk) return moved;
  unz_file_info64 record{};
  char storedName[kMaxPath] = {};
  if (unzGetCurrentFileInfo64(archive_, &record, storedName, kMaxPath - 1, nullptr, 0, nullptr, 0) != UNZ_OK) {
    return kZipHeaderMismatch;
  }
  const std::size_t nameLength = std::min<std::size_t>(record.size_filename, kMaxPath - 1);

  // Opening the raw stream checks the local header against the directory
  // record and finds the local extra field, which carries the Unix times.
  if (unzOpenCurrentFile3(archive_, nullptr, nullptr, 1, nullptr) != UNZ_OK) return kZipHeaderMismatch;
  openEntry_ = index;
  const int extraSize = unzGetLocalExtrafield(archive_, nullptr, 0);
  std::vector<std::uint8_t> extra(extraSize > 0 ? static_cast<std::size_t>(extraSize) : 0);
  if (!extra.empty() &&
      unzGetLocalExtrafield(archive_, extra.data(), static_cast<unsigned>(extra.size())) != extraSize) {
    CloseStream();
    return kZipExtraFieldFailed;
  }
  CloseStream();

  ZipEntryInfo entry;
  entry.index = index;
  entry.name = CleanEntryName(DecodeEntryName(std::string_view(storedName, nameLength)));
  entry.attributes = AttributesFromHost(static_cast<std::uint16_t>(record.version), record.external_fa);
  entry.modificationTime = DosTimeToFileTime(record.dosDate);
  entry.accessTime = entry.creationTime = entry.modificationTime;
  ApplyUnixTimeBlock(extra, entry);
  entry.compressedSize = AsStored32(record.compressed_size);
  entry.uncompressedSize = AsStored32(record.uncompressed_size);
  cachedEntry_ = entry;
  cachedIndex_ = index;
  info = std::move(entry);
  return kZipOk;
}

ZipResult ZipReader::ExtractEntry(int index, const std::wstring& target) {
  if (!archive_) return kZipBadArgument;
  CloseStream();
  if (index < 0 || index >= entryCount_) return kZipBadArgument;
  if (ZipResult moved = MoveTo(index); moved != kZipOk) return moved;
  ZipEntryInfo entry;
  if (ZipResult queried = GetEntry(index, entry); queried != kZipOk) return queried;

  if (entry.attributes & kAttrDirectory) {
    auto place = PlaceFolder(baseFolder_, target);
    if (!place) return kZipOpenFailed;
    MakeFolders(place->folderIsAbsolute ? nullptr : &baseFolder_, place->folder);
    return platform::IsFolder(place->path) ? kZipOk : kZipOpenFailed;
  }
  auto place = PlaceFile(baseFolder_, target);
  if (!place) return kZipOpenFailed;
  MakeFolders(place->folderIsAbsolute ? nullptr : &baseFolder_, place->folder);
  return WriteFile(entry, place->path);
}

ZipResult ZipReader::WriteFile(const ZipEntryInfo& entry, const std::wstring& path) {
  platform::FileWriter output;
  if (!output.Create(path, (entry.attributes & kAttrReadOnly) != 0)) return kZipOpenFailed;

  unz_file_info64 record{};
  if (unzGetCurrentFileInfo64(archive_, &record, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
    return kZipHeaderMismatch;
  }
  // The reader holds no password, so an encrypted entry cannot pass its check.
  if (record.flag & kEncryptedFlag) return kZipPasswordFailed;
  // minizip would run inflate on an unprepared stream for any other method.
  if (record.compression_method != kStored && record.compression_method != Z_DEFLATED) return kZipStreamFailed;
  if (unzOpenCurrentFile(archive_) != UNZ_OK) return kZipStreamFailed;
  openEntry_ = currentEntry_;

  if (!copyBuffer_) copyBuffer_ = std::make_unique<std::uint8_t[]>(kCopyBufferSize);
  ZipResult result = kZipOk;
  for (;;) {
    const int count = unzReadCurrentFile(archive_, copyBuffer_.get(), kCopyBufferSize);
    if (count < 0) {
      result = kZipStreamFailed;
      break;
    }
    if (count > 0) {
      if (!output.Write(copyBuffer_.get(), static_cast<std::size_t>(count))) {
        result = kZipWriteFailed;
        break;
      }
      continue;
    }
    if (unzeof(archive_) != 1) result = kZipStreamFailed;  // no data before the end of the entry
    break;
  }
  if (result == kZipOk) {
    // Data that does not match its CRC-32 is a failed extraction, not a file.
    const int closed = unzCloseCurrentFile(archive_);
    openEntry_ = -1;
    if (closed != UNZ_OK) {
      result = kZipStreamFailed;
    } else if (!output.Commit(entry.accessTime, entry.modificationTime)) {
      result = kZipWriteFailed;
    }
  }
  CloseStream();
  return result;
}

}  // namespace zip
