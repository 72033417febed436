#include "ui/gtk/WebKitEngine.h"

#include <webkit2/webkit2.h>

#include <map>
#include <optional>
#include <string>

#include "platform/Text.h"
#include "ui/FrameworkState.h"
#include "ui/Input.h"
#include "ui/gtk/DesktopBackend.h"
#include "ui/gtk/WaitOnUi.h"
#include "ui/gtk/WebContext.h"
#include "ui/gtk/WebKitData.h"

namespace ui::gtk {

namespace {

constexpr char kClickHandler[] = "zorvClick";
constexpr char kFrameHandler[] = "zorvFrame";

// Every click in the top-level document, captured before the page's own
// handlers, with the clicked element and its parents.
constexpr char kClickScript[] = R"JS(
document.addEventListener('click', function (event) {
  var chain = [];
  for (var node = event.target; node && node.nodeType === 1; node = node.parentElement)
    chain.push({tag: node.tagName, href: node.hasAttribute('href') ? node.getAttribute('href') : null});
  window.webkit.messageHandlers.zorvClick.postMessage(chain);
}, true);
)JS";

// A frame's document has loaded.
constexpr char kFrameScript[] = R"JS(
if (window !== window.top)
  window.addEventListener('load', function () { window.webkit.messageHandlers.zorvFrame.postMessage(location.href); });
)JS";

constexpr char kNoScrollBarsStyle[] = "html, body { overflow: hidden !important; }";

std::wstring Wide(const char* utf8) { return utf8 ? platform::FromUtf8(utf8) : std::wstring(); }

class WebKitDocument : public BrowserDocument {
 public:
  WebKitDocument(WebKitWebView* view, std::wstring url) : view_(view), url_(std::move(url)) {
    g_object_add_weak_pointer(G_OBJECT(view_), reinterpret_cast<gpointer*>(&view_));
  }
  ~WebKitDocument() override { Detach(); }

  void Detach() {
    if (view_) g_object_remove_weak_pointer(G_OBJECT(view_), reinterpret_cast<gpointer*>(&view_));
    view_ = nullptr;
  }

  std::wstring GetUrl() const override { return url_; }

  std::wstring GetCookie() const override {
    if (!view_) return {};
    struct Read {
      std::string text;
      std::function<void()> done;
    };
    auto read = std::make_shared<Read>();
    WebKitWebView* view = view_;
    WaitOnUi([view, read](std::function<void()> done) {
      read->done = std::move(done);
      auto* holder = new std::shared_ptr<Read>(read);
      webkit_web_view_evaluate_javascript(
          view, "document.cookie", -1, nullptr, nullptr, nullptr,
          [](GObject* source, GAsyncResult* result, gpointer data) {
            auto* held = static_cast<std::shared_ptr<Read>*>(data);
            if (JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr)) {
              if (jsc_value_is_string(value)) {
                char* text = jsc_value_to_string(value);
                (*held)->text = text;
                g_free(text);
              }
              g_object_unref(value);
            }
            (*held)->done();
            delete held;
          },
          holder);
    });
    return platform::FromUtf8(read->text);
  }

  DWORD Advise(DocumentClickListener* listener) override {
    if (!listener) return 0;
    DWORD cookie = nextCookie_++;
    listeners_[cookie] = listener;
    return cookie;
  }

  bool Unadvise(DWORD cookie) override { return listeners_.erase(cookie) != 0; }

  void Click(const DocumentClick* event) {
    // A listener may disconnect itself (or others) while it hears the click.
    std::map<DWORD, DocumentClickListener*> now = listeners_;
    for (auto& [cookie, listener] : now)
      if (listeners_.count(cookie)) listener->OnDocumentClick(event);
  }

 private:
  WebKitWebView* view_;
  std::wstring url_;
  std::map<DWORD, DocumentClickListener*> listeners_;
  DWORD nextCookie_ = 1;
};

