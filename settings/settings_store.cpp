#include "settings/settings_store.h"

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
}  // namespace

std::string ReadGameFolder(TRegistry& registry) {
  registry.OpenKey(kGameKey, false);
  KeyCloser closer{registry};
  // Some installers store the folder as an expandable string
  // ("%SystemDrive%\Games\..."): it means the folder it expands to.
  return registry.ReadExpandedString(kInstallDirValue);
}

bool ReadOrCreateFlag(TRegistry& registry) {
  registry.OpenKey(kToolKey, true);
  KeyCloser closer{registry};
  // Only a flag known to be absent is created: one that exists but can't be
  // read raises the read error and stays as stored, since writing "0" over a
  // "1" would bring back the first run over a folder that holds its copies.
  if (registry.ValueExists(kBackupValue)) return registry.ReadString(kBackupValue) == "0";
  registry.WriteString(kBackupValue, "0");
  return true;
}

void MarkBackupDone(RegistryRoot& root) {
  TRegistry registry(root);
  registry.OpenKey(kToolKey, true);
  registry.WriteString(kBackupValue, "1");
}
