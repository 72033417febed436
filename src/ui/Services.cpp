// The small services on top of the backend: cursor, icons, tray, popup menus
// and accelerators.
#include "ui/Accelerator.h"
#include "ui/Cursor.h"
#include "ui/FrameworkState.h"
#include "ui/Menu.h"
#include "ui/System.h"
#include "ui/Tray.h"

namespace ui {

void SetCursor(Cursor cursor) {
  G().cursor = cursor;
  if (G().backend) G().backend->SetCursor(cursor);
}

Cursor GetCursor() { return G().cursor; }

Icon LoadIcon(int resourceId, int width, int height) { return {resourceId, width, height}; }

bool Shell_NotifyIcon(DWORD message, const NotifyIconData& data) {
  if (!G().backend) return false;
  NotifyIconData copy = data;
  if (copy.szTip.size() > 127) copy.szTip.resize(127);
  return G().backend->NotifyIcon(message, copy);
}

std::optional<Menu> Menu::GetSubMenu(int pos) const {
  if (pos < 0 || pos >= int(items.size()) || items[pos].popup.empty()) return std::nullopt;
  return Menu{items[pos].popup};
}

UINT TrackPopupMenu(const Menu& menu, UINT flags, int x, int y, HWND owner) {
  if (!G().backend || !IsWindow(owner)) return 0;
  UINT chosen = G().backend->TrackPopupMenu(menu, {x, y}, owner);
  if (chosen && !(flags & TPM_RETURNCMD)) PostMessage(owner, WM_COMMAND, MAKEWPARAM(WORD(chosen), 0), 0);
  return chosen;
}

bool TranslateAccelerator(HWND window, const AcceleratorTable& table, const Msg& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  UINT mods = G().modifiers;
  for (const Accel& a : table) {
    if (!(a.fVirt & FVIRTKEY) || a.key != msg.wParam) continue;
    bool shift = (a.fVirt & FSHIFT) != 0, control = (a.fVirt & FCONTROL) != 0, alt = (a.fVirt & FALT) != 0;
    if (shift != ((mods & MOD_SHIFT) != 0) || control != ((mods & MOD_CONTROL) != 0) || alt != ((mods & MOD_ALT) != 0))
      continue;
    SendMessage(window, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
    return true;
  }
  return false;
}

}  // namespace ui
