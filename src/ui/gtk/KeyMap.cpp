#include "ui/gtk/KeyMap.h"

#include <gdk/gdkkeysyms.h>

#include <iterator>

#include "ui/Messages.h"

namespace ui::gtk {

namespace {

struct KeyPair {
  UINT vk;
  guint symbol;
};

// Keys outside the letter, digit and function-key ranges. The first symbol
// listed for a code is the one a hotkey grabs.
constexpr KeyPair kKeys[] = {
    {VK_BACK, GDK_KEY_BackSpace},   {VK_TAB, GDK_KEY_Tab},           {VK_TAB, GDK_KEY_ISO_Left_Tab},
    {VK_RETURN, GDK_KEY_Return},    {VK_RETURN, GDK_KEY_KP_Enter},   {VK_SHIFT, GDK_KEY_Shift_L},
    {VK_SHIFT, GDK_KEY_Shift_R},    {VK_CONTROL, GDK_KEY_Control_L}, {VK_CONTROL, GDK_KEY_Control_R},
    {VK_MENU, GDK_KEY_Alt_L},       {VK_MENU, GDK_KEY_Alt_R},        {VK_PAUSE, GDK_KEY_Pause},
    {VK_CAPITAL, GDK_KEY_Caps_Lock}, {VK_ESCAPE, GDK_KEY_Escape},    {VK_SPACE, GDK_KEY_space},
    {VK_PRIOR, GDK_KEY_Page_Up},    {VK_NEXT, GDK_KEY_Page_Down},    {VK_END, GDK_KEY_End},
    {VK_HOME, GDK_KEY_Home},        {VK_LEFT, GDK_KEY_Left},         {VK_UP, GDK_KEY_Up},
    {VK_RIGHT, GDK_KEY_Right},      {VK_DOWN, GDK_KEY_Down},         {0x2C, GDK_KEY_Print},
    {VK_INSERT, GDK_KEY_Insert},    {VK_DELETE, GDK_KEY_Delete},     {VK_LWIN, GDK_KEY_Super_L},
    {VK_MULTIPLY, GDK_KEY_KP_Multiply}, {VK_ADD, GDK_KEY_KP_Add},    {VK_SUBTRACT, GDK_KEY_KP_Subtract},
    {VK_DECIMAL, GDK_KEY_KP_Decimal}, {VK_DIVIDE, GDK_KEY_KP_Divide}, {0x90, GDK_KEY_Num_Lock},
    {0x91, GDK_KEY_Scroll_Lock},    {0xBA, GDK_KEY_semicolon},       {0xBB, GDK_KEY_equal},
    {0xBC, GDK_KEY_comma},          {0xBD, GDK_KEY_minus},           {0xBE, GDK_KEY_period},
    {0xBF, GDK_KEY_slash},          {0xC0, GDK_KEY_grave},           {0xDB, GDK_KEY_bracketleft},
    {0xDC, GDK_KEY_backslash},      {0xDD, GDK_KEY_bracketright},    {0xDE, GDK_KEY_apostrophe},
};

UINT VirtualKeyOfSymbol(guint symbol) {
  if (symbol >= GDK_KEY_a && symbol <= GDK_KEY_z) return 'A' + (symbol - GDK_KEY_a);
  if (symbol >= GDK_KEY_A && symbol <= GDK_KEY_Z) return 'A' + (symbol - GDK_KEY_A);
  if (symbol >= GDK_KEY_0 && symbol <= GDK_KEY_9) return '0' + (symbol - GDK_KEY_0);
  if (symbol >= GDK_KEY_KP_0 && symbol <= GDK_KEY_KP_9) return VK_NUMPAD0 + (symbol - GDK_KEY_KP_0);
  if (symbol >= GDK_KEY_F1 && symbol <= GDK_KEY_F24) return VK_F1 + (symbol - GDK_KEY_F1);
  for (const KeyPair& k : kKeys)
    if (k.symbol == symbol) return k.vk;
  return 0;
}

}  // namespace

UINT VirtualKeyOf(const GdkEventKey* event) {
  guint symbol = 0;
  GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(event->window));
  if (!gdk_keymap_translate_keyboard_state(keymap, event->hardware_keycode, GdkModifierType(0), event->group, &symbol,
                                           nullptr, nullptr, nullptr))
    symbol = event->keyval;
  UINT vk = VirtualKeyOfSymbol(symbol);
  return vk ? vk : VirtualKeyOfSymbol(event->keyval);
}

guint KeySymbolOf(UINT vk) {
  if (vk >= 'A' && vk <= 'Z') return GDK_KEY_a + (vk - 'A');
  if (vk >= '0' && vk <= '9') return GDK_KEY_0 + (vk - '0');
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return GDK_KEY_KP_0 + (vk - VK_NUMPAD0);
  if (vk >= VK_F1 && vk < VK_F1 + 24) return GDK_KEY_F1 + (vk - VK_F1);
  for (const KeyPair& k : kKeys)
    if (k.vk == vk) return k.symbol;
  return 0;
}

UINT ModifiersOf(guint state) {
  UINT mods = 0;
  if (state & GDK_MOD1_MASK) mods |= MOD_ALT;
  if (state & GDK_CONTROL_MASK) mods |= MOD_CONTROL;
  if (state & GDK_SHIFT_MASK) mods |= MOD_SHIFT;
  if (state & (GDK_SUPER_MASK | GDK_MOD4_MASK)) mods |= MOD_WIN;
  return mods;
}

std::string AcceleratorText(UINT modifiers, UINT virtualKey) {
  guint symbol = KeySymbolOf(virtualKey);
  const char* name = symbol ? gdk_keyval_name(symbol) : nullptr;
  if (!name) return {};
  std::string text;
  if (modifiers & MOD_CONTROL) text += "<Ctrl>";
  if (modifiers & MOD_ALT) text += "<Alt>";
  if (modifiers & MOD_SHIFT) text += "<Shift>";
  if (modifiers & MOD_WIN) text += "<Super>";
  return text + name;
}

}  // namespace ui::gtk
