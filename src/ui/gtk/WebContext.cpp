#include "ui/gtk/WebContext.h"

#include <glib/gstdio.h>

#include "platform/Folders.h"
#include "platform/Text.h"

namespace ui::gtk {

std::string BrowserDataFolder() {
  return platform::ToUtf8(platform::GetSpecialFolder(platform::SpecialFolder::AppData)) + "/Zorv/browser";
}

std::string BrowserCacheFolder() {
  return platform::ToUtf8(platform::GetSpecialFolder(platform::SpecialFolder::InternetCache));
}

WebKitWebContext* SharedWebContext() {
  static WebKitWebContext* context = [] {
    std::string data = BrowserDataFolder(), cache = BrowserCacheFolder();
    g_mkdir_with_parents(data.c_str(), 0700);
    g_mkdir_with_parents(cache.c_str(), 0700);
    WebKitWebsiteDataManager* manager = webkit_website_data_manager_new(
        "base-data-directory", data.c_str(), "base-cache-directory", cache.c_str(), nullptr);
    WebKitCookieManager* cookies = webkit_website_data_manager_get_cookie_manager(manager);
    webkit_cookie_manager_set_persistent_storage(cookies, (data + "/cookies.sqlite").c_str(),
                                                 WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
    webkit_cookie_manager_set_accept_policy(cookies, WEBKIT_COOKIE_POLICY_ACCEPT_NO_THIRD_PARTY);
    WebKitWebContext* made = webkit_web_context_new_with_website_data_manager(manager);
    g_object_unref(manager);
    webkit_web_context_set_cache_model(made, WEBKIT_CACHE_MODEL_WEB_BROWSER);
    return made;
  }();
  return context;
}

WebKitWebsiteDataManager* SharedWebsiteData() { return webkit_web_context_get_website_data_manager(SharedWebContext()); }

}  // namespace ui::gtk
