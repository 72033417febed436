#pragma once
// The files port: what the client expects of the system's file functions.
// Paths are wide text, '/'-separated on Linux. Every call reports failure by its
// result and leaves the reason in LastError() (an errno value on Linux).
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// True for an existing file or folder (PathFileExistsW).
bool FileExists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
// Creates one folder; false when it exists already or its parent is missing.
bool CreateFolder(const std::wstring& path);
// Removes an empty folder.
bool RemoveFolder(const std::wstring& path);
// Copies a file keeping its mode bits. The target is replaced atomically
// (written beside it, then renamed), so it is never seen half-written.
// Fails when failIfExists and the target exists, or when the target is
// read-only: as on Windows, a read-only file is refused even to root.
bool CopyFile(const std::wstring& from, const std::wstring& to, bool failIfExists);
// Deletes a file; a read-only file is refused (even to root).
bool DeleteFile(const std::wstring& path);
// Names in a folder, without "." and "..". ok is false when the folder
// cannot be listed.
std::vector<std::wstring> ListFolder(const std::wstring& folder, bool* ok = nullptr);
// Read-only attribute = no write bits at all.
bool IsReadOnly(const std::wstring& path);
bool SetReadOnly(const std::wstring& path, bool readOnly);
bool SetExecutable(const std::wstring& path);
bool ReadWholeFile(const std::wstring& path, std::string& bytes);
// Writes a file atomically (sibling file, then rename). Read-only targets are refused.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
// Size in bytes, or -1 when the file cannot be examined.
std::int64_t FileSize(const std::wstring& path);

// The error of the last failed call on this thread (errno values on Linux).
int LastError();
void SetLastError(int code);

}  // namespace platform
