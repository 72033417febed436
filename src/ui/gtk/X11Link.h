#pragma once
// Windows of other processes on the X display, and the window messages that
// travel between processes as X11 client messages (the docking protocol).
//
// A message goes to the X window that is the target's handle. A sent message
// names a reply window of ours and a serial; the receiver answers with the
// result, and the sender waits for it with a time-out. While the
// user-interface thread waits, it handles messages other processes send to
// its own windows, so two processes sending to each other at once both go on.
//
// The link has its own connection to the display, guarded by a mutex, so any
// thread may ask about foreign windows without touching the toolkit's
// connection.
#include <gdk/gdk.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>

#include "ui/Types.h"

struct _XDisplay;

namespace ui::gtk {

class X11Link {
 public:
  // toolkitDisplay: the toolkit's connection, on which our own windows
  // receive messages.
  explicit X11Link(GdkDisplay* toolkitDisplay);
  ~X11Link();
  X11Link(const X11Link&) = delete;
  X11Link& operator=(const X11Link&) = delete;

  bool IsOpen() const { return display_ != nullptr; }

  // --- Any thread ---
  bool WindowExists(HWND hwnd);
  bool WindowRect(HWND hwnd, Rect* screenRect);
  bool IsMapped(HWND hwnd);
  // Waits for the receiver's answer at most timeout; 0 when the window is
  // gone or does not answer in time.
  LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  bool Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  // A window of ours lives inside another process's window: when that one
  // goes, the X server takes ours along, and the toolkit's late requests on
  // it fail. Such errors are then not fatal to the process.
  void TolerateVanishedWindows();

  static constexpr auto kSendTimeout = std::chrono::seconds(3);

 // Set by the X error handler for errors on the link's own connection.
  void NoteError() { errorSeen_ = true; }

 private:
  struct Request {
    unsigned long target;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    unsigned long replyTo;
    long serial;
  };
  static GdkFilterReturn Filter(GdkXEvent* xevent, GdkEvent* event, gpointer self);
  static gboolean RunQueued(gpointer self);
  // Handles the messages other processes sent to our windows (UI thread).
  void HandleQueued();
  void Handle(const Request& request);
  // Takes requests waiting on the toolkit connection (UI thread).
  void TakeWaitingRequests();
  bool SendEvent(HWND hwnd, const long data[5]);

  GdkDisplay* toolkit_;
  ::_XDisplay* display_ = nullptr;
  std::mutex mutex_;  // guards display_ and errorSeen_
  bool errorSeen_ = false;
  unsigned long requestAtom_ = 0;
  unsigned long replyAtom_ = 0;
  unsigned long replyWindow_ = 0;
  std::atomic<long> nextSerial_{1};
  std::deque<Request> queue_;  // UI thread only
  guint idleSource_ = 0;
  bool tolerant_ = false;
};

}  // namespace ui::gtk
