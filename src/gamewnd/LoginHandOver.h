#pragma once
// The main window's way to the login window: run it modally and take the
// game page address it closes with. The login window fills this in at
// start-up; the main window only calls it.
#include <functional>
#include <string>

using LoginWindowRunner = std::function<std::wstring()>;

void SetLoginWindowRunner(LoginWindowRunner runner);
// Runs the login window; an empty address when there is none to run.
std::wstring RunLoginWindow();
