#pragma once
#include <string>

// The install folder, application-data folder + "/" + string 124 + "/" +
// string 117 + "/", with its final separator. Worked out on the first call and
// kept for the life of the process; the folders are not created here.
std::wstring GetInstallDir();
