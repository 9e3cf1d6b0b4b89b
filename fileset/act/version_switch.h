// Makes the base or the patched version of the file set the active one, by
// renames alone, all or nothing.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "fileset/act/game_guard.h"
#include "fileset/decide/file_set.h"
#include "fileset/decide/file_verdict.h"
#include "fileset/decide/folder_rules.h"
#include "fileset/decide/game_folder.h"
#include "fileset/system/file_ops.h"

// A file the table names, as the folder showed it, with what the table found.
struct SwitchFile : FileVerdict {
  SwitchFinding what = SwitchFinding::None;
  const char* name = nullptr;  // the active name, or the name that cannot be read, is a link or is in the way
  FileStatus status;           // Unreadable: why
  const char* gone = nullptr;  // the stored name it lost, where the folder shows which
};

// A rename the system refused, from where its file is to the name it was
// to take.
struct RefusedRename {
  const char* from = nullptr;
  const char* to = nullptr;
  FileStatus status;
};

struct SwitchOutcome {
  SwitchKind kind = SwitchKind::Applied;
  GameVersion target = GameVersion::Base;
  std::string gameDir;
  FolderCheck folder;
  // What the table found: the refusals, or the notes on a switch made.
  std::vector<SwitchFile> files;
  // Files whose size is their stored copy's and their date is not: judged by
  // the size, and named in every box.
  std::vector<SwitchFile> dateDiffers;
  // The notes the table adds: reinstalling the patch now may be due, and
  // pressing again finishes a switch whose undo failed.
  bool patchAgain = false, pressAgain = false;
  // What the renames did: the one that failed (Undone, Stranded) and each
  // undo after it that failed too (Stranded), which leaves its file under
  // `from` instead of its own name `to`.
  RefusedRename failed;
  std::vector<RefusedRename> stranded;
  bool Succeeded() const {
    return kind == SwitchKind::Applied || kind == SwitchKind::BaseAlreadyActive ||
           kind == SwitchKind::PatchedAlreadyActive;
  }
};

// Asked before any rename where stored copies disagree, with the files and
// the side each one's copy says in the outcome: was a switch cut off? Only
// true finishes it as the copies say.
using CutOffQuestion = std::function<bool(const SwitchOutcome&)>;

// Reads one verdict per file and makes only the renames still needed, as the
// folder rules say for each file, so that a switch cut off midway is
// finished. Every rename is checked before the first is made, and a rename
// that fails midway undoes the ones before it, newest first. Nothing is
// touched while the game runs from the folder or Windows keeps private
// copies of its files (FindObstacle), nor when gameDir is not absolute.
SwitchOutcome VersionSwitch(FileOps& ops, PcWatch& pc, const std::string& gameDir, GameVersion target,
                            const CutOffQuestion& cutOff);
