#pragma once
// Virtual-key codes and modifier bits of the framework against the desktop's
// key symbols and modifier masks.
#include <gdk/gdk.h>

#include <string>

#include "ui/Types.h"

namespace ui::gtk {

// The virtual key of a key event, read from the key's unshifted symbol so that
// Shift+A is 'A' and Shift+1 is '1'; 0 for keys the framework has no code for.
UINT VirtualKeyOf(const GdkEventKey* event);
// The key symbol of a virtual key; 0 when there is none.
guint KeySymbolOf(UINT virtualKey);
// MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN of a modifier mask.
UINT ModifiersOf(guint state);
// A hotkey as an accelerator text ("<Ctrl><Alt>F10"); empty when the key has
// no symbol.
std::string AcceleratorText(UINT modifiers, UINT virtualKey);

}  // namespace ui::gtk
