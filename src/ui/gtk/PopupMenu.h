#pragma once
// A popup menu shown at a screen point; returns the chosen item id, 0 when
// the menu was dismissed. Runs a nested loop of the main context meanwhile.
#include "ui/Menu.h"

namespace ui::gtk {

UINT RunPopupMenu(const Menu& menu, Point screen);

}  // namespace ui::gtk
