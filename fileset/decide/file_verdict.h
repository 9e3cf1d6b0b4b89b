// What the Game folder's names say about each file of the set: one verdict a
// file, read once. The start's choice of face, the version switch and the
// backup all decide from these (through folder_rules.h), so that they never
// read the folder two ways.
#pragma once
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "fileset/decide/file_set.h"
#include "fileset/system/file_ops.h"

enum class Verdict {
  BaseActive,     // the active file, and a stored patched copy that differs from it
  PatchedActive,  // the active file, and a stored base copy that differs from it
  NotPatchedYet,  // the active file, and its stored base copy's twin
  SameAsPatchedCopy,  // the active file, and its stored patched copy's twin
  NoStoredCopy,   // the active file alone
  HalfSwitched,   // both copies stored, none active: a switch cut off midway
  Contradictory,  // all three names, or one stored copy alone: which is which cannot be told
  Empty,          // one of its names holds an empty file: no version of it, whatever the others hold
  NoFile,         // no name holds a file
  Linked,         // a junction or symbolic link holds one of its names: `linked`
  Unreadable,     // the system could not check a name: `unreadable`
};

// A folder (or anything else that is not a file) at a name the backup reads
// or writes: the backup names it whatever the versions, unless a name cannot
// be read or a link holds one.
enum class FolderAt {
  None,
  Active,  // at the active name, and no name holds a file
  Stored,  // at the stored base name
  Temp,    // at the temporary name
};

enum class LeftCopy {
  None,   // nothing, or no plain file, under the temporary name
  Empty,  // an empty file: it holds no version
  Bytes,  // a file that may hold the file's earlier version
};

// The tool sees names, sizes and dates, never contents. A stored copy of the
// active file's size holds the same version as the active file: the two
// versions of a file that the patch changes differ in size. Its twin (the
// same date too) is a copy of it; one of another date is the same version
// written again (an installer run once more with fresh dates), or a file the
// patch changed without changing its size: `dateDiffers` says so, and every
// box names such a file. Which of two dates is older says nothing:
// installers restore their archive's dates. A folder under a name counts as
// no file there.
struct FileVerdict {
  // Made, copied and freed in file_verdict.cpp alone: a verdict holds
  // strings and lists, and each list of the files that the switch and the
  // backup name would otherwise carry a whole copy inline (some 20 KB of the
  // exe).
  FileVerdict();
  FileVerdict(const FileVerdict&);
  FileVerdict& operator=(const FileVerdict&);
  ~FileVerdict();

  const FileSetEntry* entry = nullptr;
  Verdict verdict = Verdict::NoFile;
  PathProbe active, base, patched, temp;
  FolderAt folderAt = FolderAt::None;
  bool dateDiffers = false;          // NotPatchedYet or SameAsPatchedCopy by size alone
  // What a killed backup's temporary copy (a plain file, no link) holds,
  // as far as its size tells: it may be the only copy of an earlier version.
  LeftCopy tempLeft = LeftCopy::None;
  // Empty: which of the active, base and patched names hold an empty file.
  std::array<bool, 3> empty{};
  // Of the four names, the temporary copy's included (what the tool writes
  // there must not go through a link either), every name that could not be
  // checked, with the system's words for why, and every name a link holds,
  // the active name's first: a box names them all at once.
  std::vector<std::pair<const char*, FileStatus>> unreadables;
  std::vector<const char*> links;
  // What the active, base and patched names hold.
  std::array<EntryKind, 3> Kinds() const { return {active.kind, base.kind, patched.kind}; }
};

using FolderVerdicts = std::array<FileVerdict, FileSet.size()>;

// Reads the three names of every file once.
FolderVerdicts ReadVerdicts(FileOps& ops, const std::string& gameDir);
