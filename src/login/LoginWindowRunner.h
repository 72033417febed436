#pragma once
// Gives the main window its login: from now on RunLoginWindow runs the login
// window modally and returns the game address it handed over.
void InstallLoginWindow();
