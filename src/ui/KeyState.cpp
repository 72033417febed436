#include "ui/FrameworkState.h"
#include "ui/Messages.h"
#include "ui/System.h"

namespace ui {

short GetAsyncKeyState(int virtualKey) {
  UINT modifier = 0;
  if (virtualKey == int(VK_CONTROL)) modifier = MOD_CONTROL;
  else if (virtualKey == int(VK_SHIFT)) modifier = MOD_SHIFT;
  else if (virtualKey == int(VK_MENU)) modifier = MOD_ALT;
  return (G().modifiers & modifier) ? short(0x8000) : short(0);
}

}  // namespace ui
