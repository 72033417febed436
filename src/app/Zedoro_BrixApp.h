#pragma once
// The application object: start-up, the choice of a run mode from the raw
// command line, and shut-down. One global instance, theApp, lives for the
// whole process; main runs InitInstance, the message loop when it returns
// true (the embedded mode), and ExitInstance.
#include <string>

class CZedoro_BrixApp {
 public:
  CZedoro_BrixApp() = default;
  CZedoro_BrixApp(const CZedoro_BrixApp&) = delete;
  CZedoro_BrixApp& operator=(const CZedoro_BrixApp&) = delete;

  // Runs the chosen mode. True only when a mode wants the message loop to run
  // afterwards; false when the process is done.
  bool InitInstance();
  // The message loop, for a mode that keeps the process alive; ends with
  // ExitInstance and returns its result.
  int Run();
  // After the loop or a false InitInstance; the result is the process's exit
  // code: the code the loop ended with, 0 when no loop ran.
  int ExitInstance();

  // The text InitInstance gave SetRegistryKey: where the application profile
  // keeps its values.
  const std::wstring& RegistryKey() const { return m_strRegistryKey; }

  // Fixes where the application profile keeps its values (also for tools
  // that run parts of the client without the application's start-up).
  void SetRegistryKey(const std::wstring& key);

 private:
  std::wstring m_strRegistryKey;
  int m_nQuitCode = 0;
};

extern CZedoro_BrixApp theApp;
