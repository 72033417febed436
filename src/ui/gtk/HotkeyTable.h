#pragma once
// Global hotkeys as X key grabs on the root window (libkeybinder). A grab
// another program holds, or a key the keyboard cannot produce, makes the
// registration fail; the caller decides what a failure means.
#include <map>
#include <string>
#include <utility>

#include "ui/Types.h"

namespace ui::gtk {

class HotkeyTable {
 public:
  HotkeyTable();
  ~HotkeyTable();
  HotkeyTable(const HotkeyTable&) = delete;
  HotkeyTable& operator=(const HotkeyTable&) = delete;

  bool Register(HWND hwnd, int id, UINT modifiers, UINT virtualKey);
  bool Unregister(HWND hwnd, int id);

 private:
  struct Entry {
    HWND hwnd = 0;
    int id = 0;
    UINT modifiers = 0;
    UINT virtualKey = 0;
    std::string accelerator;
  };
  static void OnKey(const char* accelerator, void* entry);
  std::map<std::pair<HWND, int>, Entry*> entries_;
};

}  // namespace ui::gtk
