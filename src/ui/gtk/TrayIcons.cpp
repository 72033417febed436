// GtkStatusIcon is deprecated in GTK 3 but is what still reaches the
// notification areas of X11 desktops.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include "ui/gtk/TrayIcons.h"

#include "platform/Resources.h"
#include "platform/Text.h"
#include "ui/Messages.h"
#include "ui/System.h"
#include "ui/gtk/DesktopBackend.h"

namespace ui::gtk {

namespace {

// The icon resource in whatever image format it is stored; null when there
// is none or it cannot be read.
GdkPixbuf* LoadIconPixbuf(const Icon& icon) {
  auto data = platform::FindResource("ICON", icon.resourceId);
  if (!data) data = platform::FindResource("PNG", icon.resourceId);
  if (!data) return nullptr;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  GdkPixbuf* pixbuf = nullptr;
  if (icon.width > 0 && icon.height > 0) gdk_pixbuf_loader_set_size(loader, icon.width, icon.height);
  if (gdk_pixbuf_loader_write(loader, data->data, data->size, nullptr) && gdk_pixbuf_loader_close(loader, nullptr)) {
    pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
    if (pixbuf) g_object_ref(pixbuf);
  } else {
    gdk_pixbuf_loader_close(loader, nullptr);
  }
  g_object_unref(loader);
  return pixbuf;
}

}  // namespace

TrayIcons::~TrayIcons() {
  for (auto& [key, entry] : entries_) {
    g_object_unref(entry->icon);
    delete entry;
  }
}

void TrayIcons::Apply(Entry& entry, UINT flags) {
  if (flags & NIF_ICON) {
    if (GdkPixbuf* pixbuf = LoadIconPixbuf(entry.data.hIcon)) {
      gtk_status_icon_set_from_pixbuf(entry.icon, pixbuf);
      g_object_unref(pixbuf);
    } else {
      gtk_status_icon_set_from_icon_name(entry.icon, "applications-games");
    }
  }
  if (flags & NIF_TIP) gtk_status_icon_set_tooltip_text(entry.icon, platform::ToUtf8(entry.data.szTip).c_str());
}

bool TrayIcons::Notify(DWORD message, const NotifyIconData& data) {
  auto key = std::make_pair(data.hWnd, data.uID);
  auto it = entries_.find(key);
  switch (message) {
    case NIM_ADD: {
      if (it != entries_.end() || !IsWindow(data.hWnd)) return false;
      auto* entry = new Entry{this, data, gtk_status_icon_new()};
      g_signal_connect(entry->icon, "button-press-event", G_CALLBACK(OnButton), entry);
      g_signal_connect(entry->icon, "button-release-event", G_CALLBACK(OnButton), entry);
      Apply(*entry, data.uFlags | NIF_ICON);
      gtk_status_icon_set_visible(entry->icon, TRUE);
      entries_[key] = entry;
      return true;
    }
    case NIM_MODIFY: {
      if (it == entries_.end()) return false;
      Entry& entry = *it->second;
      if (data.uFlags & NIF_MESSAGE) entry.data.uCallbackMessage = data.uCallbackMessage;
      if (data.uFlags & NIF_ICON) entry.data.hIcon = data.hIcon;
      if (data.uFlags & NIF_TIP) entry.data.szTip = data.szTip;
      Apply(entry, data.uFlags);
      return true;
    }
    case NIM_DELETE:
      if (it == entries_.end()) return false;
      gtk_status_icon_set_visible(it->second->icon, FALSE);
      g_object_unref(it->second->icon);
      delete it->second;
      entries_.erase(it);
      return true;
    default:
      return false;
  }
}

gboolean TrayIcons::OnButton(GtkStatusIcon*, GdkEventButton* event, gpointer data) {
  auto* entry = static_cast<Entry*>(data);
  if (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE) return TRUE;
  if (event->button != 1 && event->button != 3) return FALSE;
  entry->owner->backend_.NotePointer({int(event->x_root), int(event->y_root)});
  if (!(entry->data.uFlags & NIF_MESSAGE) || !entry->data.uCallbackMessage) return TRUE;
  bool left = event->button == 1, down = event->type == GDK_BUTTON_PRESS;
  UINT mouse = left ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
  PostMessage(entry->data.hWnd, entry->data.uCallbackMessage, entry->data.uID, LPARAM(mouse));
  return TRUE;
}

}  // namespace ui::gtk