class WebKitPage : public BrowserEngine {
 public:
  explicit WebKitPage(Browser& browser) : browser_(browser), hwnd_(browser.GetSafeHwnd()) {
    content_ = webkit_user_content_manager_new();
    view_ = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", SharedWebContext(), "user-content-manager",
                                    content_, nullptr));
    g_object_ref_sink(view_);
    g_signal_connect(content_, "script-message-received::zorvClick", G_CALLBACK(OnClickMessage), this);
    g_signal_connect(content_, "script-message-received::zorvFrame", G_CALLBACK(OnFrameMessage), this);
    webkit_user_content_manager_register_script_message_handler(content_, kClickHandler);
    webkit_user_content_manager_register_script_message_handler(content_, kFrameHandler);
    AddScript(kClickScript, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START);
    AddScript(kFrameScript, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START);
    if (browser.GetHostFlags() & kBrowserNoScrollBars) {
      WebKitUserStyleSheet* sheet =
          webkit_user_style_sheet_new(kNoScrollBarsStyle, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                      WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
      webkit_user_content_manager_add_style_sheet(content_, sheet);
      webkit_user_style_sheet_unref(sheet);
    }
    g_signal_connect(view_, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(OnLoadChanged), this);
    g_signal_connect(view_, "load-failed", G_CALLBACK(OnLoadFailed), this);
    g_signal_connect(view_, "create", G_CALLBACK(OnCreate), this);
    g_signal_connect(view_, "context-menu", G_CALLBACK(OnContextMenu), this);
    g_signal_connect(view_, "button-press-event", G_CALLBACK(OnButtonPress), this);
    if (DesktopBackend* backend = DesktopBackend::Current()) backend->AddHostedWidget(hwnd_, view_);
  }

  ~WebKitPage() override {
    if (document_) document_->Detach();
    if (DesktopBackend* backend = DesktopBackend::Current()) backend->RemoveHostedWidget(hwnd_);
    g_signal_handlers_disconnect_by_data(view_, this);
    g_signal_handlers_disconnect_by_data(content_, this);
    webkit_web_view_stop_loading(WEBKIT_WEB_VIEW(view_));
    gtk_widget_destroy(view_);
    g_object_unref(view_);
    g_object_unref(content_);
  }

  bool Navigate(const std::wstring& url) override {
    if (url.empty()) return false;
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view_), platform::ToUtf8(url).c_str());
    return true;
  }

  void Refresh() override { webkit_web_view_reload(WEBKIT_WEB_VIEW(view_)); }

  std::shared_ptr<BrowserDocument> GetDocument() override { return document_; }

  // The page's own key handling runs when the key reaches the view, after
  // the windows' pre-translation let it through: nothing is claimed here.
  bool TranslateAccelerator(const Msg&) override { return false; }

  void DeliverInput(const Msg& msg) override {
    // Keys aimed at the browser window while the view lacks the keyboard
    // focus: the view takes it, so the keys that follow reach the page.
    if (msg.message >= WM_KEYDOWN && msg.message <= WM_SYSKEYUP && !gtk_widget_has_focus(view_))
      gtk_widget_grab_focus(view_);
  }

  void WindowChanged() override {
    if (DesktopBackend* backend = DesktopBackend::Current()) backend->PlaceHostedWidgets();
  }

 private:
  void AddScript(const char* source, WebKitUserContentInjectedFrames frames, WebKitUserScriptInjectionTime time) {
    WebKitUserScript* script = webkit_user_script_new(source, frames, time, nullptr, nullptr);
    webkit_user_content_manager_add_script(content_, script);
    webkit_user_script_unref(script);
  }

  static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                 gpointer self) {
    auto& me = *static_cast<WebKitPage*>(self);
    // New windows are asked for in the "create" signal.
    if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return FALSE;
    auto* navigation = WEBKIT_NAVIGATION_POLICY_DECISION(decision);
    WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(navigation);
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    std::wstring url = Wide(webkit_uri_request_get_uri(request));
    // A navigation that names a target frame is a frame's.
    const char* frame = webkit_navigation_action_get_frame_name(action);
    bool topLevel = !frame || !*frame;
    if (me.browser_.RaiseBeforeNavigate(url, topLevel)) {
      webkit_policy_decision_ignore(decision);
      return TRUE;
    }
    webkit_policy_decision_use(decision);
    return TRUE;
  }

  static void OpenOutside(GtkWidget* view, const std::wstring& url) {
    GtkWidget* top = gtk_widget_get_toplevel(view);
    gtk_show_uri_on_window(GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr, platform::ToUtf8(url).c_str(),
                           GDK_CURRENT_TIME, nullptr);
  }

  static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self) {
    auto& me = *static_cast<WebKitPage*>(self);
    std::wstring url = Wide(webkit_web_view_get_uri(view));
    if (event == WEBKIT_LOAD_COMMITTED) {
      if (me.document_) me.document_->Detach();
      me.document_ = std::make_shared<WebKitDocument>(view, url);
      me.browser_.RaiseNavigateComplete(url, true);
      WebKitWebResource* resource = webkit_web_view_get_main_resource(view);
      WebKitURIResponse* response = resource ? webkit_web_resource_get_response(resource) : nullptr;
      guint status = response ? webkit_uri_response_get_status_code(response) : 0;
      if (status >= 400 && me.browser_.RaiseNavigateError(url, true, int(status))) webkit_web_view_stop_loading(view);
    } else if (event == WEBKIT_LOAD_FINISHED) {
      me.browser_.RaiseDocumentComplete(url, true);
    }
  }

  static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer self) {
    auto& me = *static_cast<WebKitPage*>(self);
    // A navigation the host cancelled is not an error.
    if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
        g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE))
      return TRUE;
    // A cancelled error page shows nothing instead of the engine's own.
    return me.browser_.RaiseNavigateError(Wide(uri), true, -std::abs(error->code ? error->code : 1)) ? TRUE : FALSE;
  }

  static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer self) {
    auto& me = *static_cast<WebKitPage*>(self);
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    std::wstring url = Wide(webkit_uri_request_get_uri(request));
    // No second browser window: an allowed new window opens outside.
    if (!me.browser_.RaiseNewWindow(url)) OpenOutside(me.view_, url);
    return nullptr;
  }

  static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*, gpointer self) {
    auto& me = *static_cast<WebKitPage*>(self);
    return (me.browser_.GetHostFlags() & kBrowserNoContextMenu) ? TRUE : FALSE;
  }

  static gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self) {
    auto& me = *static_cast<WebKitPage*>(self);
    if (event->type != GDK_BUTTON_PRESS || (event->button != 1 && event->button != 3)) return FALSE;
    ui::Window* w = ui::Window::FromHandle(me.hwnd_);
    if (!w) return FALSE;
    Point screen{int(event->x_root), int(event->y_root)};
    Point origin = w->GetWindowRect().TopLeft();
    Point client{screen.x - origin.x, screen.y - origin.y};
    if (ui::Window* top = w->GetTopLevelParent(); G().foreground != top->GetSafeHwnd()) input::Activated(top->GetSafeHwnd());
    if (!ui::Window::FromHandle(me.hwnd_)) return TRUE;
    w->SetFocus();
    // The press goes through the windows' pre-translation like any mouse
    // message for the browser window; a host may swallow it.
    UINT message = event->button == 1 ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
    WPARAM flags = event->button == 1 ? MK_LBUTTON : MK_RBUTTON;
    Msg msg{me.hwnd_, message, flags, PointToLParam(client.x, client.y), screen};
    if (Framework::PreTranslate(msg)) return TRUE;
    if (ui::Window* still = ui::Window::FromHandle(me.hwnd_)) Framework::Call(*still, msg.message, msg.wParam, msg.lParam);
    return FALSE;
  }

  static void OnClickMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self) {
    auto& me = *static_cast<WebKitPage*>(self);
    if (!me.document_) return;
    JSCValue* value = webkit_javascript_result_get_js_value(result);
    if (!jsc_value_is_array(value)) {
      me.document_->Click(nullptr);
      return;
    }
    DocumentClick click;
    JSCValue* length = jsc_value_object_get_property(value, "length");
    int count = jsc_value_to_int32(length);
    g_object_unref(length);
    for (int i = 0; i < count; ++i) {
      JSCValue* item = jsc_value_object_get_property_at_index(value, guint(i));
      JSCValue* tag = jsc_value_object_get_property(item, "tag");
      JSCValue* href = jsc_value_object_get_property(item, "href");
      PageElement element;
      char* text = jsc_value_to_string(tag);
      element.tagName = platform::FromUtf8(text);
      g_free(text);
      if (jsc_value_is_string(href)) {
        char* link = jsc_value_to_string(href);
        element.href = platform::FromUtf8(link);
        g_free(link);
      }
      click.chain.push_back(std::move(element));
      g_object_unref(href);
      g_object_unref(tag);
      g_object_unref(item);
    }
    // Keep the document alive while its listeners run.
    std::shared_ptr<WebKitDocument> document = me.document_;
    document->Click(&click);
  }

  static void OnFrameMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self) {
    auto& me = *static_cast<WebKitPage*>(self);
    JSCValue* value = webkit_javascript_result_get_js_value(result);
    if (!jsc_value_is_string(value)) return;
    char* url = jsc_value_to_string(value);
    std::wstring frame = platform::FromUtf8(url);
    g_free(url);
    me.browser_.RaiseDocumentComplete(frame, false);
  }

  Browser& browser_;
  HWND hwnd_;
  WebKitUserContentManager* content_ = nullptr;
  GtkWidget* view_ = nullptr;
  std::shared_ptr<WebKitDocument> document_;
};

}  // namespace

std::unique_ptr<BrowserEngine> CreateWebKitEngine(Browser& browser) { return std::make_unique<WebKitPage>(browser); }

void InstallWebKitBrowser() {
  SetBrowserEngineFactory([](Browser& browser) { return CreateWebKitEngine(browser); });
  SetBrowserData(std::make_shared<WebKitData>());
}

}  // namespace ui::gtk
