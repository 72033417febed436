// A small program on the desktop backend for the end-to-end tests: it builds
// the kinds of windows the client builds (frameless top-level windows with
// children, a per-pixel-alpha picture, a colour-keyed popup, a browser, a
// frame and a docked window), prints what happens on stdout, one line per
// event, and takes commands on stdin, one per line.
//
//   desktop_probe windows          then: max | min | restore | full | menu | quit
//   desktop_probe browser URL      prints page events; cancels "play_gamecode"
//   desktop_probe hotkeys          registers F10 and Ctrl+Alt+K
//   desktop_probe frame            a frame window; then: close | quit
//   desktop_probe dock FRAME URL   docks a page into the frame window FRAME
//   desktop_probe data URL         loads URL, then clears the URL cache but for
//                                  cookies from a worker thread, as the cache
//                                  cleaner does
#include <gtk/gtk.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/Text.h"
#include "ui/Browser.h"
#include "ui/BrowserData.h"
#include "ui/Menu.h"
#include "ui/Messages.h"
#include "ui/Surface.h"
#include "ui/System.h"
#include "ui/Tray.h"
#include "ui/Window.h"
#include "ui/gtk/Desktop.h"

namespace {

using ui::UINT;

constexpr UINT WM_PROBE_COMMAND = ui::WM_APP + 1;
constexpr UINT WM_PROBE_RELAYOUT = ui::WM_APP + 2;

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

std::string Narrow(const std::wstring& text) { return platform::ToUtf8(text); }

// A window that fills itself with one colour and hands stdin commands and
// private messages to a callback.
class ColourWindow : public ui::Window {
 public:
  explicit ColourWindow(ui::COLORREF colour) : colour_(colour) {}
  std::function<ui::LRESULT(UINT, ui::WPARAM, ui::LPARAM)> onMessage;

 protected:
  ui::COLORREF GetBackgroundColor() const override { return colour_; }
  ui::LRESULT WindowProc(UINT message, ui::WPARAM wParam, ui::LPARAM lParam) override {
    if (onMessage && (message >= ui::WM_USER || message == ui::WM_CLOSE || message == ui::WM_HOTKEY))
      return onMessage(message, wParam, lParam);
    return ui::Window::WindowProc(message, wParam, lParam);
  }

 private:
  ui::COLORREF colour_;
};

bool Create(ui::Window& window, const ui::Rect& rect, ui::DWORD style, ui::HWND parent = 0, ui::DWORD exStyle = 0) {
  ui::CreateParams params;
  params.className = L"ProbeWindow";
  params.text = L"probe";
  params.style = style;
  params.exStyle = exStyle;
  params.rect = rect;
  params.parent = parent;
  return window.CreateEx(params);
}

// Commands from stdin reach the window as private messages holding the line.
std::string* g_line = nullptr;
gboolean OnStdin(GIOChannel* channel, GIOCondition, gpointer target) {
  gchar* text = nullptr;
  gsize length = 0;
  GIOStatus status = g_io_channel_read_line(channel, &text, &length, nullptr, nullptr);
  if (status != G_IO_STATUS_NORMAL) {
    ui::PostQuitMessage(0);
    return G_SOURCE_REMOVE;
  }
  std::string line(text, length);
  g_free(text);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  g_line = &line;
  ui::SendMessage(ui::HWND(GPOINTER_TO_SIZE(target)), WM_PROBE_COMMAND, 0, 0);
  g_line = nullptr;
  return G_SOURCE_CONTINUE;
}

void ListenToStdin(ui::HWND target) {
  GIOChannel* channel = g_io_channel_unix_new(0);
  g_io_add_watch(channel, GIOCondition(G_IO_IN | G_IO_HUP), OnStdin, GSIZE_TO_POINTER(target));
}

std::string Handle(ui::HWND hwnd) { return std::to_string(hwnd); }

class PrintingEvents : public ui::BrowserEvents {
 public:
  explicit PrintingEvents(ui::Browser& browser) : browser_(browser) {}
  void OnBeforeNavigate(const std::wstring& url, bool topLevel, bool* cancel) override {
    Say("before " + std::to_string(topLevel) + " " + Narrow(url));
    // As the login screen does: the hand-over address never loads here.
    if (!afterCancel.empty() && url.find(L"play_gamecode") != std::wstring::npos) {
      *cancel = true;
      Say("cancelled " + Narrow(url));
      browser_.Navigate(afterCancel);
    }
  }
  void OnNavigateComplete(const std::wstring& url, bool topLevel) override {
    Say("navigated " + std::to_string(topLevel) + " " + Narrow(url));
  }
  void OnDocumentComplete(const std::wstring& url, bool topLevel) override {
    Say("document-complete " + std::to_string(topLevel) + " " + Narrow(url));
    if (!topLevel || first_) return;
    first_ = true;
    // As the login screen does: the page is shown once it has loaded.
    if (!shownRect.IsEmpty()) browser_.MoveWindow(shownRect, true);
    // A key aimed at the browser window gives the page the keyboard.
    browser_.SendMessage(ui::WM_KEYDOWN, ui::VK_SHIFT, 0);
    Say("ready " + Handle(browser_.GetTopLevelParent()->GetSafeHwnd()));
  }
  std::wstring afterCancel;
  ui::Rect shownRect;

