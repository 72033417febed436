#include "ui/gtk/HotkeyTable.h"

#include <keybinder.h>

#include "ui/Messages.h"
#include "ui/System.h"
#include "ui/gtk/KeyMap.h"

namespace ui::gtk {

HotkeyTable::HotkeyTable() { keybinder_init(); }

HotkeyTable::~HotkeyTable() {
  for (auto& [key, entry] : entries_) {
    keybinder_unbind_all(entry->accelerator.c_str());
    delete entry;
  }
}

void HotkeyTable::OnKey(const char*, void* data) {
  auto* entry = static_cast<Entry*>(data);
  PostMessage(entry->hwnd, WM_HOTKEY, WPARAM(entry->id), MAKELPARAM(WORD(entry->modifiers), WORD(entry->virtualKey)));
}

bool HotkeyTable::Register(HWND hwnd, int id, UINT modifiers, UINT virtualKey) {
  std::string accelerator = AcceleratorText(modifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN), virtualKey);
  if (accelerator.empty() || entries_.count({hwnd, id})) return false;
  // A combination has one holder.
  for (auto& [key, entry] : entries_)
    if (entry->accelerator == accelerator) return false;
  auto* entry = new Entry{hwnd, id, modifiers, virtualKey, accelerator};
  if (!keybinder_bind(accelerator.c_str(), OnKey, entry)) {
    delete entry;
    return false;
  }
  entries_[{hwnd, id}] = entry;
  return true;
}

bool HotkeyTable::Unregister(HWND hwnd, int id) {
  auto it = entries_.find({hwnd, id});
  if (it == entries_.end()) return false;
  keybinder_unbind_all(it->second->accelerator.c_str());
  delete it->second;
  entries_.erase(it);
  return true;
}

}  // namespace ui::gtk
