#pragma once
#include <string>

// The latest address the login page is going to: set by the login page's
// browser site before every navigation, read by the login form popup. Touched
// only on the user-interface thread.
extern std::wstring g_strLastNavigateUrl;
