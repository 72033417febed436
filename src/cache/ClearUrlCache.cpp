#include "cache/ClearUrlCache.h"

#include <string>
#include <vector>

#include "platform/Debug.h"
#include "ui/BrowserData.h"

bool ClearUrlCache() {
  std::shared_ptr<ui::BrowserData> data = ui::GetBrowserData();
  std::vector<ui::UrlCacheEntry> entries;
  const bool found = data->ListUrlCacheEntries(&entries) && !entries.empty();

  // The run reports two lookups, the size query of the first entry and the
  // start of the enumeration; one listing answers both here.
  if (!found) {
    platform::DebugOutput(L"*******第一次查找缓存:未找到缓存。************\r\n");
    platform::DebugOutput(L"*******第二次查找缓存:未找到缓存。************\r\n");
    return false;
  }
  const std::wstring size = std::to_wstring(entries.front().size);
  platform::DebugOutput(L"*******第一次查找缓存:缓存大小为:" + size + L"。************\r\n");
  platform::DebugOutput(L"*******第二次查找缓存:缓存大小为:" + size + L"。************\r\n");
  for (const ui::UrlCacheEntry& entry : entries) {
    if (!(entry.type & ui::COOKIE_CACHE_ENTRY)) data->DeleteUrlCacheEntry(entry.address);
  }
  return true;
}
