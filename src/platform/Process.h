#pragma once
// The process port: the raw command line, the module path, starting another
// program and ending this one.
#include <functional>
#include <string>

namespace platform {

// The raw command-line text, as Windows reports it (GetCommandLineW). A process
// started by StartProcess sees exactly the text it was given; a process started
// from a shell or a desktop entry sees its quoted program path, a blank and its
// arguments joined by blanks.
std::wstring GetCommandLine();
// Tests and embedders may set the text directly.
void SetCommandLine(const std::wstring& text);

// Full path of the running executable (GetModuleFileNameW).
std::wstring GetModulePath();

// Starts program with the given raw command-line text (CreateProcessW with an
// application name): no shell is involved, the child does not inherit our
// handles, and nothing waits for it. False when the start failed.
bool StartProcess(const std::wstring& program, const std::wstring& commandLine);

// Ends the process at once with the given code ("exit now"). Every such ending
// in the client goes through here so that tests can observe it.
[[noreturn]] void ExitProcessNow(int code);
// Tests install a hook that is called instead of ending the process; it must
// not return (it throws). An empty function restores the real exit.
void SetExitHook(std::function<void(int)> hook);

void SleepMilliseconds(int ms);

}  // namespace platform
