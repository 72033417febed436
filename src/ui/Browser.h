#pragma once
// ui::Browser: the embedded web browser that shows the login page and the
// game page. It is a child window (class kBrowserWindowClass) whose pixels,
// scripts, network and cookies belong to a browser engine; the desktop
// backend supplies a real engine, the headless backend a scriptable page.
//
// What the client relies on:
// - created in a parent window at a rectangle, moved with MoveWindow and
//   shown or hidden with ShowWindow like any child window;
// - Navigate (loading starts; false when the address was refused), Refresh;
// - events: before-navigate (address, frame or top level, a cancel flag the
//   host may set), navigate-complete, document-complete (once per frame that
//   finishes, the top level flagged), new-window and navigate-error; the host
//   may leave all of them uncancelled;
// - the top-level document: its address, its cookie text and click listeners
//   (connected and disconnected with a cookie, one call per click, with the
//   clicked element and its parents);
// - key messages offered to the page first (TranslateAccelerator), and
//   mouse and key messages that reach the browser window handed to the page.
//
// Everything runs on the user-interface thread.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/Window.h"

namespace ui {

// The class name of the window that receives the page's key messages.
inline constexpr wchar_t kBrowserWindowClass[] = L"Internet Explorer_Server";

// Host flags: how the page is framed.
constexpr DWORD kBrowserNoBorder = 0x1;
constexpr DWORD kBrowserNoScrollBars = 0x2;
constexpr DWORD kBrowserNoContextMenu = 0x4;

// One element of the page as a click reports it.
struct PageElement {
  std::wstring tagName;               // as the page spells it ("a", "A", "IMG", ...)
  std::optional<std::wstring> href;   // the "href" attribute; nullopt when it cannot be read
  bool operator==(const PageElement&) const = default;
};

// A click in a document: the element clicked first, then its parents up to
// the document's root. Empty when the event has no source element.
struct DocumentClick {
  std::vector<PageElement> chain;
};

// Listener of a document's click events. The event is null when the page
// raised the click without an event object.
class DocumentClickListener {
 public:
  virtual ~DocumentClickListener() = default;
  virtual void OnDocumentClick(const DocumentClick* event) = 0;
};

// A loaded top-level document. The object stays valid while someone holds
// it, also after the browser moved on to another document.
class BrowserDocument {
 public:
  virtual ~BrowserDocument() = default;
  virtual std::wstring GetUrl() const = 0;
  // The document's cookies as "name=value; name=value".
  virtual std::wstring GetCookie() const = 0;
  // Connects a listener to the document's click events: a non-zero cookie,
  // 0 when the document offers no click events. The listener must outlive
  // its connection.
  virtual DWORD Advise(DocumentClickListener* listener) = 0;
  // Disconnects; false for an unknown cookie.
  virtual bool Unadvise(DWORD cookie) = 0;
};

// The host's side of the browser's events. Defaults do nothing and cancel
// nothing.
class BrowserEvents {
 public:
  virtual ~BrowserEvents() = default;
  // Before the top level or a frame goes to url; *cancel = true stops it.
  virtual void OnBeforeNavigate(const std::wstring& url, bool topLevel, bool* cancel);
  virtual void OnNavigateComplete(const std::wstring& url, bool topLevel);
  // A document (the top level or a frame) has finished loading.
  virtual void OnDocumentComplete(const std::wstring& url, bool topLevel);
  // The page asks for a new window; *cancel = true refuses it.
  virtual void OnNewWindow(const std::wstring& url, bool* cancel);
  // A navigation failed (statusCode: HTTP status or a negative engine error).
  virtual void OnNavigateError(const std::wstring& url, bool topLevel, int statusCode, bool* cancel);
};

class Browser;

// What a backend's browser engine does for one Browser window.
class BrowserEngine {
 public:
  virtual ~BrowserEngine() = default;
  virtual bool Navigate(const std::wstring& url) = 0;
  virtual void Refresh() = 0;
  // The current top-level document; null before the first one exists.
  virtual std::shared_ptr<BrowserDocument> GetDocument() = 0;
  // Offers a key message to the page: true when the page handled it.
  virtual bool TranslateAccelerator(const Msg& msg) = 0;
  // A mouse or key message reached the browser window: it goes to the page.
  virtual void DeliverInput(const Msg& msg) = 0;
  // The browser window was moved, resized, shown, hidden or destroyed.
  virtual void WindowChanged() = 0;
};

// Makes the engine of every Browser created from now on (set once by the
// backend's start-up; the headless backend's InstallHeadlessBrowser).
using BrowserEngineFactory = std::function<std::unique_ptr<BrowserEngine>(Browser&)>;
void SetBrowserEngineFactory(BrowserEngineFactory factory);
bool HasBrowserEngineFactory();

class Browser : public Window {
 public:
  Browser();
  ~Browser() override;

  // Creates the browser as a visible child of parent at rect (parent's
  // client coordinates). False when the window or the engine cannot be made.
  bool Create(Window* parent, const Rect& rect, int id = 0, DWORD hostFlags = 0);
  DWORD GetHostFlags() const { return hostFlags_; }

  // The host's event handler (not owned; null: no handler).
  void SetEvents(BrowserEvents* events) { events_ = events; }
  BrowserEvents* GetEvents() const { return events_; }

  bool Navigate(const std::wstring& url);
  void Refresh();
  std::shared_ptr<BrowserDocument> GetDocument();
  bool TranslateAccelerator(const Msg& msg);
  // Null before Create. The engine lives as long as this object, so an
  // event handler that destroys the window does not pull the engine away
  // from under the event it is raising.
  BrowserEngine* GetEngine() const { return engine_.get(); }

  // --- Raised by the engine; each returns whether the host cancelled ---
  bool RaiseBeforeNavigate(const std::wstring& url, bool topLevel);
  void RaiseNavigateComplete(const std::wstring& url, bool topLevel);
  void RaiseDocumentComplete(const std::wstring& url, bool topLevel);
  bool RaiseNewWindow(const std::wstring& url);
  bool RaiseNavigateError(const std::wstring& url, bool topLevel, int statusCode);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::unique_ptr<BrowserEngine> engine_;
  BrowserEvents* events_ = nullptr;
  DWORD hostFlags_ = 0;
};

}  // namespace ui
