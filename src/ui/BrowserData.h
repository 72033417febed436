#pragma once
// The browser's stored data as the cache cleaner sees it: the folder that holds
// its HTTP cache and the entries of its URL cache (WinINet's cache index on
// Windows). The desktop maps this to the engine's website data of our own
// cache folder; the headless window system keeps entries in memory.
//
// The cache cleaner calls these from its worker thread. An implementation whose
// engine lives on the user-interface thread hands each call over and waits for
// it; the user-interface thread keeps running its loop meanwhile.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/Types.h"

namespace ui {

// Type bit of a cookie entry (COOKIE_CACHE_ENTRY).
inline constexpr DWORD COOKIE_CACHE_ENTRY = 0x00100000;

struct UrlCacheEntry {
  // Names the entry uniquely among those listed (the source URL on Windows).
  // An engine that keeps several kinds of data for one site lists one entry
  // per site and kind, so deleting one never takes the site's cookies along.
  std::wstring address;
  DWORD type = 0;           // type bits; COOKIE_CACHE_ENTRY for cookies
  std::uint64_t size = 0;   // bytes the entry holds, 0 when unknown
};

class BrowserData {
 public:
  virtual ~BrowserData() = default;
  // The folder of the browser's HTTP cache without a trailing separator, not
  // created; empty when it cannot be determined. By default the special
  // folder InternetCache, which is where our browser keeps its cache.
  virtual std::wstring CacheFolder();
  // A snapshot of the URL cache's entries, in the engine's order. False when
  // the cache cannot be enumerated (entries is then left empty).
  virtual bool ListUrlCacheEntries(std::vector<UrlCacheEntry>* entries) = 0;
  // Deletes the entry listed under address; false when there is none or it
  // cannot be deleted.
  virtual bool DeleteUrlCacheEntry(const std::wstring& address) = 0;
};

// The browser data of this process, installed by the window backend at
// start-up (or by a test); safe from any thread. Until one is installed, and
// after SetBrowserData(nullptr), a stand-in with an empty URL cache and the
// default cache folder answers.
void SetBrowserData(std::shared_ptr<BrowserData> data);
std::shared_ptr<BrowserData> GetBrowserData();

}  // namespace ui
