#include "cache/CacheCleanThread.h"

#include <string>

#include "cache/CleanFolder.h"
#include "cache/ClearUrlCache.h"
#include "platform/Debug.h"
#include "ui/BrowserData.h"
#include "ui/Messages.h"
#include "ui/System.h"

unsigned CacheCleanThread(ui::HWND mainWindow) {
  ClearUrlCache();
  const std::wstring folder = ui::GetBrowserData()->CacheFolder();
  if (!folder.empty()) {
    platform::DebugOutput(L"临时文件夹路径为:" + folder + L"\r\n");
    CleanFolder(folder);
  }
  ui::SendMessage(mainWindow, ui::WM_COMMAND, kCacheCleanedCommand, 0);
  return 0;
}

void StartCacheClean(ui::HWND mainWindow) {
  ui::BeginThread([mainWindow] { CacheCleanThread(mainWindow); });
}
