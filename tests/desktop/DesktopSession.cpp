#include "DesktopSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>

// Last: the X headers define macros that collide with names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace zorv::test {

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? int(left) : 0;
}

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    std::string name = entry.substr(0, entry.find('='));
    bool overridden = false;
    for (const std::string& x : extra)
      if (x.substr(0, x.find('=')) == name) overridden = true;
    if (!overridden) env.push_back(entry);
  }
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, int stdinFd, int stdoutFd,
            std::vector<int> closeInChild) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdinFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdinFd, 0);
  if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
  for (int fd : closeInChild) posix_spawn_file_actions_addclose(&actions, fd);
  std::vector<char*> args, envp;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::vector<std::string> merged = MergedEnvironment(env);
  for (const std::string& e : merged) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

bool OnPath(const char* tool) {
  const char* path = std::getenv("PATH");
  std::string all = path ? path : "";
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(':', start);
    std::string dir = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty() && access((dir + "/" + tool).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

}  // namespace

// ===== X server =====

XServer::XServer() {
  if (!OnPath("Xvfb")) return;
  int fds[2];
  if (pipe(fds) != 0) return;
  // Xvfb writes the display number it took to the descriptor it is given.
  pid_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1920x1080x24", "-nolisten", "tcp", "-wr",
                "-noreset"},
               {}, -1, -1, {fds[0]});
  close(fds[1]);
  if (pid_ <= 0) {
    close(fds[0]);
    return;
  }
  std::string number;
  auto deadline = Clock::now() + std::chrono::seconds(10);
  pollfd p{fds[0], POLLIN, 0};
  while (MsLeft(deadline) > 0 && poll(&p, 1, MsLeft(deadline)) > 0) {
    char c;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) return;
  name_ = ":" + number;
  display_ = XOpenDisplay(name_.c_str());
}

XServer::~XServer() {
  if (display_) XCloseDisplay(display_);
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

namespace {
int IgnoreXError(Display*, XErrorEvent*) { return 0; }
}  // namespace

XServer::Geometry XServer::Query(ui::HWND window) {
  Geometry g;
  if (!display_) return g;
  auto previous = XSetErrorHandler(IgnoreXError);
  XWindowAttributes a;
  XSync(display_, False);
  if (XGetWindowAttributes(display_, ::Window(window), &a)) {
    int x = 0, y = 0;
    ::Window child, root, parent, *children = nullptr;
    unsigned count = 0;
    XTranslateCoordinates(display_, ::Window(window), a.root, 0, 0, &x, &y, &child);
    if (XQueryTree(display_, ::Window(window), &root, &parent, &children, &count)) {
      g.parent = parent;
      if (children) XFree(children);
    }
    g.exists = true;
    g.viewable = a.map_state == IsViewable;
    g.screenRect = ui::Rect::FromXYWH(x, y, a.width, a.height);
  }
  XSync(display_, False);
  XSetErrorHandler(previous);
  return g;
}

std::vector<XServer::Shown> XServer::FindShown(const std::string& name) {
  std::vector<Shown> found;
  if (!display_) return found;
  auto previous = XSetErrorHandler(IgnoreXError);
  Atom netName = XInternAtom(display_, "_NET_WM_NAME", False), utf8 = XInternAtom(display_, "UTF8_STRING", False);
  ::Window root = DefaultRootWindow(display_), parent, *children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display_, root, &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count; ++i) {
      Atom type;
      int format;
      unsigned long items, after;
      unsigned char* value = nullptr;
      if (XGetWindowProperty(display_, children[i], netName, 0, 1024, False, utf8, &type, &format, &items, &after,
                             &value) != Success || !value)
        continue;
      std::string title(reinterpret_cast<char*>(value), items);
      XFree(value);
      Geometry g = Query(children[i]);
      if (title == name && g.viewable) found.push_back({children[i], g.screenRect});
    }
    if (children) XFree(children);
  }
  XSetErrorHandler(previous);
  return found;
}

ui::HWND XServer::Root() const { return display_ ? DefaultRootWindow(display_) : 0; }

