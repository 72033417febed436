#include "ui/gtk/X11Link.h"

#include <poll.h>

#include "ui/Input.h"
#include "ui/System.h"
#include "ui/Window.h"
// Last: the X headers define macros that collide with names above.
#include <gdk/gdkx.h>

namespace ui::gtk {

namespace {

X11Link* g_link = nullptr;
XErrorHandler g_previousHandler = nullptr;
Display* g_linkDisplay = nullptr;

// X ids are 29-bit numbers; handles above 32 bits are windows of ours that
// have no X window.
bool CanBeXWindow(HWND hwnd) { return hwnd != 0 && hwnd <= 0xFFFFFFFFu; }

// Errors on the link's own connection are expected (a window of another
// process went away); the toolkit's connection keeps the toolkit's handling.
int OnXError(Display* display, XErrorEvent* error) {
  if (display == g_linkDisplay && g_link) {
    g_link->NoteError();
    return 0;
  }
  return g_previousHandler ? g_previousHandler(display, error) : 0;
}

}  // namespace

X11Link::X11Link(GdkDisplay* toolkitDisplay) : toolkit_(toolkitDisplay) {
  display_ = XOpenDisplay(gdk_display_get_name(toolkitDisplay));
  if (!display_) return;
  g_link = this;
  g_linkDisplay = display_;
  g_previousHandler = XSetErrorHandler(OnXError);
  requestAtom_ = XInternAtom(display_, "_ZORV_WINDOW_MESSAGE", False);
  replyAtom_ = XInternAtom(display_, "_ZORV_WINDOW_REPLY", False);
  replyWindow_ = XCreateWindow(display_, DefaultRootWindow(display_), -10, -10, 1, 1, 0, 0, InputOnly,
                               CopyFromParent, 0, nullptr);
  XFlush(display_);
  gdk_window_add_filter(nullptr, Filter, this);
}

X11Link::~X11Link() {
  if (!display_) return;
  gdk_window_remove_filter(nullptr, Filter, this);
  if (idleSource_) g_source_remove(idleSource_);
  std::lock_guard lock(mutex_);
  XDestroyWindow(display_, replyWindow_);
  XCloseDisplay(display_);
  XSetErrorHandler(g_previousHandler);
  g_link = nullptr;
  g_linkDisplay = nullptr;
  display_ = nullptr;
}

void X11Link::TolerateVanishedWindows() {
  // A trap that stays open: the toolkit records the errors of every request
  // from here on instead of ending the process for them.
  if (tolerant_) return;
  tolerant_ = true;
  gdk_x11_display_error_trap_push(toolkit_);
}

bool X11Link::WindowExists(HWND hwnd) {
  if (!display_ || !CanBeXWindow(hwnd)) return false;
  std::lock_guard lock(mutex_);
  XWindowAttributes attributes;
  errorSeen_ = false;
  Status ok = XGetWindowAttributes(display_, ::Window(hwnd), &attributes);
  return ok && !errorSeen_;
}

bool X11Link::WindowRect(HWND hwnd, Rect* screenRect) {
  if (!display_ || !CanBeXWindow(hwnd)) return false;
  std::lock_guard lock(mutex_);
  XWindowAttributes attributes;
  errorSeen_ = false;
  if (!XGetWindowAttributes(display_, ::Window(hwnd), &attributes) || errorSeen_) return false;
  int x = 0, y = 0;
  ::Window child;
  if (!XTranslateCoordinates(display_, ::Window(hwnd), attributes.root, 0, 0, &x, &y, &child) || errorSeen_)
    return false;
  *screenRect = Rect::FromXYWH(x, y, attributes.width, attributes.height);
  return true;
}

bool X11Link::IsMapped(HWND hwnd) {
  if (!display_ || !CanBeXWindow(hwnd)) return false;
  std::lock_guard lock(mutex_);
  XWindowAttributes attributes;
  errorSeen_ = false;
  return XGetWindowAttributes(display_, ::Window(hwnd), &attributes) && !errorSeen_ &&
         attributes.map_state == IsViewable;
}

bool X11Link::SendEvent(HWND hwnd, const long data[5]) {
  std::lock_guard lock(mutex_);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = ::Window(hwnd);
  event.xclient.message_type = requestAtom_;
  event.xclient.format = 32;
  for (int i = 0; i < 5; ++i) event.xclient.data.l[i] = data[i];
  errorSeen_ = false;
  Status ok = XSendEvent(display_, ::Window(hwnd), False, NoEventMask, &event);
  XSync(display_, False);
  return ok && !errorSeen_;
}

bool X11Link::Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!display_ || !CanBeXWindow(hwnd)) return false;
  const long data[5] = {long(message), long(wParam), long(lParam), 0, 0};
  return SendEvent(hwnd, data);
}

