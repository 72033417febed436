#pragma once
// The updater's log, res/update.log in the install folder: UTF-16LE text
// without a byte-order mark, one time-stamped line per message.
#include <cstdint>
#include <exception>
#include <string>

// Path of update.log ("res" below the install folder).
std::wstring UpdateLogPath();

// Appends one line "Y-M-D h:m:s : \tUpdateModule\t<message>" and CR LF, opening
// and closing the file for this line alone. The res folder is not created.
// 0 when the line was written, -1 when the file cannot be opened or written.
int WriteUpdateLog(const std::wstring& message);

// The log is deleted at the start of a check once it is larger than this.
inline constexpr std::int64_t kUpdateLogCapBytes = 10485760;

// The separator line that ends an update run in the log.
inline constexpr const wchar_t* kUpdateLogSeparator = L"=====================";

// Logs heading, then the error's own text (at most 254 characters, what a
// 255-character message buffer holds) as a line of its own.
void WriteUpdateLogError(const std::wstring& heading, const std::exception& error);
