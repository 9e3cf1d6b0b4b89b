// What the wording of the switch's boxes (switch_text.cpp), the backup's
// (backup_text.cpp) and the folder's obstacles (obstacle_text.cpp) share: how
// a box lists files (names_text.cpp) and what it says of a failure. The
// boxes' callers have outcome_text.h.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "fileset/act/game_guard.h"
#include "fileset/decide/file_set.h"
#include "fileset/decide/file_verdict.h"
#include "fileset/system/file_ops.h"

std::string JoinNames(const std::vector<std::string>& names);

// A name as a box gives it, with what is said of it in brackets:
// "vonu.exe (vonu.mrvupdexe; a vonu.mrvtmpexe ...)".
std::string Noted(const std::string& name, const std::string& note, const std::string& more = "");

// A killed backup's temporary copy beside a file that a box names: kept,
// it may be the only copy of the file's earlier version.
std::string TempNote(const FileSetEntry& e, LeftCopy left);

// The note that these files lost their stored patched copy, with what to
// do; empty for no file.
std::string PatchedCopyGoneNote(const std::vector<std::string>& names);

// What each of an entry's three names holds.
std::string NamesHeld(const FileVerdict& f);

// The names of a file that hold an empty file.
std::string EmptyNames(const FileSetEntry& e, const std::array<bool, 3>& empty);

// The Hungarian of one piece of a box: what is wrong, then what to do.
struct Problem {
  std::string found;
  std::string todo;
};

// The system's words for a failure, or what stands for them.
std::string Why(const FileStatus& status);

// What to do about a failure, by what made it fail. The tool runs as
// administrator already, so access denied means that something holds or
// guards the file.
std::string Advice(FailureKind kind, const std::string& gameDir);

// Why an operation touched nothing before it read a single name; `button`
// is the one that starts it again.
Problem NotReadyText(const FolderCheck& folder, const std::string& gameDir, const char* button);
