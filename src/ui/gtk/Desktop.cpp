#include "ui/gtk/Desktop.h"

#include <gtk/gtk.h>

#include "ui/gtk/DesktopBackend.h"
#include "ui/gtk/WebKitEngine.h"

namespace ui::gtk {

std::unique_ptr<Backend> CreateDesktopBackend() {
  if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  auto backend = std::make_unique<DesktopBackend>();
  InstallWebKitBrowser();
  return backend;
}

}  // namespace ui::gtk
