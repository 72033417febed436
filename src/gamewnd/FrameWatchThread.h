#pragma once
// The embedded game window's watch on its frame window: a worker thread that
// asks once per poll interval whether the frame window still exists. When it
// has gone (its process ended or was killed without closing us), the watcher
// posts WM_CLOSE to the embedded window, so the process ends through its
// message loop, and after a grace period ends the process itself with code 0
// in case the user-interface thread never got round to it.
//
// The thread is the window's own, joined when the window object goes, rather
// than a framework worker (ui::BeginThread): it never reports and never ends
// on its own while the frame lives, so an idle loop must not wait for it, and
// it must be gone before the framework it calls is shut down.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "ui/Types.h"

struct FrameWatchTiming {
  std::chrono::milliseconds poll{1000};
  std::chrono::milliseconds grace{1000};
};

class FrameWatchThread {
 public:
  // Starts watching frame on a worker thread; window is told when it goes.
  FrameWatchThread(ui::HWND frame, ui::HWND window, FrameWatchTiming timing = {});
  // Stops the watcher and waits for its thread: a window that ends normally
  // takes its watcher with it, so the watcher never outlives the framework.
  ~FrameWatchThread();
  FrameWatchThread(const FrameWatchThread&) = delete;
  FrameWatchThread& operator=(const FrameWatchThread&) = delete;

 private:
  void Run();
  // Waits for the interval; true when asked to stop meanwhile.
  bool StopRequestedWithin(std::chrono::milliseconds interval);

  const ui::HWND m_hFrameWnd;
  const ui::HWND m_hWnd;
  const FrameWatchTiming m_timing;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_bStop = false;
  std::thread m_thread;
};
