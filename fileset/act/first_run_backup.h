// Before the 1.01 patch is installed over the base game: whole copies of the
// seven base files under their BaseCopyName, never overwriting, never leaving
// a half-written copy under a stored name.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fileset/act/file_copy.h"
#include "fileset/act/game_guard.h"
#include "fileset/decide/file_set.h"
#include "fileset/decide/file_verdict.h"
#include "fileset/decide/folder_rules.h"
#include "fileset/decide/game_folder.h"
#include "fileset/system/file_ops.h"

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

// What the backup did with a file the table gave it to copy.
enum class BackupDone {
  Nothing,       // nothing was tried
  Copied,        // copied now
  CopyFailed,    // copy says which name failed and why
  TempKept,      // a killed run's temporary copy is not known to be the file's copy: kept, and not copied
  TempLeft,      // a killed run's temporary copy could not be removed: status
  MayHoldPatch,  // the player did not say that it holds the base version: not copied as base
};

// A file as the folder showed it, what the table found and what was done.
struct BackupFile : FileVerdict {
  BackupFinding what = BackupFinding::ToCopy;
  BackupDone done = BackupDone::Nothing;
  FileStatus status;           // TempLeft: why
  CopyResult copy;
  const char* gone = nullptr;  // PatchedCopyGone: the stored name it lost
  bool Failed() const { return done == BackupDone::Nothing ? Fails(what) : done != BackupDone::Copied; }
  // A base version kept now, stored or active beside its stored patched copy.
  bool Kept() const { return done == BackupDone::Copied || Keeps(what); }
};

enum class BackupKind {
  Done,               // every base file is stored, the patch is not installed yet
  AlreadyPatched,     // every base file is stored, and some file shows the patch or a switch
  NotReady,           // folder.state says why: nothing touched
  NoRoom,             // needed and free bytes; nothing copied
  Failed,             // some files failed, or their base version is gone: files
};

struct BackupOutcome {
  BackupKind kind = BackupKind::Done;
  std::string gameDir;
  FolderCheck folder;
  uint64_t needed = 0, free = 0;
  // Some file shows the patch or a switch: the box then warns against
  // nothing the player has done.
  bool showsPatch = false;
  // An earlier backup stopped short or lost a copy: the player is asked what
  // the files still to copy hold now.
  bool asked = false;
  BackupStop stop = BackupStop::None;
  std::vector<BackupFile> files;
  bool Succeeded() const { return kind == BackupKind::Done || kind == BackupKind::AlreadyPatched; }
};

// Where the backup resumes an earlier one: the flag read "1" at the start,
// some base copies are stored and some are not, or a killed run left a
// temporary copy. The folder cannot show whether the patch came in between,
// so the player is asked first.
struct ResumeQuestion {
  bool flagSaysDone = false;
  // Asked before any copy, with the files still to copy in the outcome:
  // do they hold the base version now? Only true copies them.
  std::function<bool(const BackupOutcome&)> holdsBase;
};

// Copies each FileSet entry's ActiveName to its BaseCopyName where the folder
// rules say so, and steps the gauge to 1..3, 30..32, 90..92 and 100 after
// copies four to seven. Never stores a patched file as base: while the folder
// shows the patch, the files with nothing stored are not copied (NoBaseCopy),
// and a resumed backup copies only after the player said the files hold the
// base version. An empty file is kept and reported; without the flag, a
// stored base copy of another size is kept too. A killed run's temporary copy is
// removed only where the file is copied now and the copy is empty or its
// twin; elsewhere it is kept and named.
// Checks the free space first and copies nothing when the copies would not
// fit. Calls markBackupDone only when every base version is stored; what it
// throws reaches the caller, the copies stay. Touches nothing when gameDir is
// not absolute, the game runs from the folder or Windows keeps private
// copies of its files.
BackupOutcome FirstRunBackup(FileOps& ops, PcWatch& pc, const std::string& gameDir, ProgressSink& progress,
                             uint32_t seed, const std::function<void()>& markBackupDone,
                             const ResumeQuestion& resume);