 private:
  ui::Browser& browser_;
  bool first_ = false;
};

int RunWindows() {
  ColourWindow main(ui::RGB(200, 0, 0));
  Create(main, ui::Rect::FromXYWH(100, 80, 400, 300), ui::WS_POPUP);
  ColourWindow child(ui::RGB(0, 0, 220));
  Create(child, ui::Rect::FromXYWH(50, 40, 100, 60), ui::WS_CHILD | ui::WS_VISIBLE, main.GetSafeHwnd());
  main.ShowWindow(ui::SW_SHOW);

  // Per-pixel alpha: the left half opaque green, the right half transparent.
  ColourWindow picture(ui::RGB(0, 0, 0));
  Create(picture, ui::Rect::FromXYWH(600, 80, 200, 100), ui::WS_POPUP, 0, ui::WS_EX_LAYERED);
  ui::Surface image(200, 100);
  image.FillRect({0, 0, 100, 100}, {0, 160, 0, 255});
  picture.UpdateLayeredWindow(nullptr, nullptr, image, {0, 0}, 255, ui::LWA_ALPHA);
  picture.ShowWindow(ui::SW_SHOWNA);

  // Colour key: the top half pure green (transparent), the bottom half grey.
  class KeyedWindow : public ui::Window {
   protected:
    bool OnEraseBkgnd(ui::Surface& s) override {
      s.FillRect({0, 0, 200, 50}, {0, 255, 0, 255}, ui::Blend::Copy);
      s.FillRect({0, 50, 200, 50}, {128, 128, 128, 255}, ui::Blend::Copy);
      return true;
    }
  } keyed;
  Create(keyed, ui::Rect::FromXYWH(900, 80, 200, 100), ui::WS_POPUP, main.GetSafeHwnd(), ui::WS_EX_LAYERED);
  keyed.SetLayeredWindowAttributes(ui::RGB(0, 255, 0), 250, ui::LWA_COLORKEY | ui::LWA_ALPHA);
  keyed.ShowWindow(ui::SW_SHOWNA);

  ui::NotifyIconData icon;
  icon.hWnd = main.GetSafeHwnd();
  icon.uID = 1;
  icon.uFlags = ui::NIF_MESSAGE | ui::NIF_ICON | ui::NIF_TIP;
  icon.uCallbackMessage = ui::WM_TRAYNOTIFY;
  icon.hIcon = ui::LoadIcon(128, 16, 16);
  icon.szTip = L"probe";
  bool tray = ui::Shell_NotifyIcon(ui::NIM_ADD, icon);

  main.onMessage = [&](UINT message, ui::WPARAM, ui::LPARAM) -> ui::LRESULT {
    if (message != WM_PROBE_COMMAND) return 0;
    std::string command = *g_line;
    if (command == "max") main.ShowWindow(ui::SW_MAXIMIZE);
    else if (command == "min") main.ShowWindow(ui::SW_MINIMIZE);
    else if (command == "restore") main.ShowWindow(ui::SW_RESTORE);
    else if (command == "full") main.MoveWindow(0, 0, ui::GetSystemMetrics(ui::SM_CXSCREEN), ui::GetSystemMetrics(ui::SM_CYSCREEN));
    else if (command == "quit") ui::PostQuitMessage(0);
    else if (command == "menu") {
      ui::Menu menu{{{32775, L"&Show"}, {0, L"", {}, true}, {32776, L"E&xit"}}};
      Say("menu " + std::to_string(ui::TrackPopupMenu(menu, ui::TPM_RETURNCMD, 300, 300, main.GetSafeHwnd())));
      return 0;
    }
    ui::PumpMessages();
    ui::Rect r = main.GetWindowRect();
    Say("state " + std::to_string(int(main.GetShowState())) + " " + std::to_string(r.left) + " " + std::to_string(r.top) +
        " " + std::to_string(r.Width()) + " " + std::to_string(r.Height()));
    return 0;
  };
  ListenToStdin(main.GetSafeHwnd());
  ui::PumpMessages();
  Say("ready " + Handle(main.GetSafeHwnd()) + " " + Handle(picture.GetSafeHwnd()) + " " + Handle(keyed.GetSafeHwnd()) +
      " tray=" + std::to_string(tray));
  return ui::RunMessageLoop();
}

int RunBrowser(const std::string& url, const std::string& afterCancel) {
  ColourWindow host(ui::RGB(30, 30, 30));
  Create(host, ui::Rect::FromXYWH(0, 0, 690, 513), ui::WS_POPUP, 0, ui::WS_EX_LAYERED);
  host.SetLayeredWindowAttributes(ui::RGB(0, 255, 0), 250, ui::LWA_COLORKEY | ui::LWA_ALPHA);
  ui::Browser browser;
  PrintingEvents events(browser);
  events.afterCancel = platform::FromUtf8(afterCancel);
  browser.SetEvents(&events);
  // Kept at no size until the page has loaded, as the login screen does.
  events.shownRect = ui::Rect::FromXYWH(0, 61, 690, 452);
  if (!browser.Create(&host, {}, 100, ui::kBrowserNoBorder | ui::kBrowserNoScrollBars)) {
    Say("no browser");
    return 1;
  }
  host.ShowWindow(ui::SW_SHOW);
  host.onMessage = [&](UINT message, ui::WPARAM, ui::LPARAM) -> ui::LRESULT {
    if (message == WM_PROBE_COMMAND && *g_line == "quit") ui::PostQuitMessage(0);
    return 0;
  };
  ListenToStdin(host.GetSafeHwnd());
  Say(browser.Navigate(platform::FromUtf8(url)) ? "navigating" : "refused");
  return ui::RunMessageLoop();
}

std::string DescribeEntries() {
  std::vector<ui::UrlCacheEntry> entries;
  if (!ui::GetBrowserData()->ListUrlCacheEntries(&entries)) return "unlistable";
  std::string text = std::to_string(entries.size());
  for (const ui::UrlCacheEntry& e : entries)
    text += " [" + Narrow(e.address) + (e.type & ui::COOKIE_CACHE_ENTRY ? " cookie]" : "]");
  return text;
}

int RunData(const std::string& url) {
  ColourWindow host(ui::RGB(30, 30, 30));
  Create(host, ui::Rect::FromXYWH(0, 0, 400, 300), ui::WS_POPUP);
  ui::Browser browser;
  struct Events : ui::BrowserEvents {
    ui::HWND host = 0;
    bool started = false;
    void OnDocumentComplete(const std::wstring&, bool topLevel) override {
      if (!topLevel || started) return;
      started = true;
      ui::HWND target = host;
      ui::BeginThread([target] {
        Say("before " + DescribeEntries());
        std::vector<ui::UrlCacheEntry> entries;
        ui::GetBrowserData()->ListUrlCacheEntries(&entries);
        for (const ui::UrlCacheEntry& e : entries)
          if (!(e.type & ui::COOKIE_CACHE_ENTRY) && !ui::GetBrowserData()->DeleteUrlCacheEntry(e.address))
            Say("not deleted " + Narrow(e.address));
        Say("after " + DescribeEntries());
        Say("folder " + Narrow(ui::GetBrowserData()->CacheFolder()));
        ui::SendMessage(target, WM_PROBE_RELAYOUT);
      });
    }
  } events;
  events.host = host.GetSafeHwnd();
  browser.SetEvents(&events);
  browser.Create(&host, host.GetClientRect(), 100);
  host.ShowWindow(ui::SW_SHOW);
  host.onMessage = [&](UINT message, ui::WPARAM, ui::LPARAM) -> ui::LRESULT {
    if (message == WM_PROBE_RELAYOUT) ui::PostQuitMessage(0);
    return 0;
  };
  browser.Navigate(platform::FromUtf8(url));
  return ui::RunMessageLoop();
}

int RunHotkeys() {
  ColourWindow window(ui::RGB(0, 120, 0));
  Create(window, ui::Rect::FromXYWH(10, 10, 200, 100), ui::WS_POPUP);
  window.ShowWindow(ui::SW_SHOW);
  window.onMessage = [&](UINT message, ui::WPARAM wParam, ui::LPARAM) -> ui::LRESULT {
    if (message == ui::WM_HOTKEY) Say("hotkey " + std::to_string(wParam));
    if (message == WM_PROBE_COMMAND && *g_line == "quit") ui::PostQuitMessage(0);
    return 0;
  };
  bool f10 = ui::RegisterHotKey(window.GetSafeHwnd(), 1, 0, ui::VK_F10);
  bool chord = ui::RegisterHotKey(window.GetSafeHwnd(), 2, ui::MOD_CONTROL | ui::MOD_ALT, 'K');
  bool again = ui::RegisterHotKey(window.GetSafeHwnd(), 3, 0, ui::VK_F10);
  ListenToStdin(window.GetSafeHwnd());
  Say("registered " + std::to_string(f10) + " " + std::to_string(chord) + " " + std::to_string(again));
  return ui::RunMessageLoop();
}

int RunFrame() {
  ColourWindow frame(ui::RGB(90, 0, 90));
  Create(frame, ui::Rect::FromXYWH(200, 150, 800, 600), ui::WS_POPUP);
  frame.ShowWindow(ui::SW_SHOW);
  ui::HWND docked = 0;
  frame.onMessage = [&](UINT message, ui::WPARAM wParam, ui::LPARAM) -> ui::LRESULT {
    if (message == ui::WM_GAMEWND_ATTACH) {
      docked = wParam;
      Say("attach " + Handle(docked));
      frame.PostMessage(WM_PROBE_RELAYOUT);
    } else if (message == WM_PROBE_RELAYOUT) {
      Say("relayout-full " + std::to_string(ui::SendMessage(docked, ui::WM_GAMEWND_RELAYOUT, 1, 0)));
    } else if (message == WM_PROBE_COMMAND) {
      if (*g_line == "strip") Say("relayout-strip " + std::to_string(ui::SendMessage(docked, ui::WM_GAMEWND_RELAYOUT, 0, 0)));
      if (*g_line == "close") Say("closed " + std::to_string(ui::SendMessage(docked, ui::WM_CLOSE, 0, 0)));
      if (*g_line == "quit") ui::PostQuitMessage(0);
    }
    return 0;
  };
  ListenToStdin(frame.GetSafeHwnd());
  Say("frame " + Handle(frame.GetSafeHwnd()));
  return ui::RunMessageLoop();
}

int RunDock(ui::HWND frame, const std::string& url) {
  ColourWindow docked(ui::RGB(0, 90, 90));
  ui::Rect client;
  ui::GetClientRect(frame, &client);
  if (!Create(docked, ui::Rect::FromXYWH(client.left, client.top + 30, client.Width(), client.Height() - 30),
              ui::WS_CHILD | ui::WS_VISIBLE, frame)) {
    Say("no window");
    return 1;
  }
  ui::Browser browser;
  PrintingEvents events(browser);
  browser.SetEvents(&events);
  browser.Create(&docked, docked.GetClientRect(), 10000);
  docked.onMessage = [&](UINT message, ui::WPARAM wParam, ui::LPARAM) -> ui::LRESULT {
    if (message == ui::WM_GAMEWND_RELAYOUT) {
      ui::Rect r;
      ui::GetClientRect(frame, &r);
      if (!wParam) r.top += 30;
      docked.MoveWindow(r, false);
      browser.MoveWindow(docked.GetClientRect(), false);
      Say("relayout " + std::to_string(wParam));
      return 7;
    }
    if (message == ui::WM_CLOSE) {
      Say("close");
      ui::PostQuitMessage(0);
    }
    return 0;
  };
  docked.SetParent(frame);
  browser.Navigate(platform::FromUtf8(url));
  Say("attached " + Handle(docked.GetSafeHwnd()) + " " +
      std::to_string(ui::SendMessage(frame, ui::WM_GAMEWND_ATTACH, docked.GetSafeHwnd(), 0)));
  // The frame may vanish without a word: its window then stops being one.
  static std::atomic<bool> stop{false};
  ui::HWND self = docked.GetSafeHwnd();
  ui::BeginThread([frame, self] {
    while (!stop && ui::IsWindow(frame)) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (stop) return;
    Say("frame-gone");
    ui::PostMessage(self, ui::WM_CLOSE);
  });
  int code = ui::RunMessageLoop();
  stop = true;
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  auto backend = ui::gtk::CreateDesktopBackend();
  if (!backend) {
    Say("no display");
    return 2;
  }
  ui::Init(std::move(backend));
  int code = 3;
  if (mode == "windows") code = RunWindows();
  else if (mode == "browser" && argc > 3) code = RunBrowser(argv[2], argv[3]);
  else if (mode == "hotkeys") code = RunHotkeys();
  else if (mode == "data" && argc > 2) code = RunData(argv[2]);
  else if (mode == "frame") code = RunFrame();
  else if (mode == "dock" && argc > 3) code = RunDock(std::strtoull(argv[2], nullptr, 10), argv[3]);
  ui::Shutdown();
  Say("exit " + std::to_string(code));
  return code;
}
