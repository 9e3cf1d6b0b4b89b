// Before the 1.01 patch is installed over the base game: whole copies of the
// seven base files under their BaseCopyName, never overwriting, never leaving
// a half-written copy under a stored name.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fileset/file_copy.h"
#include "fileset/file_ops.h"
#include "fileset/file_set.h"
#include "fileset/file_verdict.h"
#include "fileset/game_folder.h"
#include "fileset/game_guard.h"

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
  ToCopy,          // nothing stored: to be copied
  Copied,          // copied now
  Stored,          // its base version was stored already (or its patched copy is)
  Twin,            // stored already: the stored base copy is the active file's twin
  BaseGone,        // nothing stored, and the folder shows the patch: not copied as base
  SourceMissing,   // no active file to copy
  SourceIsFolder,  // a folder holds the active name
  StoredIsFolder,  // a folder holds the stored base name
  Unsettled,       // the names contradict each other: kinds
  TempInTheWay,    // something other than a file holds the temporary name
  TempLeft,        // a killed run's temporary copy is still there: status
  Unreadable,      // the system could not check a name: status
  CopyFailed,      // copy says which name failed and why
  NotItsBackup,    // an empty stored base copy of a non-empty file: stored, active
};

struct BackupFile {
  const FileSetEntry* entry = nullptr;
  BackupFinding what = BackupFinding::ToCopy;
  Verdict verdict = Verdict::Missing;
  FileStatus status;
  CopyResult copy;
  PathProbe stored, active;
  std::array<EntryKind, 3> kinds{};  // what the active, base and patched names hold
  bool Failed() const {
    return what != BackupFinding::ToCopy && what != BackupFinding::Copied && what != BackupFinding::Stored &&
           what != BackupFinding::Twin;
  }
  // A base version kept under a stored name now.
  bool Kept() const {
    return what == BackupFinding::Copied || what == BackupFinding::Stored || what == BackupFinding::Twin;
  }
};

enum class BackupKind {
  Done,               // every base file is stored, the patch is not installed yet
  AlreadyPatched,     // every base file is stored, and some file shows the patch or a switch
  NotReady,           // folder.state says why: nothing touched
  NoRoom,             // needed and free bytes; nothing copied
  Failed,             // some files failed: files
};

struct BackupOutcome {
  BackupKind kind = BackupKind::Done;
  std::string gameDir;
  FolderCheck folder;
  uint64_t needed = 0, free = 0;
  // Some file shows the patch or a switch (base active, patched active or
  // half-switched): the box then warns against nothing the player has done.
  bool patchInstalled = false;
  std::vector<BackupFile> files;
  bool Succeeded() const { return kind == BackupKind::Done || kind == BackupKind::AlreadyPatched; }
};

// Copies each FileSet entry's ActiveName to its BaseCopyName unless the
// entry's verdict shows its base version stored already, and steps the gauge
// to 1..3, 30..32, 90..92 and 100 after copies four to seven. Never stores a
// patched file as base: while some file is patched active, the files with
// nothing stored are not copied (BaseGone). An empty stored copy of a
// non-empty file is kept and reported. Checks the free space first and
// copies nothing when the copies would not fit. Calls markBackupDone only
// when every base version is stored; what it throws reaches the caller, the
// copies stay. Touches nothing when gameDir is not absolute, the game runs
// from the folder or Windows keeps private copies of its files.
BackupOutcome FirstRunBackup(FileOps& ops, PcWatch& pc, const std::string& gameDir, ProgressSink& progress,
                             uint32_t seed, const std::function<void()>& markBackupDone);

// The name a copy is written under until it is whole: the BaseCopyName with
// "mrvtmp" in place of "mrvdef", in the game folder.
std::string TempCopyName(const char* baseCopyName);