std::vector<XServer::Shown> XServer::ShownChildren(ui::HWND window) {
  std::vector<Shown> found;
  if (!display_) return found;
  auto previous = XSetErrorHandler(IgnoreXError);
  ::Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display_, ::Window(window), &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count; ++i) {
      Geometry g = Query(children[i]);
      if (g.viewable) found.push_back({children[i], g.screenRect});
    }
    if (children) XFree(children);
  }
  XSetErrorHandler(previous);
  return found;
}

ui::Surface XServer::Grab(const ui::Rect& rect) {
  ui::Surface out(rect.Width(), rect.Height());
  if (!display_ || out.IsNull()) return out;
  XImage* image = XGetImage(display_, DefaultRootWindow(display_), rect.left, rect.top, unsigned(rect.Width()),
                            unsigned(rect.Height()), AllPlanes, ZPixmap);
  if (!image) return out;
  for (int y = 0; y < rect.Height(); ++y) {
    for (int x = 0; x < rect.Width(); ++x) {
      unsigned long p = XGetPixel(image, x, y);
      out.SetPixel(x, y, {std::uint8_t((p >> 16) & 0xFF), std::uint8_t((p >> 8) & 0xFF), std::uint8_t(p & 0xFF), 255});
    }
  }
  XDestroyImage(image);
  return out;
}

void XServer::KeepScreenshot(const std::string& name) {
  std::string dir = std::string(ZORV_BINARY_DIR) + "/desktop-artifacts";
  std::filesystem::create_directories(dir);
  Grab({0, 0, 1920, 1080}).WritePng(dir + "/" + name + ".png");
}

void XServer::WatchTopLevels() {
  if (!display_) return;
  mappings_.clear();
  XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
  XSync(display_, False);
}

std::vector<XServer::Mapping> XServer::TopLevelMappings() {
  if (!display_) return mappings_;
  XSync(display_, False);
  while (XPending(display_)) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == MapNotify) mappings_.push_back({event.xmap.window, true});
    if (event.type == UnmapNotify) mappings_.push_back({event.xunmap.window, false});
  }
  return mappings_;
}

// ===== Programs =====

Program::Program(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) return;
  if (pipe2(out, O_CLOEXEC) != 0) {
    close(in[0]);
    close(in[1]);
    return;
  }
  pid_ = Spawn(argv, env, in[0], out[1], {});
  close(in[0]);
  close(out[1]);
  in_ = in[1];
  out_ = out[0];
  signal(SIGPIPE, SIG_IGN);
}

Program::~Program() {
  Kill();
  if (in_ >= 0) close(in_);
  if (out_ >= 0) close(out_);
}

bool Program::ReadSome(int timeoutMs) {
  if (out_ < 0) return false;
  pollfd p{out_, POLLIN, 0};
  if (poll(&p, 1, timeoutMs) <= 0) return false;
  char buffer[4096];
  ssize_t n = read(out_, buffer, sizeof buffer);
  if (n <= 0) {
    close(out_);
    out_ = -1;
    return false;
  }
  pending_.append(buffer, size_t(n));
  for (size_t nl; (nl = pending_.find('\n')) != std::string::npos;) {
    lines_.push_back(pending_.substr(0, nl));
    pending_.erase(0, nl + 1);
  }
  return true;
}

std::string Program::WaitFor(const std::string& prefix, int timeoutMs) {
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    for (; seen_ < lines_.size(); ++seen_) {
      if (lines_[seen_].rfind(prefix, 0) == 0) return lines_[seen_++];
    }
    if (MsLeft(deadline) == 0 || out_ < 0) return "";
    ReadSome(MsLeft(deadline));
  }
}

void Program::Send(const std::string& line) {
  if (in_ < 0) return;
  std::string text = line + "\n";
  if (write(in_, text.data(), text.size()) < 0) {
    close(in_);
    in_ = -1;
  }
}

int Program::Wait(int timeoutMs) {
  if (pid_ <= 0) return -1;
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      while (ReadSome(0)) {
      }
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (MsLeft(deadline) == 0) {
      Kill();
      return -1;
    }
    if (!ReadSome(20)) usleep(20000);
  }
}

void Program::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

std::string Program::Transcript() const {
  std::string all;
  for (const std::string& line : lines_) all += "  " + line + "\n";
  return all;
}

int RunTool(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
  pid_t pid = Spawn(argv, env, -1, -1, {});
  if (pid <= 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace zorv::test
