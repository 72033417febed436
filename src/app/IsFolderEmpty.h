#pragma once
#include <string>

// True when the folder holds no entries, and also when it cannot be listed
// (a missing folder counts as empty).
bool IsFolderEmpty(const std::wstring& folder);
