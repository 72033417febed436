#pragma once
// Runs an asynchronous toolkit operation on the user-interface thread and
// waits for its end, from any thread. On the user-interface thread the loop
// keeps running meanwhile; from another thread the caller blocks while the
// user-interface thread runs its loop. Gives up after a time-out.
#include <functional>

namespace ui::gtk {

// start runs on the user-interface thread and must call done exactly once,
// there too. Returns false when done was not called in time.
bool WaitOnUi(const std::function<void(std::function<void()> done)>& start, int timeoutMs = 10000);

}  // namespace ui::gtk
