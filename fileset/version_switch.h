// Makes the base or the patched version of the file set the active one, by
// renames alone, all or nothing.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "fileset/file_ops.h"
#include "fileset/file_set.h"

enum class GameVersion { Base, Patched };

// What the switch found for one file of the set, or did with it.
enum class SwitchFinding {
  Unreadable,      // the system could not check `name`: reason
  Missing,         // `name` is to be renamed but holds no file
  FolderInPlace,   // `name` is to be renamed but a folder holds it
  InTheWay,        // `name` is to be taken but a file holds it
  FolderInTheWay,  // `name` is to be taken but a folder holds it
  Unsettled,       // the entry's names do not tell where its versions are: kinds
  MatchesBackup,   // the active file is still its stored base copy's twin
  Changed,         // the active file differs from its stored base copy
  Elsewhere,       // neither of the two above: kinds say what its names hold
  RenameFailed,    // renaming `name` to `other` failed: reason, failure
  Stranded,        // `name` holds the file whose own name is `other`: reason
};

struct SwitchFile {
  SwitchFinding what;
  const FileSetEntry* entry = nullptr;
  const char* name = nullptr;
  const char* other = nullptr;
  std::string reason;
  FailureKind failure = FailureKind::Other;
  std::array<EntryKind, 3> kinds{};  // what the active, base and patched names hold
};

enum class SwitchKind {
  Applied,            // the target version is active
  BaseAlreadyActive,  // the patch is not installed; the base files are active
  GameDirUnusable,    // GameDirProblem says why; nothing touched
  FolderMissing,      // no game folder
  FolderUnreachable,  // the system could not tell: reason
  Unreadable,         // some names could not be checked: files
  PatchNotInstalled,  // every active file is its backup's twin; patched asked for
  PartlyPatched,      // some active files are their backups' twins, others not
  Refused,            // the renames cannot all be made: files
  Undone,             // a rename failed (files) and the ones before it are undone
  Stranded,           // a rename failed and some undos too: files
};

struct SwitchOutcome {
  SwitchKind kind = SwitchKind::Applied;
  GameVersion target = GameVersion::Base;
  std::string gameDir;
  std::string reason;
  std::vector<SwitchFile> files;
  bool Succeeded() const { return kind == SwitchKind::Applied || kind == SwitchKind::BaseAlreadyActive; }
};

// Reads where each file's versions are from which of its three names hold a
// file (a file whose names show no stored copy follows the marker entry) and
// makes only the renames still needed, so that a switch cut off midway is
// finished. Every rename is checked before the first is made, and a rename
// that fails midway undoes the ones before it, newest first. Nothing is
// renamed while any active file is still its stored base copy's twin with no
// patched copy: the patch is not installed yet, or not over every file.
// Success only when `target` is active afterwards. Touches nothing when
// gameDir is not absolute (GameDirProblem).
SwitchOutcome VersionSwitch(FileOps& ops, const std::string& gameDir, GameVersion target);
