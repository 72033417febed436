#pragma once
// The client installs itself: every time the login window opens it makes sure
// the install folder holds the default files, the menu shortcuts exist, the
// installed-programs list and the profile know the client, and the installed
// executable is not older than the running one. Nothing is shown and no
// failure is reported; every step runs whatever became of the others.
#include <string>

void RunFirstSetup();

// Unpacks the default-files archive into installFolder + "/res" unless the
// settings say it was done; a user's existing settings file is kept.
void UnpackDefaultFiles(const std::wstring& installFolder);

// A version text as one number: the dots removed, the leading digits read as
// a decimal integer ("1.0.0.1" is 1001; no digits is 0).
int VersionNumber(const std::wstring& versionText);
