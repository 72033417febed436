#include "gamewnd/MainWindowResources.h"

namespace mainwnd {

ui::DialogTemplate MainWindowTemplate() {
  ui::DialogTemplate t;
  t.id = 101;
  t.style = ui::WS_POPUP;
  t.size = {1000, 700};
  for (int id : {kBtnClose, kBtnMax, kBtnRestore, kBtnMin, kBtnChangeServer, kBtnBossKey, kBtnFullScreen,
                 kBtnRefresh, kBtnClearCache})
    t.controls.push_back({id, ui::Rect::FromXYWH(0, 0, 28, 26), L""});
  // The two buttons that take no part in the window have no place.
  t.controls.push_back({kBtnUnused1011, {}, L""});
  t.controls.push_back({kBtnUnused1017, {}, L""});
  return t;
}

ui::Menu TrayMenu() {
  ui::MenuItem popup;
  popup.popup = {
      {ui::UINT(kCmdTrayToggle), L"隐藏/显示(F10)"},
      {ui::UINT(kCmdTrayClearCache), L"清理缓存"},
      {ui::UINT(kCmdTrayExit), L"退出"},
  };
  return ui::Menu{{popup}};
}

ui::AcceleratorTable MainAccelerators() { return {{ui::FVIRTKEY, ui::WORD(ui::VK_F5), ui::WORD(kCmdAccelF5)}}; }

}  // namespace mainwnd
