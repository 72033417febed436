#pragma once
// The tray icon (Shell_NotifyIconW): one record per (window, uID). Mouse
// events on the icon reach the window as its callback message, with uID in
// wParam and the mouse message (WM_LBUTTONDOWN, WM_RBUTTONDOWN, ...) in the
// low word of lParam.
#include <string>

#include "ui/Types.h"

namespace ui {

// An icon from the resources at a given size.
struct Icon {
  int resourceId = 0;
  int width = 0, height = 0;
  bool operator==(const Icon&) const = default;
};
Icon LoadIcon(int resourceId, int width, int height);

struct NotifyIconData {
  DWORD cbSize = 956;  // sizeof(NOTIFYICONDATAW) of the record the client fills
  HWND hWnd = 0;
  UINT uID = 0;
  UINT uFlags = 0;  // NIF_MESSAGE | NIF_ICON | NIF_TIP
  UINT uCallbackMessage = 0;
  Icon hIcon;
  std::wstring szTip;  // at most 127 characters; longer tips are cut
};

// NIM_ADD fails when the icon exists, NIM_MODIFY and NIM_DELETE when it does not.
bool Shell_NotifyIcon(DWORD message, const NotifyIconData& data);

}  // namespace ui
