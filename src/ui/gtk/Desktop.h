#pragma once
// The desktop backend's entry point, for main: no toolkit header needed.
#include <memory>

#include "ui/Backend.h"

namespace ui::gtk {

// Opens the X display (DISPLAY), makes the desktop window system and installs
// the WebKit browser engine and browser data. Null when there is no display.
std::unique_ptr<Backend> CreateDesktopBackend();

}  // namespace ui::gtk
