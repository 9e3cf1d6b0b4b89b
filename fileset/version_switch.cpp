#include "fileset/version_switch.h"

#include <array>
#include <map>
#include <optional>
#include <vector>

#include "fileset/file_set.h"
#include "fileset/game_folder.h"

namespace {

struct RenameStep {
  const char* from;
  const char* to;
};

// What the folder's entries say about the three names of every FileSet entry.
using Probes = std::map<std::string, PathProbe>;

SwitchFile Finding(SwitchFinding what, const FileSetEntry* entry, const char* name, const char* other = nullptr,
                   std::string reason = {}) {
  SwitchFile file;
  file.what = what;
  file.entry = entry;
  file.name = name;
  file.other = other;
  file.reason = std::move(reason);
  return file;
}

bool IsFile(const Probes& probes, const char* name) { return probes.at(name).kind == EntryKind::File; }

// Where one entry's versions are, as far as its names tell.
enum class Holding {
  PatchedActive,  // active file and the stored base copy
  BaseActive,     // active file and the stored patched copy
  BothStored,     // both stored, none active: a switch cut off between its halves
  ActiveOnly,     // no stored copy: the marker file speaks for it
  Unsettled,      // all three names, none, or a stored copy alone
};

Holding HoldingOf(const Probes& probes, const FileSetEntry& e) {
  const bool active = IsFile(probes, e.ActiveName);
  const bool base = IsFile(probes, e.BaseCopyName);
  const bool patch = IsFile(probes, e.PatchCopyName);
  if (active && base && !patch) return Holding::PatchedActive;
  if (active && patch && !base) return Holding::BaseActive;
  if (base && patch && !active) return Holding::BothStored;
  if (active && !base && !patch) return Holding::ActiveOnly;
  return Holding::Unsettled;
}

// The active version that the marker file's names show, if they show one.
std::optional<GameVersion> MarkerSays(const Probes& probes) {
  switch (HoldingOf(probes, MarkerEntry)) {
    case Holding::PatchedActive: return GameVersion::Patched;
    case Holding::BaseActive: return GameVersion::Base;
    default: return std::nullopt;
  }
}

// The renames still needed, in the order they are made: every active file
// that must be put away comes first, so that its ActiveName is free before
// the chosen version's stored copy takes it; both halves in FileSet order.
std::vector<RenameStep> PlanSwitch(const Probes& probes, GameVersion target) {
  const std::optional<GameVersion> marker = MarkerSays(probes);
  std::vector<RenameStep> putAway, bringIn;
  for (const FileSetEntry& e : FileSet) {
    const char* wanted = target == GameVersion::Base ? e.BaseCopyName : e.PatchCopyName;
    const char* other = target == GameVersion::Base ? e.PatchCopyName : e.BaseCopyName;
    std::optional<GameVersion> active;
    switch (HoldingOf(probes, e)) {
      case Holding::PatchedActive: active = GameVersion::Patched; break;
      case Holding::BaseActive: active = GameVersion::Base; break;
      case Holding::ActiveOnly: active = marker; break;
      case Holding::BothStored: bringIn.push_back({wanted, e.ActiveName}); continue;
      case Holding::Unsettled: continue;
    }
    if (active == target) continue;
    // With no stored copy of the chosen version the check names it missing.
    putAway.push_back({e.ActiveName, other});
    bringIn.push_back({wanted, e.ActiveName});
  }
  putAway.insert(putAway.end(), bringIn.begin(), bringIn.end());
  return putAway;
}

// The active file is still its stored base copy's twin and nothing is stored
// for the patch: the 1.01 patch has not been installed over this file yet.
bool NotPatchedYet(const Probes& probes, const FileSetEntry& e) {
  return !IsFile(probes, e.PatchCopyName) && AreTwins(probes.at(e.ActiveName), probes.at(e.BaseCopyName));
}

std::array<EntryKind, 3> KindsOf(const Probes& probes, const FileSetEntry& e) {
  return {probes.at(e.ActiveName).kind, probes.at(e.BaseCopyName).kind, probes.at(e.PatchCopyName).kind};
}

// Some files are still their backup's twins and some are not: which labels
// the files carry cannot be told, so none is renamed. Every file is named
// with what was found for it.
bool PartlyPatched(const Probes& probes, SwitchOutcome& out) {
  size_t twins = 0;
  for (const FileSetEntry& e : FileSet) twins += NotPatchedYet(probes, e) ? 1 : 0;
  if (twins == 0 || twins == FileSet.size()) return false;
  for (const FileSetEntry& e : FileSet) {
    SwitchFile file = Finding(SwitchFinding::Elsewhere, &e, e.ActiveName);
    if (NotPatchedYet(probes, e)) {
      file.what = SwitchFinding::MatchesBackup;
    } else if (HoldingOf(probes, e) == Holding::PatchedActive) {
      file.what = SwitchFinding::Changed;
    }
    file.kinds = KindsOf(probes, e);
    out.files.push_back(file);
  }
  out.kind = SwitchKind::PartlyPatched;
  return true;
}

// Tests every rename of the plan before any is made: each source must be a
// file, and each target must be free or freed by an earlier rename.
void CheckPlan(const Probes& probes, const std::vector<RenameStep>& steps, std::vector<SwitchFile>& files) {
  std::vector<SwitchFile> blocking;
  for (size_t i = 0; i < steps.size(); ++i) {
    const PathProbe& source = probes.at(steps[i].from);
    if (source.kind == EntryKind::Other) {
      files.push_back(Finding(SwitchFinding::FolderInPlace, nullptr, steps[i].from));
    } else if (source.kind != EntryKind::File) {
      files.push_back(Finding(SwitchFinding::Missing, nullptr, steps[i].from));
    }
    bool freed = false;
    for (size_t k = 0; k < i; ++k) freed = freed || std::string(steps[k].from) == steps[i].to;
    const PathProbe& dest = probes.at(steps[i].to);
    if (!freed && dest.kind != EntryKind::Missing) {
      const SwitchFinding what = dest.kind == EntryKind::Other ? SwitchFinding::FolderInTheWay
                                                               : SwitchFinding::InTheWay;
      blocking.push_back(Finding(what, nullptr, steps[i].to));
    }
  }
  files.insert(files.end(), blocking.begin(), blocking.end());
}

// Reads every name of the set once; every decision reads these entries and
// nothing else. False, with the names it could not check, when the system
// could not tell what some name holds.
bool ReadNames(FileOps& ops, const std::string& gameDir, Probes& probes, SwitchOutcome& out) {
  for (const FileSetEntry& e : FileSet) {
    for (const char* name : {e.ActiveName, e.BaseCopyName, e.PatchCopyName}) {
      const PathProbe& probe = probes[name] = ops.Probe(GamePath(gameDir, name));
      if (probe.kind == EntryKind::Unknown) {
        out.files.push_back(Finding(SwitchFinding::Unreadable, &e, name, nullptr, probe.reason));
      }
    }
  }
  if (out.files.empty()) return true;
  out.kind = SwitchKind::Unreadable;
  return false;
}

// Makes the renames; one that fails undoes the ones before it, newest first,
// so that each ActiveName is free again before the file that held it comes
// back. Keeps going past a failed undo: every file put back is one fewer for
// the user to rename by hand. The stranded files are listed in the order in
// which renaming them back works.
void RunPlan(FileOps& ops, const std::string& gameDir, const std::vector<RenameStep>& steps, SwitchOutcome& out) {
  size_t done = 0;
  FileStatus failure;
  for (; done < steps.size(); ++done) {
    failure = ops.Rename(GamePath(gameDir, steps[done].from), GamePath(gameDir, steps[done].to));
    if (!failure) break;
  }
  if (done == steps.size()) return;
  SwitchFile failed = Finding(SwitchFinding::RenameFailed, nullptr, steps[done].from, steps[done].to, failure.reason);
  failed.failure = failure.kind;
  out.files.push_back(failed);
  out.kind = SwitchKind::Undone;
  while (done > 0) {
    const RenameStep& s = steps[--done];
    const FileStatus undo = ops.RenameBack(GamePath(gameDir, s.to), GamePath(gameDir, s.from));
    if (!undo) {
      out.files.push_back(Finding(SwitchFinding::Stranded, nullptr, s.to, s.from, undo.reason));
      out.kind = SwitchKind::Stranded;
    }
  }
}

}  // namespace

