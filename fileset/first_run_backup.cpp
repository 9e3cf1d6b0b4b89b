#include "fileset/first_run_backup.h"

#include <array>
#include <memory>
#include <vector>

#include "fileset/file_copy.h"
#include "fileset/file_set.h"
#include "fileset/game_folder.h"

namespace {

// Removes the temporary copies left by a run that was killed while copying.
// False, with what stands in the way, when one is still there.
bool ClearLeftoverTemp(FileOps& ops, const std::string& gameDir, BackupFile& file) {
  const std::string path = GamePath(gameDir, TempCopyName(file.entry->BaseCopyName).c_str());
  const PathProbe probe = ops.Probe(path);
  if (probe.kind == EntryKind::Missing) return true;
  if (probe.kind != EntryKind::File) {
    file.what = BackupFinding::TempInTheWay;
    return false;
  }
  file.status = RemoveTempCopy(ops, path);
  if (file.status) return true;
  file.what = BackupFinding::TempLeft;
  return false;
}

// What the backup does with one file, from its verdict; names that a folder
// holds are named as such.
BackupFinding FindingOf(const FileVerdict& f) {
  if (f.base.kind == EntryKind::Other) return BackupFinding::StoredIsFolder;
  switch (f.verdict) {
    case Verdict::NoStoredCopy: return BackupFinding::ToCopy;
    case Verdict::NotPatchedYet: return BackupFinding::Twin;
    case Verdict::BaseActive:
    case Verdict::PatchedActive:
    case Verdict::HalfSwitched: return BackupFinding::Stored;
    case Verdict::EmptyCopy: return BackupFinding::NotItsBackup;
    case Verdict::Unreadable: return BackupFinding::Unreadable;
    case Verdict::Contradictory: return BackupFinding::Unsettled;
    case Verdict::Missing: break;
  }
  return f.active.kind == EntryKind::Other ? BackupFinding::SourceIsFolder : BackupFinding::SourceMissing;
}

// Clears what a killed run left, then reads every file's verdict. While some
// file is patched active, a file with nothing stored may hold the patch too:
// it is not copied as base.
std::vector<BackupFile> LookAtFolder(FileOps& ops, const std::string& gameDir, bool& patchInstalled) {
  std::vector<BackupFile> files(FileSet.size());
  std::vector<bool> tempCleared(FileSet.size());
  for (size_t i = 0; i < FileSet.size(); ++i) {
    files[i].entry = &FileSet[i];
    tempCleared[i] = ClearLeftoverTemp(ops, gameDir, files[i]);
  }
  const FolderVerdicts verdicts = ReadVerdicts(ops, gameDir);
  const bool patched = Any(verdicts, Verdict::PatchedActive);
  patchInstalled = ShowsPatch(verdicts);
  for (size_t i = 0; i < FileSet.size(); ++i) {
    const FileVerdict& f = verdicts[i];
    BackupFile& file = files[i];
    file.verdict = f.verdict;
    file.stored = f.base;
    file.active = f.active;
    file.kinds = {f.active.kind, f.base.kind, f.patched.kind};
    if (!tempCleared[i]) continue;
    file.what = FindingOf(f);
    if (file.what == BackupFinding::ToCopy && patched) file.what = BackupFinding::BaseGone;
    if (file.what == BackupFinding::Unreadable) file.status = f.why;
  }
  return files;
}

// Copies what is still to copy and steps the gauge after copies four to seven.
void CopyAll(FileOps& ops, const std::string& gameDir, std::vector<BackupFile>& files, ProgressSink& progress,
             uint32_t seed) {
  RandomSteps random(seed);
  static constexpr std::array<int32_t, 7> kProgressBase{-1, -1, -1, 1, 30, 90, 100};
  for (size_t i = 0; i < files.size(); ++i) {
    BackupFile& file = files[i];
    if (file.what == BackupFinding::ToCopy) {
      const FileSetEntry& e = *file.entry;
      file.copy = CopyWhole(ops, GamePath(gameDir, e.ActiveName),
                            GamePath(gameDir, TempCopyName(e.BaseCopyName).c_str()), GamePath(gameDir, e.BaseCopyName),
                            progress);
      file.what = file.copy ? BackupFinding::Copied : BackupFinding::CopyFailed;
    }
    if (i + 1 == files.size()) {
      progress.SetProgress(kProgressBase[i]);
    } else if (kProgressBase[i] >= 0) {
      progress.SetProgress(kProgressBase[i] + static_cast<int32_t>(random.Below(3)));
    }
  }
}

}  // namespace

uint32_t ClockSeed(unsigned hour, unsigned minute, unsigned second, unsigned millisecond) {
  return ((static_cast<uint32_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
}

uint32_t RandomSteps::Below(uint32_t n) {
  state_ = state_ * 134775813u + 1u;
  return static_cast<uint32_t>((static_cast<uint64_t>(state_) * n) >> 32);
}

std::string TempCopyName(const char* baseCopyName) {
  std::string name = baseCopyName;
  const size_t at = name.find("mrvdef");
  if (at != std::string::npos) name.replace(at, 6, "mrvtmp");
  return name;
}

BackupOutcome FirstRunBackup(FileOps& ops, PcWatch& pc, const std::string& gameDir, ProgressSink& progress,
                             uint32_t seed, const std::function<void()>& markBackupDone) {
  BackupOutcome out;
  out.gameDir = gameDir;
  out.folder = CheckFolder(ops, pc, gameDir);
  if (out.folder.state != FolderCheck::State::Ready) {
    out.kind = BackupKind::NotReady;
    return out;
  }

  out.files = LookAtFolder(ops, gameDir, out.patchInstalled);
  for (const BackupFile& file : out.files) {
    if (file.what == BackupFinding::ToCopy) out.needed += file.active.size;
  }
  // A base version that is gone can only come back from outside: nothing is
  // copied meanwhile.
  for (const BackupFile& file : out.files) {
    if (file.what == BackupFinding::BaseGone) {
      out.kind = BackupKind::Failed;
      return out;
    }
  }
  // When the drive cannot say how much room it has, go on: a copy that runs
  // out of room is removed again like any other failed one.
  if (out.needed > 0 && ops.FreeSpace(gameDir, out.free) && out.free < out.needed) {
    out.kind = BackupKind::NoRoom;
    return out;
  }

  CopyAll(ops, gameDir, out.files, progress, seed);
  for (const BackupFile& file : out.files) {
    if (file.Failed()) {
      out.kind = BackupKind::Failed;
      return out;
    }
  }
  markBackupDone();
  out.kind = out.patchInstalled ? BackupKind::AlreadyPatched : BackupKind::Done;
  return out;
}
