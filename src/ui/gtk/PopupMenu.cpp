#include "ui/gtk/PopupMenu.h"

#include <gtk/gtk.h>

#include "platform/Text.h"

namespace ui::gtk {

namespace {

struct MenuRun {
  UINT chosen = 0;
  GMainLoop* loop = nullptr;
};

// "&File" marks its mnemonic with '&'; the toolkit uses '_' ("&&" is a plain '&').
std::string MnemonicText(const std::wstring& text) {
  std::string utf8 = platform::ToUtf8(text);
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
    if (c == '&') {
      if (i + 1 < utf8.size() && utf8[i + 1] == '&') {
        out += '&';
        ++i;
      } else {
        out += '_';
      }
    } else if (c == '_') {
      out += "__";
    } else if (c == '\t') {
      break;  // the accelerator's text after a tab is not shown
    } else {
      out += c;
    }
  }
  return out;
}

void OnActivate(GtkMenuItem* item, gpointer data) {
  static_cast<MenuRun*>(data)->chosen = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), "zorv-menu-id"));
}

gboolean QuitLoop(gpointer data) {
  g_main_loop_quit(static_cast<MenuRun*>(data)->loop);
  return G_SOURCE_REMOVE;
}

void OnDeactivate(GtkMenuShell*, gpointer data) {
  // The chosen item is activated right after the menu goes away.
  g_idle_add(QuitLoop, data);
}

GtkWidget* Build(const std::vector<MenuItem>& items, MenuRun& run) {
  GtkWidget* menu = gtk_menu_new();
  for (const MenuItem& item : items) {
    GtkWidget* widget;
    if (item.separator) {
      widget = gtk_separator_menu_item_new();
    } else {
      widget = gtk_menu_item_new_with_mnemonic(MnemonicText(item.text).c_str());
      if (!item.popup.empty()) {
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(widget), Build(item.popup, run));
      } else {
        g_object_set_data(G_OBJECT(widget), "zorv-menu-id", GUINT_TO_POINTER(item.id));
        g_signal_connect(widget, "activate", G_CALLBACK(OnActivate), &run);
      }
    }
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), widget);
  }
  gtk_widget_show_all(menu);
  return menu;
}

}  // namespace

UINT RunPopupMenu(const Menu& menu, Point screen, GdkWindow* owner) {
  if (menu.items.empty()) return 0;
  MenuRun run;
  run.loop = g_main_loop_new(nullptr, FALSE);
  GtkWidget* widget = Build(menu.items, run);
  g_signal_connect(widget, "deactivate", G_CALLBACK(OnDeactivate), &run);
  GdkWindow* root = gdk_get_default_root_window();
  GdkRectangle at{screen.x, screen.y, 1, 1};
  // The menu comes from a posted message, after the click that asked for it
  // was handled: a press of our own stands for it, so the menu's grab has a
  // device and a window.
  GdkEvent* trigger = gdk_event_new(GDK_BUTTON_PRESS);
  trigger->button.window = GDK_WINDOW(g_object_ref(owner ? owner : root));
  trigger->button.time = gtk_get_current_event_time();
  trigger->button.button = 3;
  trigger->button.x_root = screen.x;
  trigger->button.y_root = screen.y;
  gdk_event_set_device(trigger, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(root))));
  gtk_menu_popup_at_rect(GTK_MENU(widget), root, &at, GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST, trigger);
  gdk_event_free(trigger);
  if (gtk_widget_get_visible(widget)) g_main_loop_run(run.loop);
  g_signal_handlers_disconnect_by_data(widget, &run);
  gtk_widget_destroy(widget);
  g_main_loop_unref(run.loop);
  return run.chosen;
}

}  // namespace ui::gtk
