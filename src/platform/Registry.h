#pragma once
// The registry port: a small file-backed store of keys and text (REG_SZ) values,
// in two hives. Keys are '\'-separated paths below a hive, as the client names
// them ("SOFTWARE\Microsoft\...\Uninstall\Zorv"); names are compared exactly.
//
// On Linux each key is a folder and each value a file inside it, so creating a
// key is one mkdir (which tells reliably whether the key is new, even with two
// processes racing) and writing a value is one atomic rename.
//   machine hive: /var/lib/zorv/registry, or $ZORV_REGISTRY_MACHINE
//                 (a normal user cannot write there, as on Windows without
//                 administrator rights: machine-wide writes then fail quietly)
//   user hive:    $XDG_CONFIG_HOME/zorv/registry (default ~/.config)
#include <optional>
#include <string>

namespace platform {

enum class RegistryHive {
  LocalMachine,  // HKEY_LOCAL_MACHINE
  CurrentUser,   // HKEY_CURRENT_USER
};

enum class RegistryKeyResult {
  Failed,   // bad key path, or the hive cannot be written
  Created,  // REG_CREATED_NEW_KEY
  Opened,   // REG_OPENED_EXISTING_KEY
};

// Creates the key, and any missing parents, or opens it when it exists
// (RegCreateKeyExW). A path with an empty, "." or ".." part is refused.
RegistryKeyResult RegistryCreateKey(RegistryHive hive, const std::wstring& key);

// Sets a text value of an existing key, replacing it atomically
// (RegSetValueExW with REG_SZ). An empty name is the key's default value.
// False when the key does not exist or cannot be written.
bool RegistrySetString(RegistryHive hive, const std::wstring& key, const std::wstring& name,
                       const std::wstring& value);

// The text value, or nullopt when the key or the value is missing.
std::optional<std::wstring> RegistryGetString(RegistryHive hive, const std::wstring& key,
                                              const std::wstring& name);

}  // namespace platform
