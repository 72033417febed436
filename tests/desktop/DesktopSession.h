#pragma once
// What the desktop end-to-end tests stand on: a private X server (Xvfb,
// 1920x1080, no window manager), programs started on it with pipes to their
// stdin and stdout, and looks at the screen through a connection of our own
// (window geometry, parents, pixels, screenshots kept as test artefacts).
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/Surface.h"
#include "ui/Types.h"

struct _XDisplay;

namespace zorv::test {

class XServer {
 public:
  // Starts Xvfb; IsRunning() is false when it is not installed or fails.
  XServer();
  ~XServer();
  bool IsRunning() const { return display_ != nullptr; }
  const std::string& Name() const { return name_; }  // ":N"

  struct Geometry {
    bool exists = false;
    bool viewable = false;
    ui::Rect screenRect;
    unsigned long parent = 0;
  };
  Geometry Query(ui::HWND window);
  struct Shown {
    ui::HWND id = 0;
    ui::Rect screenRect;
  };
  // The viewable top-level windows whose title (_NET_WM_NAME) is name.
  std::vector<Shown> FindShown(const std::string& name);
  ui::HWND Root() const;
  // The viewable child windows of a window.
  std::vector<Shown> ShownChildren(ui::HWND window);
  // The screen's pixels in rect.
  ui::Surface Grab(const ui::Rect& rect);
  // Saves the whole screen as ZORV_BINARY_DIR/desktop-artifacts/<name>.png.
  void KeepScreenshot(const std::string& name);
  // From now on, top-level windows being mapped and unmapped are recorded,
  // so a window shown only for a moment is still seen.
  void WatchTopLevels();
  struct Mapping {
    ui::HWND id = 0;
    bool mapped = false;  // false: unmapped
  };
  // What happened since WatchTopLevels, in order.
  std::vector<Mapping> TopLevelMappings();

 private:
  pid_t pid_ = -1;
  std::string name_;
  struct _XDisplay* display_ = nullptr;
  std::vector<Mapping> mappings_;
};

// A program on the X server, its stdout read line by line.
class Program {
 public:
  Program(const std::vector<std::string>& argv, const std::vector<std::string>& env);
  ~Program();
  bool Started() const { return pid_ > 0; }
  // Waits for a line that starts with prefix; returns it, or "" after the
  // time-out or when the program ended first. Every line read is kept.
  std::string WaitFor(const std::string& prefix, int timeoutMs = 20000);
  const std::vector<std::string>& Lines() const { return lines_; }
  void Send(const std::string& line);
  // Waits for the end; the exit code, or -1 after the time-out (it is then killed).
  int Wait(int timeoutMs = 10000);
  void Kill();
  std::string Transcript() const;

 private:
  bool ReadSome(int timeoutMs);
  pid_t pid_ = -1;
  int in_ = -1, out_ = -1;
  std::string pending_;
  std::vector<std::string> lines_;
  size_t seen_ = 0;
};

// Runs a command to its end (xdotool); its exit code.
int RunTool(const std::vector<std::string>& argv, const std::vector<std::string>& env);

}  // namespace zorv::test
