#pragma once
// The process's one web context: every browser view of the client shares it,
// so they share the cookies and the cache. Its website data lives under the
// client's own folders: cookies persistent in an SQLite store in the data
// folder (a login survives a restart and a cache clearing), the HTTP cache in
// the Internet cache folder that the cache cleaner empties.
#include <webkit2/webkit2.h>

#include <string>

namespace ui::gtk {

WebKitWebContext* SharedWebContext();
WebKitWebsiteDataManager* SharedWebsiteData();
// Where the context keeps its data and its cache (UTF-8 paths).
std::string BrowserDataFolder();
std::string BrowserCacheFolder();

}  // namespace ui::gtk
