#pragma once
// Small file helpers for tests (byte-exact, UTF-8 paths).
#include <optional>
#include <string>

namespace zorv::test {

// Whole file as bytes; nullopt when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path);
// Creates or replaces the file (not its folders); false on failure.
bool WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
// Mode bits (st_mode & 07777), or -1 when the file is missing.
int FileMode(const std::string& path);

// UTF-8 <-> wide, for paths handed to the client's ports.
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

}  // namespace zorv::test
