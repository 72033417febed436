#include "ui/gtk/WebKitData.h"

#include <iterator>

#include "platform/Text.h"
#include "ui/gtk/WaitOnUi.h"
#include "ui/gtk/WebContext.h"

namespace ui::gtk {

namespace {

constexpr DWORD kNormalCacheEntry = 0x00000001;  // NORMAL_CACHE_ENTRY

struct Kind {
  WebKitWebsiteDataTypes type;
  const wchar_t* name;
};

constexpr Kind kKinds[] = {
    {WEBKIT_WEBSITE_DATA_MEMORY_CACHE, L"memory-cache"},
    {WEBKIT_WEBSITE_DATA_DISK_CACHE, L"disk-cache"},
    {WEBKIT_WEBSITE_DATA_OFFLINE_APPLICATION_CACHE, L"offline-cache"},
    {WEBKIT_WEBSITE_DATA_SESSION_STORAGE, L"session-storage"},
    {WEBKIT_WEBSITE_DATA_LOCAL_STORAGE, L"local-storage"},
    {WEBKIT_WEBSITE_DATA_INDEXEDDB_DATABASES, L"indexeddb"},
    {WEBKIT_WEBSITE_DATA_COOKIES, L"cookies"},
    {WEBKIT_WEBSITE_DATA_HSTS_CACHE, L"hsts-cache"},
    {WEBKIT_WEBSITE_DATA_SERVICE_WORKER_REGISTRATIONS, L"service-workers"},
    {WEBKIT_WEBSITE_DATA_DOM_CACHE, L"dom-cache"},
};

WebKitWebsiteDataTypes AllKinds() {
  unsigned all = 0;
  for (const Kind& kind : kKinds) all |= kind.type;
  return WebKitWebsiteDataTypes(all);
}

}  // namespace

WebKitData::~WebKitData() {
  for (auto& [address, item] : listed_) webkit_website_data_unref(item.first);
}

// The answer of an asynchronous call; shared with the callback, which may
// come after the caller gave up waiting.
struct WebKitData::Answer {
  GList* fetched = nullptr;
  bool ok = false;
  std::function<void()> done;
  ~Answer() { g_list_free_full(fetched, reinterpret_cast<GDestroyNotify>(webkit_website_data_unref)); }
};

bool WebKitData::ListUrlCacheEntries(std::vector<UrlCacheEntry>* entries) {
  entries->clear();
  auto answer = std::make_shared<Answer>();
  bool finished = WaitOnUi([answer](std::function<void()> done) {
    answer->done = std::move(done);
    webkit_website_data_manager_fetch(
        SharedWebsiteData(), AllKinds(), nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
          auto* held = static_cast<std::shared_ptr<Answer>*>(data);
          GError* error = nullptr;
          (*held)->fetched = webkit_website_data_manager_fetch_finish(WEBKIT_WEBSITE_DATA_MANAGER(source), result, &error);
          (*held)->ok = error == nullptr;
          if (error) g_error_free(error);
          (*held)->done();
          delete held;
        },
        new std::shared_ptr<Answer>(answer));
  });
  if (!finished || !answer->ok) return false;
  GList* fetched = answer->fetched;
  std::lock_guard lock(mutex_);
  for (auto& [address, item] : listed_) webkit_website_data_unref(item.first);
  listed_.clear();
  for (GList* node = fetched; node; node = node->next) {
    auto* data = static_cast<WebKitWebsiteData*>(node->data);
    std::wstring site = platform::FromUtf8(webkit_website_data_get_name(data));
    WebKitWebsiteDataTypes types = webkit_website_data_get_types(data);
    for (const Kind& kind : kKinds) {
      if (!(types & kind.type)) continue;
      std::wstring address = std::wstring(kind.name) + L" " + site;
      entries->push_back({address, kind.type == WEBKIT_WEBSITE_DATA_COOKIES ? COOKIE_CACHE_ENTRY : kNormalCacheEntry,
                          webkit_website_data_get_size(data, kind.type)});
      listed_[address] = {webkit_website_data_ref(data), kind.type};
    }
  }
  return true;
}

bool WebKitData::DeleteUrlCacheEntry(const std::wstring& address) {
  std::pair<WebKitWebsiteData*, WebKitWebsiteDataTypes> item;
  {
    std::lock_guard lock(mutex_);
    auto it = listed_.find(address);
    if (it == listed_.end()) return false;
    item = it->second;
    listed_.erase(it);
  }
  auto answer = std::make_shared<Answer>();
  bool finished = WaitOnUi([answer, item](std::function<void()> done) {
    answer->done = std::move(done);
    GList one{item.first, nullptr, nullptr};
    webkit_website_data_manager_remove(
        SharedWebsiteData(), item.second, &one, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
          auto* held = static_cast<std::shared_ptr<Answer>*>(data);
          (*held)->ok = webkit_website_data_manager_remove_finish(WEBKIT_WEBSITE_DATA_MANAGER(source), result, nullptr);
          (*held)->done();
          delete held;
        },
        new std::shared_ptr<Answer>(answer));
  });
  webkit_website_data_unref(item.first);
  return finished && answer->ok;
}

}  // namespace ui::gtk
