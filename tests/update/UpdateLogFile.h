#pragma once
// Reading update.log back in tests: the raw bytes, and the messages of its
// lines without the time stamp and tag.
#include <string>
#include <vector>

namespace zorv::test {

// Decodes UTF-16LE (surrogate pairs joined) into wide text.
std::wstring DecodeUtf16Le(const std::string& bytes);
// The lines of the log (CR LF removed), empty when there is no log.
std::vector<std::wstring> LogLines();
// What follows "\tUpdateModule\t" on each line.
std::vector<std::wstring> LogMessages();

}  // namespace zorv::test