SwitchOutcome VersionSwitch(FileOps& ops, const std::string& gameDir, GameVersion target) {
  SwitchOutcome out;
  out.target = target;
  out.gameDir = gameDir;
  if (!GameDirProblem(gameDir).empty()) {
    out.kind = SwitchKind::GameDirUnusable;
    return out;
  }
  const PathProbe folder = ops.Probe(gameDir);
  if (folder.kind == EntryKind::Missing || folder.kind == EntryKind::File) {
    out.kind = SwitchKind::FolderMissing;
    return out;
  }
  if (folder.kind == EntryKind::Unknown) {
    out.kind = SwitchKind::FolderUnreachable;
    out.reason = folder.reason;
    return out;
  }
  Probes probes;
  if (!ReadNames(ops, gameDir, probes, out)) return out;

  bool allTwins = true;
  for (const FileSetEntry& e : FileSet) allTwins = allTwins && NotPatchedYet(probes, e);
  if (allTwins) {
    out.kind = target == GameVersion::Base ? SwitchKind::BaseAlreadyActive : SwitchKind::PatchNotInstalled;
    return out;
  }
  if (PartlyPatched(probes, out)) return out;

  // Files whose names settle nothing are left alone, and so is everything
  // else then; the outcome names every problem at once.
  const std::vector<RenameStep> steps = PlanSwitch(probes, target);
  CheckPlan(probes, steps, out.files);
  for (const FileSetEntry& e : FileSet) {
    if (HoldingOf(probes, e) != Holding::Unsettled) continue;
    SwitchFile file = Finding(SwitchFinding::Unsettled, &e, e.ActiveName);
    file.kinds = KindsOf(probes, e);
    out.files.push_back(file);
  }
  if (!out.files.empty()) {
    out.kind = SwitchKind::Refused;
    return out;
  }
  RunPlan(ops, gameDir, steps, out);
  return out;
}
