#include "platform/Shell.h"

#include <gio/gio.h>

#include <string_view>

#include "platform/Debug.h"
#include "platform/Text.h"

namespace platform {
namespace {

// Escapes for a value of type string or localestring in a desktop entry.
std::string EscapeValue(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case ' ': out += i == 0 ? "\\s" : " "; break;
      default: out += c;
    }
  }
  return out;
}

// One argument of an Exec line: quoted when it holds a reserved character (or
// is empty), with '"', '`', '$' and '\' escaped inside the quotes; '%' is
// doubled everywhere so that it is never taken for a field code.
std::string QuoteExecArgument(std::string_view arg) {
  constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
  bool quote = arg.empty() || arg.find_first_of(kReserved) != std::string_view::npos;
  std::string out;
  if (quote) out += '"';
  for (char c : arg) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    out += c;
    if (c == '%') out += '%';
  }
  if (quote) out += '"';
  return out;
}

std::string FileNameWithoutLinkExtension(const std::wstring& linkPath) {
  std::wstring name = linkPath.substr(linkPath.find_last_of(L'/') + 1);
  std::wstring_view ext = kLinkExtension;
  if (name.size() > ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0) {
    name.resize(name.size() - ext.size());
  }
  return ToUtf8(name);
}

}  // namespace

std::string DesktopEntryText(const ShellLink& link, const std::wstring& name) {
  std::string exec = QuoteExecArgument(ToUtf8(link.target));
  for (const auto& arg : link.arguments) exec += " " + QuoteExecArgument(ToUtf8(arg));
  std::string text = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
  text += "Name=" + EscapeValue(ToUtf8(name)) + "\n";
  if (!link.description.empty()) text += "Comment=" + EscapeValue(ToUtf8(link.description)) + "\n";
  text += "Exec=" + EscapeValue(exec) + "\n";
  if (!link.iconPath.empty()) text += "Icon=" + EscapeValue(ToUtf8(link.iconPath)) + "\n";
  text += "Terminal=false\n";
  return text;
}

bool SaveShellLink(const ShellLink& link, const std::wstring& linkPath) {
  std::string text = DesktopEntryText(link, FromUtf8(FileNameWithoutLinkExtension(linkPath)));
  GFile* file = g_file_new_for_path(ToUtf8(linkPath).c_str());
  GError* error = nullptr;
  // Written beside the target and renamed over it: a menu watching the folder
  // never reads half an entry.
  gboolean ok = g_file_replace_contents(file, text.data(), text.size(), nullptr, FALSE, G_FILE_CREATE_NONE,
                                        nullptr, nullptr, &error);
  if (error != nullptr) g_error_free(error);
  g_object_unref(file);
  return ok != FALSE;
}

bool MoveToTrash(const std::wstring& path) {
  GFile* file = g_file_new_for_path(ToUtf8(path).c_str());
  GError* error = nullptr;
  gboolean ok = g_file_trash(file, nullptr, &error);
  if (error != nullptr) {
    DebugOutput(L"trash " + path + L": " + FromUtf8(error->message));
    g_error_free(error);
  }
  g_object_unref(file);
  return ok != FALSE;
}

void NotifyShellChange(ShellChange change, const std::wstring& path) {
  DebugOutput((change == ShellChange::ItemRemoved ? L"shell: removed " : L"shell: folder changed ") + path);
}

}  // namespace platform
