#include "gamewnd/FrameWatchThread.h"

#include "platform/Process.h"
#include "ui/Messages.h"
#include "ui/System.h"

FrameWatchThread::FrameWatchThread(ui::HWND frame, ui::HWND window, FrameWatchTiming timing)
    : m_hFrameWnd(frame), m_hWnd(window), m_timing(timing) {
  m_thread = std::thread([this] { Run(); });
}

FrameWatchThread::~FrameWatchThread() {
  {
    std::lock_guard lock(m_mutex);
    m_bStop = true;
  }
  m_changed.notify_all();
  m_thread.join();
}

bool FrameWatchThread::StopRequestedWithin(std::chrono::milliseconds interval) {
  std::unique_lock lock(m_mutex);
  return m_changed.wait_for(lock, interval, [this] { return m_bStop; });
}

void FrameWatchThread::Run() {
  // A window that ended before this thread got going must get nothing from it.
  bool stopped = StopRequestedWithin(std::chrono::milliseconds(0));
  while (!stopped && ui::IsWindow(m_hFrameWnd)) stopped = StopRequestedWithin(m_timing.poll);
  if (stopped) return;
  ui::PostMessage(m_hWnd, ui::WM_CLOSE);
  // The message loop normally ends the process well within the grace period
  // (and the window's end stops this thread); if it does not, the process
  // must still not outlive its frame.
  if (!StopRequestedWithin(m_timing.grace)) platform::ExitProcessNow(0);
}
