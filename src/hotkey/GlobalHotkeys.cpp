#include "hotkey/GlobalHotkeys.h"

#include <cstdint>
#include <string>

#include "app/Settings.h"
#include "hotkey/HotkeyText.h"
#include "ui/System.h"

namespace {

constexpr ui::UINT kKeyF5 = 0x74;

void RegisterConfigured(ui::HWND window, int id, const std::wstring& key, const HotkeyNameTable& table) {
  std::wstring text = ReadSetting(L"Setting", key, L"0");
  if (text.empty()) return;
  ui::UnregisterHotKey(window, id);
  std::uint32_t modifiers = 0, keyCode = 0;
  ParseHotkeyText(table, text, modifiers, keyCode);
  ui::RegisterHotKey(window, id, modifiers, keyCode);
}

}  // namespace

void RegisterGlobalHotkeys(ui::HWND window) {
  HotkeyNameTable table;
  RegisterConfigured(window, kHotkeyBossKey, L"screentoggle", table);
  RegisterConfigured(window, kHotkeyFullScreen, L"fullscreen", table);
  ui::RegisterHotKey(window, kHotkeyRefresh, 0, kKeyF5);
}
