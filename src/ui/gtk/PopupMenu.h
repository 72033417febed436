#pragma once
// A popup menu shown at a screen point; returns the chosen item id, 0 when
// the menu was dismissed. Runs a nested loop of the main context meanwhile.
#include <gdk/gdk.h>

#include "ui/Menu.h"

namespace ui::gtk {

// owner: the surface of the owner's native window (null: none).
UINT RunPopupMenu(const Menu& menu, Point screen, GdkWindow* owner);

}  // namespace ui::gtk
