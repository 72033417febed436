#pragma once
// Accelerator tables: a key (with modifiers) that becomes a command.
#include <vector>

#include "ui/Types.h"

namespace ui {

struct Accel {
  BYTE fVirt = 0;  // FVIRTKEY | FSHIFT | FCONTROL | FALT
  WORD key = 0;    // virtual key code
  WORD cmd = 0;    // command id
};
using AcceleratorTable = std::vector<Accel>;

// When msg is a key press matching an entry (exact modifiers), sends
// WM_COMMAND with the command id (high word 1) to window and returns true.
bool TranslateAccelerator(HWND window, const AcceleratorTable& table, const Msg& msg);

}  // namespace ui
