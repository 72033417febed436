#pragma once
// Starting a fresh copy of the running program (change of server): the
// program's own file with an empty command line, so the copy starts in the
// normal run mode and shows the login window. Nothing waits for it and its
// result is not examined.
#include <functional>
#include <string>

void Relaunch();

// The process start Relaunch goes through (program, command line); tests
// watch relaunches with their own. An empty function restores the real start.
using ProcessStarter = std::function<bool(const std::wstring& program, const std::wstring& commandLine)>;
void SetRelaunchStarter(ProcessStarter starter);
