#pragma once
#include <string>

// The "FileVersion" text of a file's version block, one per translation it
// lists, joined; empty when the file does not exist; "None VerSion Supprot"
// (the client's own spelling) when the file has no version block.
std::wstring GetFileVersionText(const std::wstring& path);
