#include "fileset/first_run_backup.h"

#include <array>
#include <memory>
#include <vector>

#include "fileset/file_copy.h"
#include "fileset/file_set.h"
#include "fileset/game_folder.h"

namespace {

// Removes the temporary copy left by a run that was killed while copying;
// false, with what stands in the way, when it could not.
bool RemoveTemp(FileOps& ops, const std::string& path, BackupFile& file) {
  const PathProbe probe = ops.Probe(path);
  if (probe.kind == EntryKind::Missing) return true;
  if (probe.kind != EntryKind::File) {
    file.what = BackupFinding::TempInTheWay;
    return false;
  }
  const FileStatus deleted = ops.Delete(path);
  if (deleted) return true;
  file.what = BackupFinding::TempLeft;
  file.reason = deleted.reason;
  return false;
}

// What one entry's names hold, before anything is copied.
struct Look {
  BackupFile file;
  bool olderCopy = false;  // a stored base copy that counts only if nothing contradicts it
};

// Judges a stored base copy beside its active file: a twin is the backup; an
// older, not suspiciously empty one may be (the patch has rewritten the
// active file since); anything else is no copy of it.
void JudgeStored(const PathProbe& stored, const PathProbe& source, Look& look) {
  BackupFile& file = look.file;
  if (source.kind == EntryKind::Unknown) {
    file.what = BackupFinding::Unreadable;
    file.reason = source.reason;
  } else if (source.kind != EntryKind::File) {
    file.what = source.kind == EntryKind::Other ? BackupFinding::SourceIsFolder : BackupFinding::SourceMissing;
  } else if (AreTwins(stored, source)) {
    file.what = BackupFinding::Twin;
  } else if (stored.lastWrite < source.lastWrite && (stored.size > 0 || source.size == 0)) {
    file.what = BackupFinding::Stored;
    look.olderCopy = true;
  } else {
    file.what = BackupFinding::NotItsBackup;
  }
  file.stored = stored;
  file.active = source;
}

// Looks at one entry: a killed run's temporary copy goes, a stored copy
// already made stays. A file whose patched copy is stored has its base
// version active: it needs no copy.
Look LookAt(FileOps& ops, const std::string& gameDir, const FileSetEntry& e) {
  Look look;
  BackupFile& file = look.file;
  file.entry = &e;
  const bool tempGone = RemoveTemp(ops, GamePath(gameDir, TempCopyName(e.BaseCopyName).c_str()), file);
  const PathProbe patched = ops.Probe(GamePath(gameDir, e.PatchCopyName));
  const PathProbe stored = ops.Probe(GamePath(gameDir, e.BaseCopyName));
  const PathProbe source = ops.Probe(GamePath(gameDir, e.ActiveName));
  const PathProbe* unknown = patched.kind == EntryKind::Unknown ? &patched
                             : stored.kind == EntryKind::Unknown ? &stored
                                                                 : nullptr;
  if (patched.kind == EntryKind::File) {
    file.what = BackupFinding::Stored;
  } else if (unknown) {
    file.what = BackupFinding::Unreadable;
    file.reason = unknown->reason;
  } else if (stored.kind == EntryKind::Other) {
    file.what = BackupFinding::StoredIsFolder;
  } else if (stored.kind == EntryKind::File) {
    JudgeStored(stored, source, look);
  } else if (!tempGone) {
    // RemoveTemp said what holds the temporary name.
  } else if (source.kind == EntryKind::File) {
    file.active = source;
  } else {
    JudgeStored(stored, source, look);  // names what is wrong with the source
  }
  return look;
}

// Looks at every entry, then lets the twins speak against the older copies:
// an older copy that differs beside a file the patch has not touched is no
// backup of the base version.
std::vector<BackupFile> LookAtFolder(FileOps& ops, const std::string& gameDir, bool& patchInstalled) {
  std::vector<Look> looks;
  bool anyTwin = false;
  for (const FileSetEntry& e : FileSet) {
    looks.push_back(LookAt(ops, gameDir, e));
    anyTwin = anyTwin || looks.back().file.what == BackupFinding::Twin;
  }
  patchInstalled = false;
  std::vector<BackupFile> files;
  for (Look& look : looks) {
    if (look.olderCopy && anyTwin) look.file.what = BackupFinding::NotItsBackup;
    const bool patchStored = look.file.what == BackupFinding::Stored && !look.olderCopy;
    patchInstalled = patchInstalled || patchStored || (look.olderCopy && !anyTwin);
    files.push_back(look.file);
  }
  return files;
}

// The kind of a backup whose copies are all made: the patch counts as
// installed only when every stored copy was there already and no active file
// is still its copy's twin.
BackupKind Finished(const std::vector<BackupFile>& files) {
  for (const BackupFile& file : files) {
    if (file.what == BackupFinding::Copied || file.what == BackupFinding::Twin) return BackupKind::Done;
  }
  return BackupKind::AlreadyPatched;
}

// Copies what is still to copy and steps the gauge after copies four to seven.
void CopyAll(FileOps& ops, const std::string& gameDir, std::vector<BackupFile>& files, ProgressSink& progress,
             uint32_t seed) {
  RandomSteps random(seed);
  static constexpr std::array<int32_t, 7> kProgressBase{-1, -1, -1, 1, 30, 90, 100};
  for (size_t i = 0; i < files.size(); ++i) {
    BackupFile& file = files[i];
    if (file.what == BackupFinding::Copied) {
      const FileSetEntry& e = *file.entry;
      const FileStatus copied =
          CopyWhole(ops, GamePath(gameDir, e.ActiveName), GamePath(gameDir, TempCopyName(e.BaseCopyName).c_str()),
                    GamePath(gameDir, e.BaseCopyName), progress);
      if (!copied) {
        file.what = BackupFinding::CopyFailed;
        file.reason = copied.reason;
        file.failure = copied.kind;
      }
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

BackupOutcome FirstRunBackup(FileOps& ops, const std::string& gameDir, ProgressSink& progress, uint32_t seed,
                             const std::function<void()>& markBackupDone) {
  BackupOutcome out;
  out.gameDir = gameDir;
  if (!GameDirProblem(gameDir).empty()) {
    out.kind = BackupKind::GameDirUnusable;
    return out;
  }
  const PathProbe folder = ops.Probe(gameDir);
  if (folder.kind != EntryKind::Other) {
    out.kind = folder.kind == EntryKind::Unknown ? BackupKind::FolderUnreachable : BackupKind::FolderMissing;
    out.reason = folder.reason;
    return out;
  }

  out.files = LookAtFolder(ops, gameDir, out.patchInstalled);
  for (const BackupFile& file : out.files) {
    if (file.what == BackupFinding::Copied) out.needed += file.active.size;
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
  out.kind = Finished(out.files);
  return out;
}

bool NoStoredCopyLeft(FileOps& ops, const std::string& gameDir) {
  if (!GameDirProblem(gameDir).empty()) return false;
  for (const FileSetEntry& e : FileSet) {
    if (ops.Probe(GamePath(gameDir, e.ActiveName)).kind != EntryKind::File) return false;
    for (const char* stored : {e.BaseCopyName, e.PatchCopyName}) {
      if (ops.Probe(GamePath(gameDir, stored)).kind != EntryKind::Missing) return false;
    }
  }
  return true;
}
