#pragma once
// The browser data of the headless window system: URL cache entries kept in
// memory, which tests stage and inspect, and a cache folder that tests may
// point elsewhere or make unknown. Safe from any thread.
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ui/BrowserData.h"

namespace ui::headless {

class HeadlessBrowserData : public BrowserData {
 public:
  // Adds an entry at the end of the cache; an entry already listed under the
  // same address is replaced in place.
  void AddEntry(UrlCacheEntry entry);
  std::vector<UrlCacheEntry> Entries() const;
  // Addresses of every successful deletion, in order.
  std::vector<std::wstring> Deleted() const;
  // A cache that cannot be enumerated (ListUrlCacheEntries fails).
  void SetListable(bool listable);
  // The folder CacheFolder reports; std::nullopt goes back to the default.
  // An empty path stands for a folder that cannot be determined.
  void SetCacheFolder(std::optional<std::wstring> folder);

  std::wstring CacheFolder() override;
  bool ListUrlCacheEntries(std::vector<UrlCacheEntry>* entries) override;
  bool DeleteUrlCacheEntry(const std::wstring& address) override;

 private:
  mutable std::mutex mutex_;
  std::vector<UrlCacheEntry> entries_;
  std::vector<std::wstring> deleted_;
  bool listable_ = true;
  std::optional<std::wstring> folder_;
};

}  // namespace ui::headless
