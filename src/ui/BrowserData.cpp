#include "ui/BrowserData.h"

#include <mutex>

#include "platform/Folders.h"

namespace ui {

std::wstring BrowserData::CacheFolder() {
  return platform::GetSpecialFolder(platform::SpecialFolder::InternetCache);
}

namespace {

// No engine behind it: nothing is cached by URL, only the folder is known.
class EmptyBrowserData : public BrowserData {
 public:
  bool ListUrlCacheEntries(std::vector<UrlCacheEntry>* entries) override {
    entries->clear();
    return true;
  }
  bool DeleteUrlCacheEntry(const std::wstring&) override { return false; }
};

std::mutex g_mutex;
std::shared_ptr<BrowserData> g_data;

}  // namespace

void SetBrowserData(std::shared_ptr<BrowserData> data) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_data = std::move(data);
}

std::shared_ptr<BrowserData> GetBrowserData() {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_data) g_data = std::make_shared<EmptyBrowserData>();
  return g_data;
}

}  // namespace ui
