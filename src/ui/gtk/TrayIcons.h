#pragma once
// Tray icons as status icons in the desktop's notification area. Without a
// notification area the icon exists unseen and everything else works the same.
// Presses and releases on an icon reach its window as the callback message.
#include <gtk/gtk.h>

#include <map>
#include <utility>

#include "ui/Tray.h"

namespace ui::gtk {

class DesktopBackend;

class TrayIcons {
 public:
  explicit TrayIcons(DesktopBackend& backend) : backend_(backend) {}
  ~TrayIcons();
  TrayIcons(const TrayIcons&) = delete;
  TrayIcons& operator=(const TrayIcons&) = delete;

  bool Notify(DWORD message, const NotifyIconData& data);

 private:
  struct Entry {
    TrayIcons* owner = nullptr;
    NotifyIconData data;
    GtkStatusIcon* icon = nullptr;
  };
  static gboolean OnButton(GtkStatusIcon*, GdkEventButton* event, gpointer entry);
  void Apply(Entry& entry, UINT flags);

  DesktopBackend& backend_;
  std::map<std::pair<HWND, UINT>, Entry*> entries_;
};

}  // namespace ui::gtk
