#include "ui/gtk/WaitOnUi.h"

#include <glib.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "ui/System.h"

namespace ui::gtk {

namespace {

struct Waiting {
  std::mutex mutex;
  std::condition_variable condition;
  bool done = false;
  std::function<void(std::function<void()>)> start;
};

gboolean Begin(gpointer data) {
  auto* holder = static_cast<std::shared_ptr<Waiting>*>(data);
  std::shared_ptr<Waiting> waiting = *holder;
  delete holder;
  waiting->start([waiting] {
    std::lock_guard lock(waiting->mutex);
    waiting->done = true;
    waiting->condition.notify_all();
  });
  return G_SOURCE_REMOVE;
}

gboolean Expire(gpointer flag) {
  *static_cast<bool*>(flag) = true;
  return G_SOURCE_REMOVE;
}

}  // namespace

bool WaitOnUi(const std::function<void(std::function<void()> done)>& start, int timeoutMs) {
  auto waiting = std::make_shared<Waiting>();
  waiting->start = start;
  if (IsUiThread()) {
    Begin(new std::shared_ptr<Waiting>(waiting));
    bool expired = false;
    guint timer = g_timeout_add(guint(timeoutMs), Expire, &expired);
    for (;;) {
      {
        std::lock_guard lock(waiting->mutex);
        if (waiting->done) break;
      }
      if (expired) break;
      g_main_context_iteration(nullptr, TRUE);
    }
    if (!expired) g_source_remove(timer);
    std::lock_guard lock(waiting->mutex);
    return waiting->done;
  }
  g_main_context_invoke(nullptr, Begin, new std::shared_ptr<Waiting>(waiting));
  std::unique_lock lock(waiting->mutex);
  return waiting->condition.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return waiting->done; });
}

}  // namespace ui::gtk
