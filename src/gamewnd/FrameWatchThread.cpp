#include "gamewnd/FrameWatchThread.h"

#include "platform/Process.h"
#include "ui/Messages.h"
#include "ui/System.h"

FrameWatchThread::FrameWatchThread(ui::HWND frame, ui::HWND window, FrameWatchTiming timing)
    : m_hFrameWnd(frame), m_hWnd(window), m_timing(timing) {
  ui::BeginThread([this] { Run(); });
}

FrameWatchThread::~FrameWatchThread() {
  std::unique_lock lock(m_mutex);
  m_bStop = true;
  m_changed.notify_all();
  m_changed.wait(lock, [this] { return m_bDone; });
}

bool FrameWatchThread::StopRequestedWithin(std::chrono::milliseconds interval) {
  std::unique_lock lock(m_mutex);
  return m_changed.wait_for(lock, interval, [this] { return m_bStop; });
}

void FrameWatchThread::Run() {
  bool stopped = false;
  while (!stopped && ui::IsWindow(m_hFrameWnd)) stopped = StopRequestedWithin(m_timing.poll);
  if (!stopped) {
    ui::PostMessage(m_hWnd, ui::WM_CLOSE);
    // The message loop normally ends the process well within the grace
    // period (and the window's end stops this thread); if it does not, the
    // process must still not outlive its frame.
    if (!StopRequestedWithin(m_timing.grace)) platform::ExitProcessNow(0);
  }
  // Notified under the lock: the owner may free this object as soon as it
  // sees m_bDone.
  std::lock_guard lock(m_mutex);
  m_bDone = true;
  m_changed.notify_all();
}
