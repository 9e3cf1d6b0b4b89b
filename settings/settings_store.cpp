#include "settings/settings_store.h"

#include "common/texts.h"

const char kGameKey[] = "Software\\Dravela\\VONU 11";
const char kInstallDirValue[] = "Install Dir";
const char kToolKey[] = "Software\\Marvek\\VONU11 XQ";
const char kBackupValue[] = "Backup";

namespace {
// Closes the open key on every way out, exceptions included.
struct KeyCloser {
  TRegistry& registry;
  ~KeyCloser() { registry.CloseKey(); }
};

// A value of a type the tool does not read: the English line stays, and one
// in the player's language names the key and the value and what to do.
template <class Read>
auto ReadTyped(const std::string& key, const char* value, const std::string& todo, Read&& read) {
  try {
    return read();
  } catch (const ERegistryTypeError& error) {
    throw ERegistryTypeError(error.what() + Filled(kValueNotText, {key, value}) + todo);
  }
}
}  // namespace

std::string ReadGameFolder(TRegistry& registry) {
  registry.OpenKey(kGameKey, false);
  KeyCloser closer{registry};
  // Some installers store the folder as an expandable string
  // ("%SystemDrive%\Games\..."): it means the folder it expands to.
  return ReadTyped(kGameKey, kInstallDirValue, kInstallerWritesIt,
                   [&] { return registry.ReadExpandedString(kInstallDirValue); });
}

bool ReadOrCreateFlag(TRegistry& registry) {
  registry.OpenKey(kToolKey, true);
  KeyCloser closer{registry};
  // Only a flag known to be absent is created: writing "0" over a "1" that
  // could not be read would bring back the first run over a folder that holds
  // its copies.
  if (registry.ValueExists(kBackupValue)) {
    const std::string command = "reg delete \"HKLM\\" + std::string(kToolKey) + "\" /v " + kBackupValue + " /reg:32 /f";
    return ReadTyped(kToolKey, kBackupValue, Filled(kDeleteValue, {command}),
                     [&] { return registry.ReadString(kBackupValue); }) == "0";
  }
  registry.WriteString(kBackupValue, "0");
  return true;
}

void MarkBackupDone(RegistryRoot& root) {
  TRegistry registry(root);
  registry.OpenKey(kToolKey, true);
  registry.WriteString(kBackupValue, "1");
}