LRESULT X11Link::Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!display_ || !CanBeXWindow(hwnd)) return 0;
  long serial = nextSerial_++;
  const long data[5] = {long(message), long(wParam), long(lParam), long(replyWindow_), serial};
  if (!SendEvent(hwnd, data)) return 0;
  bool uiThread = IsUiThread();
  auto deadline = std::chrono::steady_clock::now() + kSendTimeout;
  struct Match {
    Atom atom;
    long serial;
  } match{replyAtom_, serial};
  auto isReply = [](Display*, XEvent* event, XPointer arg) -> Bool {
    auto* m = reinterpret_cast<Match*>(arg);
    return event->type == ClientMessage && event->xclient.message_type == m->atom &&
           event->xclient.data.l[0] == m->serial;
  };
  while (std::chrono::steady_clock::now() < deadline) {
    {
      std::lock_guard lock(mutex_);
      XEvent reply;
      if (XCheckIfEvent(display_, &reply, isReply, reinterpret_cast<XPointer>(&match))) return LRESULT(reply.xclient.data.l[1]);
    }
    if (uiThread) {
      TakeWaitingRequests();
      HandleQueued();
    }
    pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {-1, POLLIN, 0}};
    if (uiThread) fds[1].fd = ConnectionNumber(gdk_x11_display_get_xdisplay(toolkit_));
    poll(fds, 2, 10);
  }
  return 0;
}

GdkFilterReturn X11Link::Filter(GdkXEvent* xevent, GdkEvent*, gpointer data) {
  auto* self = static_cast<X11Link*>(data);
  auto* event = static_cast<XEvent*>(xevent);
  if (event->type != ClientMessage || event->xclient.message_type != self->requestAtom_) return GDK_FILTER_CONTINUE;
  const long* l = event->xclient.data.l;
  // Values travel as 32-bit numbers.
  self->queue_.push_back({event->xclient.window, UINT(l[0]), WPARAM(std::uint32_t(l[1])), LPARAM(std::int32_t(l[2])),
                          ::Window(l[3]), l[4]});
  // Handled from the loop rather than inside the toolkit's event translation.
  if (!self->idleSource_) self->idleSource_ = g_idle_add_full(G_PRIORITY_HIGH, RunQueued, self, nullptr);
  return GDK_FILTER_REMOVE;
}

gboolean X11Link::RunQueued(gpointer data) {
  auto* self = static_cast<X11Link*>(data);
  self->idleSource_ = 0;
  self->HandleQueued();
  return G_SOURCE_REMOVE;
}

void X11Link::TakeWaitingRequests() {
  Display* toolkit = gdk_x11_display_get_xdisplay(toolkit_);
  auto isRequest = [](Display*, XEvent* event, XPointer arg) -> Bool {
    return event->type == ClientMessage && event->xclient.message_type == *reinterpret_cast<Atom*>(arg);
  };
  XEvent event;
  while (XCheckIfEvent(toolkit, &event, isRequest, reinterpret_cast<XPointer>(&requestAtom_))) {
    Filter(reinterpret_cast<GdkXEvent*>(&event), nullptr, this);
  }
}

void X11Link::HandleQueued() {
  while (!queue_.empty()) {
    Request request = queue_.front();
    queue_.pop_front();
    Handle(request);
  }
}

void X11Link::Handle(const Request& request) {
  bool sent = request.replyTo != 0;
  // A window of ours that is already gone answers 0.
  LRESULT result = 0;
  if (ui::Window::FromHandle(HWND(request.target)))
    result = input::ForeignMessage(HWND(request.target), request.message, request.wParam, request.lParam, sent);
  if (!sent) return;
  // The sender may have gone meanwhile: its reply window is then no more.
  Display* toolkit = gdk_x11_display_get_xdisplay(toolkit_);
  XEvent reply{};
  reply.xclient.type = ClientMessage;
  reply.xclient.window = request.replyTo;
  reply.xclient.message_type = replyAtom_;
  reply.xclient.format = 32;
  reply.xclient.data.l[0] = request.serial;
  reply.xclient.data.l[1] = long(result);
  gdk_x11_display_error_trap_push(toolkit_);
  XSendEvent(toolkit, request.replyTo, False, NoEventMask, &reply);
  XFlush(toolkit);
  gdk_x11_display_error_trap_pop_ignored(toolkit_);
}

}  // namespace ui::gtk
