#pragma once
// The worker that clears the browser cache for the main window: the URL cache
// (cookies kept), then the cache folder's contents, then command 10002 to the
// main window, whose handler hides the overlay it showed for the run.
#include "ui/Types.h"

inline constexpr ui::UINT kCacheCleanedCommand = 10002;

// The worker procedure; result always 0. It holds on to nothing but the
// handle: a main window that is gone by the end just misses the command. It
// ends with a blocking SendMessage of WM_COMMAND 10002 to mainWindow, which
// is sent in every case, also when the cache folder is unknown.
unsigned CacheCleanThread(ui::HWND mainWindow);

// Starts CacheCleanThread on a worker thread of the framework and returns at once.
void StartCacheClean(ui::HWND mainWindow);
