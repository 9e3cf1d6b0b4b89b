// What the Game folder's names say about each file of the set: one verdict a
// file, read once. The start's choice of face, the version switch and the
// backup all decide from these, so that they never read the folder two ways.
#pragma once
#include <array>
#include <string>

#include "fileset/file_ops.h"
#include "fileset/file_set.h"

enum class Verdict {
  BaseActive,     // the active file, and the patched copy stored
  PatchedActive,  // the active file, and a stored base copy that differs from it
  NotPatchedYet,  // the active file, and its stored base copy's twin
  NoStoredCopy,   // the active file alone
  HalfSwitched,   // both copies stored, none active: a switch cut off midway
  Contradictory,  // all three names, or one stored copy alone: which is which cannot be told
  EmptyCopy,      // the stored base copy is empty, the active file is not: no copy of it
  Missing,        // no name holds a file
  Unreadable,     // the system could not check a name: `unreadable`
};

// A stored base copy counts when it is the active file's twin, or when it is
// not empty and differs from it: the patch has rewritten the active file.
// Which of the two is older says nothing (installers restore an archive's
// dates). A folder under a name counts as no file there.
struct FileVerdict {
  const FileSetEntry* entry = nullptr;
  Verdict verdict = Verdict::Missing;
  PathProbe active, base, patched;
  const char* unreadable = nullptr;  // the name that could not be checked
  FileStatus why;                    // and the system's words for it
  // The base version is kept under some name of the set.
  bool BaseKept() const {
    return verdict == Verdict::BaseActive || verdict == Verdict::PatchedActive ||
           verdict == Verdict::NotPatchedYet || verdict == Verdict::HalfSwitched;
  }
};

using FolderVerdicts = std::array<FileVerdict, FileSet.size()>;

// Reads the three names of every file once.
FolderVerdicts ReadVerdicts(FileOps& ops, const std::string& gameDir);

bool Any(const FolderVerdicts& files, Verdict verdict);
bool All(const FolderVerdicts& files, Verdict verdict);
// Some file shows the patch or a switch: base active, patched active or
// half-switched.
bool ShowsPatch(const FolderVerdicts& files);

// The backup is incomplete or gone: no file shows the patch or a switch, and
// some file has no stored copy. The backup then copies just those. False when
// gameDir is not usable or the folder is missing.
bool BackupIncomplete(FileOps& ops, const std::string& gameDir);
