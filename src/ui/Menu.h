#pragma once
// Popup menus: a menu is a list of items, an item may hold a popup. The
// chosen item of TrackPopupMenu reaches the owner as WM_COMMAND.
#include <optional>
#include <string>
#include <vector>

#include "ui/Types.h"

namespace ui {

struct MenuItem {
  UINT id = 0;
  std::wstring text;
  std::vector<MenuItem> popup;  // a submenu when not empty
  bool separator = false;
};

struct Menu {
  std::vector<MenuItem> items;
  // The popup at position pos; empty when there is none.
  std::optional<Menu> GetSubMenu(int pos) const;
};

// Shows menu at (x, y) in screen coordinates for owner. Returns the chosen
// item id (0 when the menu was dismissed). Without TPM_RETURNCMD the choice is
// also posted to owner as WM_COMMAND.
UINT TrackPopupMenu(const Menu& menu, UINT flags, int x, int y, HWND owner);

}  // namespace ui
