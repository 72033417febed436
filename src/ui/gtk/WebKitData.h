#pragma once
// The URL cache of the shared web context as the cache cleaner sees it: one
// entry per site and kind of website data ("disk-cache 127.0.0.1"), cookies
// typed as cookie entries, so that deleting every other entry clears each
// cache kind but never a site's cookies. Safe from any thread: the work runs
// on the user-interface thread.
#include <webkit2/webkit2.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "ui/BrowserData.h"

namespace ui::gtk {

class WebKitData : public BrowserData {
 public:
  ~WebKitData() override;
  bool ListUrlCacheEntries(std::vector<UrlCacheEntry>* entries) override;
  bool DeleteUrlCacheEntry(const std::wstring& address) override;

 private:
  struct Answer;
  std::mutex mutex_;
  // What each listed address names: the site's data object and one kind.
  std::map<std::wstring, std::pair<WebKitWebsiteData*, WebKitWebsiteDataTypes>> listed_;
};

}  // namespace ui::gtk
