// Stands in for the login window opening, which is where the client runs its
// first-run setup: the process-level install tests start copies of this
// program from a "download" folder, as a player starts the client.
#include "app/FirstSetup.h"
#include "app/Zedoro_BrixApp.h"

int main() {
  // The profile location the application object fixes at start-up.
  theApp.SetRegistryKey(L"应用程序向导生成的本地应用程序");
  RunFirstSetup();
  return 0;
}
