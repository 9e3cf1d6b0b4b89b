#include "fileset/act/version_switch.h"

#include <vector>

namespace {

struct RenameStep {
  const char* from;
  const char* to;
  const PathProbe* found;  // what the folder held under `to` when it was read
};

SwitchFile Noted(SwitchFinding what, const FileVerdict& f) {
  SwitchFile file;
  static_cast<FileVerdict&>(file) = f;
  file.what = what;
  file.name = f.entry->ActiveName;
  return file;
}

// The renames still needed, in the order they are made: every active file
// that must be put away comes first, so that its ActiveName is free before
// the chosen version's stored copy takes it; both halves in FileSet order.
// A file the rules refuse is named in `refusals`, one they note in `notes`.
std::vector<RenameStep> PlanSwitch(const FolderVerdicts& files, FolderShows shows, GameVersion target,
                                   std::vector<SwitchFile>& refusals, std::vector<SwitchFile>& notes) {
  std::vector<RenameStep> putAway, bringIn;
  const bool toBase = target == GameVersion::Base;
  for (const FileVerdict& f : files) {
    const FileSetEntry& e = *f.entry;
    const char* wanted = toBase ? e.BaseCopyName : e.PatchCopyName;
    const char* other = toBase ? e.PatchCopyName : e.BaseCopyName;
    const SwitchRule& rule = RuleFor(f, shows).To(target);
    const PathProbe* otherFound = toBase ? &f.patched : &f.base;
    switch (rule.move) {  // GCOVR_EXCL_BR_LINE every move has its case
      case SwitchMove::Swap:
        putAway.push_back({e.ActiveName, other, otherFound}), bringIn.push_back({wanted, e.ActiveName, &f.active});
        break;
      case SwitchMove::BringIn: bringIn.push_back({wanted, e.ActiveName, &f.active}); break;
      case SwitchMove::Stay:
      case SwitchMove::Refuse: break;
    }
    if (rule.finding == SwitchFinding::None) continue;
    SwitchFile file = Noted(rule.finding, f);
    file.gone = GoneName(files, f, shows);
    std::vector<SwitchFile>& named = rule.move == SwitchMove::Refuse ? refusals : notes;
    if (rule.finding != SwitchFinding::Unreadable && rule.finding != SwitchFinding::Linked) {
      named.push_back(file);
      continue;
    }
    // Each name that cannot be checked, with why, and each link is named.
    for (const auto& [name, why] : f.unreadables) {
      file.what = SwitchFinding::Unreadable, file.name = name, file.status = why;
      named.push_back(file);
    }
    file.status = {};
    for (const char* link : f.links) file.what = SwitchFinding::Linked, file.name = link, named.push_back(file);
  }
  putAway.insert(putAway.end(), bringIn.begin(), bringIn.end());
  return putAway;
}

// Tests every rename of the plan before any is made. The verdicts put only
// files in the plan, each to a name that holds no file or whose file an
// earlier rename moves away; they count a folder as no file, so a folder is
// what may stand in the way.
void CheckPlan(const std::vector<RenameStep>& steps, std::vector<SwitchFile>& out) {
  for (const RenameStep& step : steps) {
    if (step.found->kind != EntryKind::Folder) continue;
    out.emplace_back().what = SwitchFinding::FolderInTheWay;
    out.back().name = step.to;
  }
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
  out.failed = {steps[done].from, steps[done].to, failure};
  BlameTheFile(out.failed.status, done > 0);
  out.kind = SwitchKind::Undone;
  while (done > 0) {
    const RenameStep& s = steps[--done];
    const FileStatus undo = ops.RenamePatiently(GamePath(gameDir, s.to), GamePath(gameDir, s.from));
    if (!undo) out.stranded.push_back({s.to, s.from, undo});
  }
  if (out.stranded.empty()) return;
  out.kind = SwitchKind::Stranded;
  std::vector<FileStatus> undos;
  for (const RefusedRename& r : out.stranded) undos.push_back(r.status);
  out.pressAgain = PressAgainFinishes(undos);
}

}  // namespace

SwitchOutcome VersionSwitch(FileOps& ops, PcWatch& pc, const std::string& gameDir, GameVersion target,
                            const CutOffQuestion& cutOff) {
  SwitchOutcome out;
  out.target = target;
  out.gameDir = gameDir;
  out.folder = CheckFolder(ops, pc, gameDir);
  if (out.folder.state != FolderCheck::State::Ready) {
    out.kind = SwitchKind::NotReady;
    return out;
  }

  const FolderVerdicts files = ReadVerdicts(ops, gameDir);
  const FolderShows shows = WhatFolderShows(files);
  const SideRule& side = RuleFor(shows);
  for (const FileVerdict& f : files) {
    if (f.dateDiffers && side.namesDates) out.dateDiffers.push_back(Noted(SwitchFinding::None, f));
  }

  // Everything that stands in the way is named at once.
  std::vector<SwitchFile> refusals, notes;
  const std::vector<RenameStep> steps = PlanSwitch(files, shows, target, refusals, notes);
  CheckPlan(steps, out.files);
  out.files.insert(out.files.end(), refusals.begin(), refusals.end());
  if (!out.files.empty()) {
    out.kind = side.refused;
    return out;
  }
  out.kind = side.EndOf(target);
  if (!out.Succeeded()) return out;
  if (side.asksFirst) {
    out.files = notes;
    if (!cutOff(out)) {
      out.kind = SwitchKind::NotCutOff;
      return out;
    }
    out.files.clear();
  }
  RunPlan(ops, gameDir, steps, out);
  if (!out.Succeeded()) return out;
  out.files = notes;
  std::vector<SwitchFinding> found;
  for (const SwitchFile& f : notes) found.push_back(f.what);
  out.patchAgain = PatchAgainAdvised(target, found);
  return out;
}
