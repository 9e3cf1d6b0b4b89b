// Before the 1.01 patch is installed over the base game: whole copies of the
// seven base files under their BaseCopyName, never overwriting, never leaving
// a half-written copy under a stored name.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fileset/file_copy.h"
#include "fileset/file_ops.h"
#include "fileset/file_set.h"

// Milliseconds since midnight, the seed of the gauge's random steps.
uint32_t ClockSeed(unsigned hour, unsigned minute, unsigned second, unsigned millisecond);

// Linear congruential generator: x = x * 134775813 + 1 (mod 2^32); a draw
// below n is the upper half of the 64-bit product x * n.
class RandomSteps {
 public:
  explicit RandomSteps(uint32_t seed) : state_(seed) {}
  uint32_t Below(uint32_t n);

 private:
  uint32_t state_;
};

// What the backup found for one file of the set, or did with it.
enum class BackupFinding {
  Copied,          // copied now
  Stored,          // its base version was stored already (or its patched copy is)
  Twin,            // stored already: the stored base copy is the active file's twin
  SourceMissing,   // no active file to copy
  SourceIsFolder,  // a folder holds the active name
  StoredIsFolder,  // a folder holds the stored base name
  TempInTheWay,    // something other than a file holds the temporary name
  TempLeft,        // a killed run's temporary copy could not be removed: reason
  Unreadable,      // the system could not check a name: reason
  CopyFailed,      // reason, failure
  NotItsBackup,    // the stored base copy cannot be this file's backup: stored, active
};

struct BackupFile {
  const FileSetEntry* entry = nullptr;
  BackupFinding what = BackupFinding::Copied;
  std::string reason;
  FailureKind failure = FailureKind::Other;
  PathProbe stored, active;  // NotItsBackup: the two files compared
  bool Failed() const {
    return what != BackupFinding::Copied && what != BackupFinding::Stored && what != BackupFinding::Twin;
  }
};

enum class BackupKind {
  Done,               // every base file is stored; the patch may come
  AlreadyPatched,     // every stored copy counts and no active file is still its twin
  GameDirUnusable,    // GameDirProblem says why; nothing touched
  FolderMissing,      // no game folder
  FolderUnreachable,  // reason
  NoRoom,             // needed and free bytes; nothing copied
  Failed,             // some files failed: files
};

struct BackupOutcome {
  BackupKind kind = BackupKind::Done;
  std::string gameDir;
  std::string reason;
  uint64_t needed = 0, free = 0;
  // The folder shows the patch on some file: a stored patched copy, or a
  // stored base copy older than its active file that counts as its backup.
  bool patchInstalled = false;
  std::vector<BackupFile> files;
  bool Succeeded() const { return kind == BackupKind::Done || kind == BackupKind::AlreadyPatched; }
};

// Copies each FileSet entry's ActiveName to its BaseCopyName unless a stored
// copy already holds its base version, and steps the gauge to 1..3, 30..32,
// 90..92 and 100 after copies four to seven. A stored base copy counts when it
// is the active file's twin, or when it is older than the active file (the
// patch has rewritten it since), not empty unless the active file is, and no
// other active file is still its own copy's twin; any other is kept and
// reported, and fails the backup. Checks the free space first and copies
// nothing when the copies would not fit. Calls markBackupDone only when all
// seven copies are in place; what it throws reaches the caller, the copies
// stay. Touches nothing when gameDir is not absolute (GameDirProblem).
BackupOutcome FirstRunBackup(FileOps& ops, const std::string& gameDir, ProgressSink& progress, uint32_t seed,
                             const std::function<void()>& markBackupDone);

// The backup is gone from a folder the tool once backed up: all seven active
// files are there and not one of the fourteen stored names holds anything.
// False when gameDir is not absolute.
bool NoStoredCopyLeft(FileOps& ops, const std::string& gameDir);

// The name a copy is written under until it is whole: the BaseCopyName with
// "mrvtmp" in place of "mrvdef", in the game folder.
std::string TempCopyName(const char* baseCopyName);
