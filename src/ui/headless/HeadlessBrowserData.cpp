#include "ui/headless/HeadlessBrowserData.h"

#include <algorithm>

namespace ui::headless {

void HeadlessBrowserData::AddEntry(UrlCacheEntry entry) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto same = std::find_if(entries_.begin(), entries_.end(),
                           [&](const UrlCacheEntry& e) { return e.address == entry.address; });
  if (same != entries_.end())
    *same = std::move(entry);
  else
    entries_.push_back(std::move(entry));
}

std::vector<UrlCacheEntry> HeadlessBrowserData::Entries() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_;
}

std::vector<std::wstring> HeadlessBrowserData::Deleted() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return deleted_;
}

void HeadlessBrowserData::SetListable(bool listable) {
  std::lock_guard<std::mutex> lock(mutex_);
  listable_ = listable;
}

void HeadlessBrowserData::SetCacheFolder(std::optional<std::wstring> folder) {
  std::lock_guard<std::mutex> lock(mutex_);
  folder_ = std::move(folder);
}

std::wstring HeadlessBrowserData::CacheFolder() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (folder_) return *folder_;
  }
  return BrowserData::CacheFolder();
}

bool HeadlessBrowserData::ListUrlCacheEntries(std::vector<UrlCacheEntry>* entries) {
  std::lock_guard<std::mutex> lock(mutex_);
  entries->clear();
  if (!listable_) return false;
  *entries = entries_;
  return true;
}

bool HeadlessBrowserData::DeleteUrlCacheEntry(const std::wstring& address) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const UrlCacheEntry& e) { return e.address == address; });
  if (it == entries_.end()) return false;
  entries_.erase(it);
  deleted_.push_back(address);
  return true;
}

}  // namespace ui::headless
