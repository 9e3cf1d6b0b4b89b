// Before the 1.01 patch is installed over the base game: whole copies of the
// seven base files under their BaseCopyName, never overwriting, never leaving
// a half-written copy under a stored name.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "fileset/file_copy.h"
#include "fileset/file_ops.h"

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

struct BackupResult {
  bool success;
  // On success the text of the closing box; otherwise the error box's text.
  std::string text;
};

// Copies each FileSet entry's ActiveName to its BaseCopyName unless a stored
// copy already holds its base version (a stored base copy that cannot be
// one is kept, reported, and fails the backup) and steps the gauge to 1..3, 30..32, 90..92 and 100
// after copies four to seven. Checks the free space first and copies nothing
// when the copies would not fit. Calls markBackupDone only when all seven
// copies are in place; what it throws reaches the caller, the copies stay.
// Touches nothing when gameDir is not absolute (GameDirProblem).
BackupResult FirstRunBackup(FileOps& ops, const std::string& gameDir, ProgressSink& progress, uint32_t seed,
                            const std::function<void()>& markBackupDone);

// The name a copy is written under until it is whole: the BaseCopyName with
// "mrvtmp" in place of "mrvdef", in the game folder.
std::string TempCopyName(const char* baseCopyName);
