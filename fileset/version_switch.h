// Makes the base or the patched version of the file set the active one, by
// renames alone, all or nothing.
#pragma once
#include <string>

#include "fileset/file_ops.h"

enum class GameVersion { Base, Patched };

struct SwitchResult {
  bool success;
  // On success the text of the information box; otherwise the text of the
  // error box, which says what is where.
  std::string text;
};

// When the marker shows that `target` is already active, nothing is renamed.
// Otherwise every one of the fourteen renames is checked before the first is
// made, and a rename that fails midway undoes the ones before it, newest
// first. Success only when `target` is active afterwards. Touches nothing
// when gameDir is not absolute (GameDirProblem).
SwitchResult VersionSwitch(FileOps& ops, const std::string& gameDir, GameVersion target);
