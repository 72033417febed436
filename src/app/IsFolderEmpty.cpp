#include "app/IsFolderEmpty.h"

#include "platform/Files.h"

bool IsFolderEmpty(const std::wstring& folder) {
  bool listed = false;
  const auto names = platform::ListFolder(folder, &listed);
  return !listed || names.empty();
}
