#include "fileset/act/first_run_backup.h"

#include <array>
#include <memory>
#include <vector>

#include "fileset/act/file_copy.h"
#include "fileset/decide/file_set.h"
#include "fileset/decide/game_folder.h"

namespace {

// Reads every file's verdict and what the folder rules make of it. A
// killed run's temporary copy stays for now: it may be the last copy of a
// version.
std::vector<BackupFile> LookAtFolder(FileOps& ops, const std::string& gameDir, const ResumeQuestion& resume,
                                     BackupOutcome& out) {
  std::vector<BackupFile> files(FileSet.size());
  const FolderVerdicts verdicts = ReadVerdicts(ops, gameDir);
  const FolderShows shows = WhatFolderShows(verdicts, resume.flagSaysDone);
  for (size_t i = 0; i < FileSet.size(); ++i) {
    const FileVerdict& f = verdicts[i];
    BackupFile& file = files[i];
    static_cast<FileVerdict&>(file) = f;
    file.what = BackupRuleFor(f, shows);
    file.gone = GoneName(verdicts, f, shows);
  }
  out.showsPatch = RuleFor(shows).showsPatch;
  out.asked = BackupResumes(verdicts, shows, resume.flagSaysDone);
  return files;
}

// Removes a killed run's temporary copy where the file is copied now and
// the folder rules let it go. False, with why, where the copy stays.
bool ClearLeftoverTemp(FileOps& ops, const std::string& gameDir, BackupFile& file, bool changedBefore) {
  if (file.tempLeft == LeftCopy::None) return true;
  if (!TempCopyMayGo(file)) {
    file.done = BackupDone::TempKept;
    return false;
  }
  file.status = RemoveTempCopy(ops, GamePath(gameDir, file.entry->TempName));
  if (!file.status) {
    BlameTheFile(file.status, changedBefore);
    file.done = BackupDone::TempLeft;
    return false;
  }
  file.tempLeft = LeftCopy::None;
  return true;
}

// Copies what is still to copy and steps the gauge after copies four to seven.
void CopyAll(FileOps& ops, const std::string& gameDir, std::vector<BackupFile>& files, ProgressSink& progress,
             uint32_t seed) {
  RandomSteps random(seed);
  static constexpr std::array<int32_t, 7> kProgressBase{-1, -1, -1, 1, 30, 90, 100};
  bool changed = false;  // the folder took some change of this run's
  for (size_t i = 0; i < files.size(); ++i) {
    BackupFile& file = files[i];
    if (file.what == BackupFinding::ToCopy) {
      const bool removing = file.tempLeft != LeftCopy::None;
      const bool cleared = ClearLeftoverTemp(ops, gameDir, file, changed);
      changed = changed || (removing && cleared);
      if (cleared) {
        const FileSetEntry& e = *file.entry;
        file.copy = CopyWhole(ops, GamePath(gameDir, e.ActiveName), GamePath(gameDir, e.TempName),
                              GamePath(gameDir, e.BaseCopyName), progress);
        // A copy refused at its target name made its temporary file first.
        BlameTheFile(file.copy.status, changed || file.copy.stage == CopyStage::Target);
        file.done = file.copy ? BackupDone::Copied : BackupDone::CopyFailed;
        // A copy that failed after making its temporary file changed the folder too.
        changed = changed || file.copy || file.copy.stage != CopyStage::Source;
      }
    }
    if (i + 1 == files.size()) {
      progress.SetProgress(kProgressBase[i]);
    } else if (kProgressBase[i] >= 0) {
      progress.SetProgress(kProgressBase[i] + static_cast<int32_t>(random.Below(3)));
    }
  }
}

// Whether the backup stops before its first copy, with the outcome's kind
// set: as the table says, where the player's word is that the files may
// hold the patch, and where the copies would not fit.
bool StopsBeforeCopying(FileOps& ops, const std::string& gameDir, const ResumeQuestion& resume, BackupOutcome& out) {
  std::vector<BackupFinding> found;
  for (const BackupFile& file : out.files) found.push_back(file.what);
  out.stop = BackupStopFor(found, out.asked);
  if (out.stop == BackupStop::NoBaseCopy || out.stop == BackupStop::InTheWay) {
    out.kind = BackupKind::Failed;
    return true;
  }
  if (out.stop == BackupStop::Ask && !resume.holdsBase(out)) {
    for (BackupFile& file : out.files) {
      if (file.what == BackupFinding::ToCopy) file.done = BackupDone::MayHoldPatch;
    }
    out.kind = BackupKind::Failed;
    return true;
  }
  // When the drive cannot say how much room it has, go on: a copy that runs
  // out of room is removed again like any other failed one.
  if (out.needed > 0 && ops.FreeSpace(gameDir, out.free) && out.free < out.needed) {
    out.kind = BackupKind::NoRoom;
    return true;
  }
  return false;
}

// After a copy met a full drive, the box says how much room the copies that
// failed need and how much there is now.
void RecountRoom(FileOps& ops, const std::string& gameDir, BackupOutcome& out) {
  out.needed = 0;
  for (const BackupFile& f : out.files) {
    if (f.done == BackupDone::CopyFailed) out.needed += f.active.size;
  }
  if (!ops.FreeSpace(gameDir, out.free)) out.free = 0;
}

}  // namespace

uint32_t ClockSeed(unsigned hour, unsigned minute, unsigned second, unsigned millisecond) {
  return ((static_cast<uint32_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
}

uint32_t RandomSteps::Below(uint32_t n) {
  state_ = state_ * 134775813u + 1u;
  return static_cast<uint32_t>((static_cast<uint64_t>(state_) * n) >> 32);
}

BackupOutcome FirstRunBackup(FileOps& ops, PcWatch& pc, const std::string& gameDir, ProgressSink& progress,
                             uint32_t seed, const std::function<void()>& markBackupDone,
                             const ResumeQuestion& resume) {
  BackupOutcome out;
  out.gameDir = gameDir;
  out.folder = CheckFolder(ops, pc, gameDir);
  if (out.folder.state != FolderCheck::State::Ready) {
    out.kind = BackupKind::NotReady;
    return out;
  }
  out.files = LookAtFolder(ops, gameDir, resume, out);
  for (const BackupFile& file : out.files) {
    if (file.what == BackupFinding::ToCopy) out.needed += file.active.size;
  }
  if (StopsBeforeCopying(ops, gameDir, resume, out)) return out;

  CopyAll(ops, gameDir, out.files, progress, seed);
  for (const BackupFile& file : out.files) {
    if (file.done == BackupDone::CopyFailed && file.copy.status.kind == FailureKind::DiskFull) {
      RecountRoom(ops, gameDir, out);
      break;
    }
  }
  for (const BackupFile& file : out.files) {
    if (file.Failed()) {
      out.kind = BackupKind::Failed;
      return out;
    }
  }
  markBackupDone();
  out.kind = out.showsPatch ? BackupKind::AlreadyPatched : BackupKind::Done;
  return out;
}
