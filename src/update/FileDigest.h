#pragma once
#include <string>

// Appends the MD5 digest of the file at path to out as 32 lower-case
// hexadecimal digits. False, with out untouched, when it cannot be computed.
bool FileMd5Hex(const std::wstring& path, std::wstring& out);
