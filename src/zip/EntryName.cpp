#include "zip/EntryName.h"

#include <array>

#include "platform/Text.h"

namespace zip {

std::wstring DecodeEntryName(std::string_view stored) {
  return platform::FromUtf8(stored.substr(0, stored.find('\0')));
}

namespace {

// Applies the first rule that matches; false when none does.
bool ApplyOneRule(std::wstring& name) {
  if (name.size() >= 2 && name[1] == L':') {
    name.erase(0, 2);
    return true;
  }
  if (!name.empty() && (name[0] == L'\\' || name[0] == L'/')) {
    name.erase(0, 1);
    return true;
  }
  static constexpr std::array<std::wstring_view, 4> kParentSteps = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
  for (std::wstring_view step : kParentSteps) {
    auto at = name.find(step);
    if (at != std::wstring::npos) {
      name.erase(0, at + step.size());
      return true;
    }
  }
  return false;
}

}  // namespace

std::wstring CleanEntryName(std::wstring name) {
  while (ApplyOneRule(name)) {
  }
  return name;
}

}  // namespace zip
