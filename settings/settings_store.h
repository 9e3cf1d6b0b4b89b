// What the tool keeps or finds outside the game folder: the game's install
// directory, read from the game's own key, and the tool's BackupFlag.
#pragma once
#include <string>

#include "settings/registry.h"

extern const char kGameKey[];         // the game's key, never created
extern const char kInstallDirValue[];
extern const char kToolKey[];         // the tool's own key, created when missing
extern const char kBackupValue[];     // BackupFlag: "0" = backup not made yet

// The game's install directory, an expandable string expanded; empty when the
// key or value is missing. The file-set operations judge whether it can be used.
std::string ReadGameFolder(TRegistry& registry);
// True when the first-run backup is still needed: "Backup" reads exactly "0",
// or is missing, in which case "0" is written. A "Backup" that exists but
// can't be read raises the read error and is left as it is.
bool ReadOrCreateFlag(TRegistry& registry);
// Sets "Backup" to "1".
void MarkBackupDone(RegistryRoot& root);
