#pragma once
// The main window's three system-wide hotkeys, which arrive as WM_HOTKEY with
// their id: refresh (F5, fixed), the boss key and the fullscreen toggle (both
// read from the settings file, section "Setting").
#include "ui/Types.h"

inline constexpr int kHotkeyRefresh = 1;
inline constexpr int kHotkeyBossKey = 2;     // key "screentoggle"
inline constexpr int kHotkeyFullScreen = 3;  // key "fullscreen"

// Registers the three hotkeys for window, once at start-up. A configured key
// whose value is empty is left alone; one that is missing reads as "0". Refused
// registrations (a combination another program holds) are ignored: that
// hotkey simply never arrives.
void RegisterGlobalHotkeys(ui::HWND window);
