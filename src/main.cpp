// The process entry: runs the application object as the framework would,
// InitInstance, then the message loop when a mode asked for it, then
// ExitInstance, whose result is the exit code.
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "app/Zedoro_BrixApp.h"
#include "login/LoginWindowRunner.h"
#include "ui/System.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessBrowser.h"
#ifdef ZORV_DESKTOP_BACKEND
#include "ui/gtk/Desktop.h"
#endif

namespace {

// The window backend is chosen once, here, from ZORV_BACKEND, the way a video
// driver is: "headless" is the in-memory desktop of the tests and of runs
// without a display (its script comes from ZORV_HEADLESS_SCRIPT); anything
// else is the desktop, when this build has it.
bool ChooseWindowBackend() {
  const char* name = std::getenv("ZORV_BACKEND");
  if (name && std::string_view(name) == "headless") {
    auto backend = ui::headless::CreateForProcess();
    // Its pages are played by the script's "page" lines.
    ui::headless::InstallHeadlessBrowser();
    ui::headless::RegisterPageScriptCommands(*backend);
    ui::Init(std::move(backend));
    return true;
  }
#ifdef ZORV_DESKTOP_BACKEND
  // The desktop: GTK on the X display, WebKit for the pages.
  if (auto desktop = ui::gtk::CreateDesktopBackend()) {
    ui::Init(std::move(desktop));
    return true;
  }
  std::fprintf(stderr, "Zedoro_Brix: cannot open the display; set DISPLAY, or ZORV_BACKEND=headless\n");
  return false;
#else
  std::fprintf(stderr, "Zedoro_Brix: no desktop window backend in this build; set ZORV_BACKEND=headless\n");
  return false;
#endif
}

}  // namespace

int main() {
  if (!ChooseWindowBackend()) return 1;
  InstallLoginWindow();
  int code = theApp.InitInstance() ? theApp.Run() : theApp.ExitInstance();
  ui::Shutdown();
  return code;
}
