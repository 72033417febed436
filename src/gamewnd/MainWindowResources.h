#pragma once
// The main window's resources: its dialog template, the command ids of its
// buttons, tray menu and accelerator, the tray menu (151) and the
// accelerator table (303).
#include "ui/Accelerator.h"
#include "ui/Dialog.h"
#include "ui/Menu.h"

namespace mainwnd {

// Title-bar buttons (template controls) and their commands.
inline constexpr int kBtnClose = 1001;
inline constexpr int kBtnRestore = 1002;
inline constexpr int kBtnMin = 1003;
inline constexpr int kBtnFullScreen = 1004;
inline constexpr int kBtnBossKey = 1005;
inline constexpr int kBtnChangeServer = 1007;
inline constexpr int kBtnMax = 1008;
inline constexpr int kBtnUnused1011 = 1011;
inline constexpr int kBtnUnused1017 = 1017;
inline constexpr int kBtnRefresh = 1021;
inline constexpr int kBtnClearCache = 1030;

// Sent by the cache worker when it has finished.
inline constexpr int kCmdCacheCleaned = 10002;
// Tray menu items and the F5 accelerator.
inline constexpr int kCmdTrayToggle = 32775;
inline constexpr int kCmdTrayClearCache = 32776;
inline constexpr int kCmdTrayExit = 32777;
inline constexpr int kCmdAccelF5 = 32778;

inline constexpr int kTrayMenu = 151;
inline constexpr int kAccelerators = 303;
inline constexpr int kTrayIcon = 273;
inline constexpr int kTitleString = 107;
inline constexpr int kOverlayTemplate = 274;

// Title strip pictures: left part, middle tile, right part.
inline constexpr int kTitleLeftPng = 203;
inline constexpr int kTitleMidPng = 172;
inline constexpr int kTitleRightPng = 206;

// Dialog template 101: no caption, not visible at creation, the title-bar
// buttons (placed at run time) and the two unused ones.
ui::DialogTemplate MainWindowTemplate();
// Menu 151: one popup with "hide/show", "clear cache" and "exit".
ui::Menu TrayMenu();
// Accelerator table 303: F5 without modifiers to command 32778.
ui::AcceleratorTable MainAccelerators();

}  // namespace mainwnd
