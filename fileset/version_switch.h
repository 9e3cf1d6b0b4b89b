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

// Reads where each file's versions are from which of its three names hold a
// file (a file whose names show no stored copy follows the marker entry) and
// makes only the renames still needed, so that a switch cut off midway is
// finished. Every rename is checked before the first is made, and a rename
// that fails midway undoes the ones before it, newest first. Nothing is
// renamed when the folder holds the backup's twins and no patched file: the
// patch is not installed yet. Success only when `target` is active afterwards.
// Touches nothing when gameDir is not absolute (GameDirProblem).
SwitchResult VersionSwitch(FileOps& ops, const std::string& gameDir, GameVersion target);
