#include "zip/Zip.h"

#include <atomic>

#include "zip/ZipReader.h"

namespace zip {
namespace {

std::atomic<ZipResult> g_lastResult{kZipOk};

ZipResult Record(ZipResult result) {
  g_lastResult.store(result, std::memory_order_relaxed);
  return result;
}

// The check every handle operation starts with.
ZipResult CheckHandle(const ZipHandle* handle) {
  if (!handle) return kZipBadArgument;
  if (handle->kind != kZipHandleReader || !handle->reader) return kZipNotReader;
  return kZipOk;
}

}  // namespace

ZipHandle* openFromMemory(const void* data, std::size_t size) {
  auto reader = std::make_unique<ZipReader>();
  if (Record(reader->Open(data, size)) != kZipOk) return nullptr;
  return new ZipHandle{kZipHandleReader, reader.release()};
}

ZipResult setBaseFolder(ZipHandle* handle, const std::wstring& folder) {
  if (ZipResult checked = CheckHandle(handle); checked != kZipOk) return Record(checked);
  return Record(handle->reader->SetBaseFolder(folder));
}

ZipResult getEntry(ZipHandle* handle, int index, ZipEntryInfo* info) {
  if (ZipResult checked = CheckHandle(handle); checked != kZipOk) return Record(checked);
  if (!info) return Record(kZipBadArgument);
  return Record(handle->reader->GetEntry(index, *info));
}

ZipResult extractEntry(ZipHandle* handle, int index, const std::wstring& target) {
  if (ZipResult checked = CheckHandle(handle); checked != kZipOk) return Record(checked);
  return Record(handle->reader->ExtractEntry(index, target));
}

ZipResult closeArchive(ZipHandle* handle) {
  if (ZipResult checked = CheckHandle(handle); checked != kZipOk) return Record(checked);
  delete handle->reader;
  delete handle;
  return Record(kZipOk);
}

ZipResult lastResult() { return g_lastResult.load(std::memory_order_relaxed); }

}  // namespace zip
