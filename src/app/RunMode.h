#pragma once
// The run mode of a process, chosen from its raw command-line text alone.
#include <string>

enum class RunMode {
  UninstallConfirm,  // the text ends in "-u": ask, then start the uninstaller copy
  UninstallCleanup,  // the text begins with "-u": remove the installed files
  Embedded,          // "-frameWnd=<handle> -gameurl=<address>": dock into the frame window
  Normal,            // anything else: the main window
};

struct RunModeChoice {
  // The text begins with "-d": finish an update first. When that returns, the
  // process goes on with mode, which is then Embedded or Normal (the "-u"
  // forms are not considered after "-d").
  bool finishUpdateFirst = false;
  RunMode mode = RunMode::Normal;
  // Embedded: the frame window's handle (never 0) and the game address.
  long frameWnd = 0;
  std::wstring gameUrl;
};

// Comparisons are exact and case-sensitive. The handle is the decimal number
// after "-frameWnd=" up to the next blank (read as wcstol does; no blank after
// it gives 0); the address is everything after the first "-gameurl=" that
// follows, blanks included.
RunModeChoice ChooseRunMode(const std::wstring& commandLine);
