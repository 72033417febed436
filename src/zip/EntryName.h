#pragma once
// Entry names as stored in an archive, turned into the names the layer reports.
#include <string>
#include <string_view>

namespace zip {

// Decodes the stored bytes as UTF-8 whatever the entry's flags claim (up to the
// first NUL; invalid sequences become U+FFFD).
std::wstring DecodeEntryName(std::string_view stored);

// Removes drive letters, leading separators and everything up to a parent step
// in the middle of the name, repeating until nothing more matches:
// "C:\a\..\b/../c.txt" becomes "c.txt". A name that starts with a parent step
// ("..\x") keeps it; the output path rules refuse such names.
std::wstring CleanEntryName(std::wstring name);

}  // namespace zip
