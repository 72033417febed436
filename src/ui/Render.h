#pragma once
// Composes what a window shows: its retained pixels (or its layered
// picture) with its visible children on top, then its layered attributes
// (colour key, constant alpha). Pending paint cycles of the window and its
// children run first. Tests check pixels on the result; the desktop backend
// shows it.
#include <cstdint>

#include "ui/Surface.h"

namespace ui {

class Window;

Surface RenderWindow(Window& window);

// How many windows RenderWindow has composed in this process: tests and
// benchmarks read it to see how much composing a piece of work took.
std::uint64_t RenderCount();

}  // namespace ui
