// Makes the base or the patched version of the file set the active one, by
// renames alone, all or nothing.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "fileset/file_ops.h"
#include "fileset/file_set.h"
#include "fileset/file_verdict.h"
#include "fileset/game_folder.h"
#include "fileset/game_guard.h"

enum class GameVersion { Base, Patched };

// What the switch found for one file of the set, or did with it.
enum class SwitchFinding {
  Unreadable,      // the system could not check `name`: status
  InTheWay,        // `name` is to be taken but a file holds it
  FolderInTheWay,  // `name` is to be taken but a folder holds it
  Unsettled,       // the names do not tell where the versions are: verdict, kinds
  NoBaseCopy,      // the base version is not stored under any name
  NotPatchedYet,   // still its stored base copy's twin: put away like a patched file, or left active
  NoStoredCopy,    // nothing stored: left active, whichever version it is
  RenameFailed,    // renaming `name` to `other` failed: status
  Stranded,        // `name` holds the file whose own name is `other`: status
};

struct SwitchFile {
  SwitchFinding what;
  const FileSetEntry* entry = nullptr;
  const char* name = nullptr;
  const char* other = nullptr;
  FileStatus status;
  Verdict verdict = Verdict::Missing;
  std::array<EntryKind, 3> kinds{};  // what the active, base and patched names hold
};

enum class SwitchKind {
  Applied,            // the target version is active; files may note what was seen
  BaseAlreadyActive,  // the patch is not installed; the base files are active
  NotReady,           // folder.state says why: nothing touched
  Unreadable,         // some names could not be checked: files
  PatchNotInstalled,  // every active file is its backup's twin; patched asked for
  Refused,            // the renames cannot all be made: files
  Undone,             // a rename failed (files) and the ones before it are undone
  Stranded,           // a rename failed and some undos too: files
};

struct SwitchOutcome {
  SwitchKind kind = SwitchKind::Applied;
  GameVersion target = GameVersion::Base;
  std::string gameDir;
  FolderCheck folder;
  std::vector<SwitchFile> files;
  bool Succeeded() const { return kind == SwitchKind::Applied || kind == SwitchKind::BaseAlreadyActive; }
};

// Reads one verdict per file and makes only the renames still needed, so that
// a switch cut off midway is finished. To the base version every file's base
// version must be stored; one still its backup's twin is put away like a
// patched one, which loses nothing. To the patched version a file with no
// patched copy (its backup's twin, or nothing stored where other files show
// the patch) stays active, and the outcome names it. Every rename is checked before the first is made, and a
// rename that fails midway undoes the ones before it, newest first. Nothing
// is touched while the game runs from the folder or Windows keeps private
// copies of its files (FindObstacle), nor when gameDir is not absolute.
SwitchOutcome VersionSwitch(FileOps& ops, PcWatch& pc, const std::string& gameDir, GameVersion target);
