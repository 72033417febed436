// The process entry: runs the application object as the framework would,
// InitInstance, then the message loop when a mode asked for it, then
// ExitInstance, whose result is the exit code.
#include "app/Zedoro_BrixApp.h"

int main() {
  if (!theApp.InitInstance()) return theApp.ExitInstance();
  return theApp.Run();
}
