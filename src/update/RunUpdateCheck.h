#pragma once
#include <string>

// The update check run when the login page has loaded for the first time: asks
// the version server of the string table and, when a newer client exists,
// downloads it and hands over to it (the process then ends).
void RunUpdateCheck();
// The same check against the given version server and request path.
void RunUpdateCheck(const std::wstring& server, const std::wstring& pathAndQuery);
