#include "fileset/words/outcome_text.h"

#include "common/texts.h"
#include "fileset/words/text_parts.h"

namespace {

// The shown names of the switch's files found so, each with what `extra` adds.
template <typename Extra>
std::vector<std::string> NamesOf(const SwitchOutcome& o, std::initializer_list<SwitchFinding> whats, Extra extra) {
  std::vector<std::string> names;
  for (const SwitchFile& f : o.files) {
    for (SwitchFinding what : whats) {
      if (f.what == what) names.push_back(Noted(ShownName(f.name), extra(f), f.entry ? TempNote(*f.entry, f.tempLeft) : ""));
    }
  }
  return names;
}

std::vector<std::string> NamesOf(const SwitchOutcome& o, SwitchFinding what) {
  return NamesOf(o, {what}, [](const SwitchFile&) { return std::string(); });
}

// What a file whose version is gone here left behind: the stored name it
// lost: "vonu.exe (vonu.mrvupdexe)". NamesOf adds the temporary copy.
std::string WithGone(const SwitchFile& f) { return f.gone ? ShownName(f.gone) : ""; }

std::vector<std::string> GoneNamesOf(const SwitchOutcome& o, SwitchFinding what) {
  return NamesOf(o, {what}, WithGone);
}

std::string Headline(GameVersion target) { return target == GameVersion::Base ? kBaseNotApplied : kPatchedNotApplied; }

// The line every box carries for the files judged by their size alone.
std::string DateDiffersText(const SwitchOutcome& o) {
  if (o.dateDiffers.empty()) return {};
  std::vector<std::string> names;
  for (const SwitchFile& f : o.dateDiffers) {
    const FileSetEntry& e = *f.entry;
    names.push_back(Noted(ShownName(e.ActiveName),
                          ShownName(f.verdict == Verdict::SameAsPatchedCopy ? e.PatchCopyName : e.BaseCopyName),
                          TempNote(e, f.tempLeft)));
  }
  return Filled(kDateDiffers, {JoinNames(names)});
}

// Where stored copies disagree: the files whose copy says the base version
// was active, then those whose copy says the patched one.
std::string SidesText(const SwitchOutcome& o) {
  std::vector<std::string> saidBase, saidPatched;
  for (const SwitchFile& f : o.files) {
    if (f.what != SwitchFinding::SidesDisagree) continue;
    (f.verdict == Verdict::BaseActive ? saidBase : saidPatched)
        .push_back(Noted(ShownName(f.name), TempNote(*f.entry, f.tempLeft)));
  }
  std::string text;
  if (!saidBase.empty()) text += Filled(kSaidBase, {JoinNames(saidBase)});
  if (!saidPatched.empty()) text += (text.empty() ? "" : "\n") + Filled(kSaidPatched, {JoinNames(saidPatched)});
  return text;
}

// The success box's notes on what the switch saw beside the renames.
std::string AppliedText(const SwitchOutcome& o) {
  const bool toBase = o.target == GameVersion::Base;
  std::string text = o.kind == SwitchKind::PatchedAlreadyActive ? kPatchedAlreadyActive
                     : toBase                                   ? kBaseApplied
                                                                : kPatchedApplied;
  const std::string same = JoinNames(NamesOf(o, SwitchFinding::NotPatchedYet));
  const std::string alone = JoinNames(NamesOf(o, SwitchFinding::NoStoredCopy));
  if (!same.empty() && toBase) {
    text += Filled(kSameAsBackup, {same});
  } else if (!same.empty()) {
    text += Filled(kNotPatchedYet, {same}) + (o.patchAgain ? kPatchAgain : "");
  }
  const std::string leftAlone = JoinNames(NamesOf(o, SwitchFinding::SameAsPatched));
  if (!leftAlone.empty()) text += Filled(kSameAsPatched, {leftAlone});
  if (!alone.empty()) text += Filled(kNoStoredCopy, {alone});
  const std::string overwritten = JoinNames(GoneNamesOf(o, SwitchFinding::BaseOverwritten));
  if (!overwritten.empty()) text += "\n" + Filled(kBaseOverwritten, {overwritten}) + kIfBaseWanted + kReinstallGame;
  text += PatchedCopyGoneNote(GoneNamesOf(o, SwitchFinding::PatchedCopyGone));
  const std::string sides = SidesText(o);
  if (!sides.empty()) text += "\n" + sides + kSwitchedBySides + kStartOver;
  return text + DateDiffersText(o);
}

std::string Found(const SwitchFile& f) {
  const FileSetEntry& e = *f.entry;
  return Filled(kUnsettledLine, {Noted(ShownName(e.ActiveName), TempNote(e, f.tempLeft)), NamesHeld(f)});
}

Problem LinkedNamesText(const std::vector<std::string>& names) {
  return {Filled(kLinkedNames, {JoinNames(names)}), kReplaceLinks};
}

std::vector<Problem> RefusedText(const SwitchOutcome& o) {
  const std::string blocking =
      JoinNames(NamesOf(o, {SwitchFinding::FolderInTheWay}, [](const SwitchFile&) { return std::string(kIsFolder); }));
  // Never backed up, or beside files that show the patch: one side of the folder has one of them.
  const std::string noBase = JoinNames(NamesOf(o, {SwitchFinding::NotBackedUp, SwitchFinding::NoBaseCopy}, WithGone));
  const std::string overwritten = JoinNames(GoneNamesOf(o, SwitchFinding::BaseOverwritten));
  const std::string patchedGone = JoinNames(GoneNamesOf(o, SwitchFinding::PatchedCopyGone));
  std::string unsettled, empty;
  for (const SwitchFile& f : o.files) {
    if (f.what == SwitchFinding::Unsettled) unsettled += Found(f);
    if (f.what == SwitchFinding::Empty) {
      empty += Filled(kEmptyLine, {Noted(ShownName(f.entry->ActiveName), TempNote(*f.entry, f.tempLeft)),
                                   EmptyNames(*f.entry, f.empty)});
    }
  }
  std::vector<Problem> out;
  const std::vector<std::string> linked = NamesOf(o, SwitchFinding::Linked);
  if (!linked.empty()) out.push_back(LinkedNamesText(linked));
  if (!noBase.empty()) out.push_back({Filled(kNoBaseCopy, {noBase}), kRestoreBaseCopy});
  if (!overwritten.empty()) out.push_back({Filled(kBaseOverwritten, {overwritten}), kReinstallGame});
  if (!patchedGone.empty()) {
    out.push_back({Filled(kPatchedCopyGone, {patchedGone}), kRestorePatchedCopy + std::string(kThenTryAgain)});
  }
  if (!blocking.empty()) out.push_back({Filled(kInTheWay, {blocking}), kSetInTheWayAside});
  if (!empty.empty()) out.push_back({Filled(kEmptyFound, {empty}), kSetEmptyAside});
  if (!unsettled.empty()) out.push_back({Filled(kUnsettled, {unsettled}), kSortOutNames});
  return out;
}

std::string RenameFailedText(const SwitchOutcome& o) {
  const RefusedRename& failed = o.failed;
  const std::string text = Filled(kRenameFailed, {ShownName(failed.from), ShownName(failed.to), Why(failed.status)});
  if (o.kind == SwitchKind::Undone) {
    return text + kRenamesUndone + kNothingChanged + Advice(failed.status.kind, o.gameDir);
  }
  std::string stranded;
  for (const RefusedRename& f : o.stranded) {
    stranded += Filled(kStrandedLine, {ShownName(f.from), ShownName(f.to), Why(f.status)});
  }
  return text + Filled(kNotAllUndone, {stranded, o.pressAgain ? Filled(kPressApplyToFinish, {kApplyCaption}) : ""});
}

std::vector<Problem> SwitchProblems(const SwitchOutcome& o) {
  switch (o.kind) {
    case SwitchKind::NotReady: return {NotReadyText(o.folder, o.gameDir, kApplyCaption)};
    case SwitchKind::Unreadable: {
      const auto withReason = [](const SwitchFile& f) { return Why(f.status); };
      std::vector<Problem> out{
          {Filled(kUnreadableFiles, {JoinNames(NamesOf(o, {SwitchFinding::Unreadable}, withReason))}), kCheckDrive}};
      const std::vector<std::string> linked = NamesOf(o, SwitchFinding::Linked);
      if (!linked.empty()) out.push_back(LinkedNamesText(linked));
      return out;
    }
    case SwitchKind::PatchNotInstalled: return {{kPatchNotInstalled, kInstallPatch}};
    case SwitchKind::NotCutOff:
      return {{SidesText(o) + kNotSwitchedBySides,
               kIfRenamedByHand + std::string(kStartOver) + Filled(kIfCutOffAnswerYes, {kApplyCaption})}};
    default: return RefusedText(o);
  }
}

}  // namespace

std::string SwitchText(const SwitchOutcome& o) {
  switch (o.kind) {
    case SwitchKind::Applied:
    case SwitchKind::PatchedAlreadyActive: return AppliedText(o);
    case SwitchKind::BaseAlreadyActive: return kBaseStillActive + DateDiffersText(o);
    case SwitchKind::Undone:
    case SwitchKind::Stranded: return Headline(o.target) + RenameFailedText(o) + DateDiffersText(o);
    default: break;
  }
  std::string text = Headline(o.target) + kNothingChanged;
  std::string todo;
  for (const Problem& p : SwitchProblems(o)) {
    text += p.found;
    todo += (todo.empty() ? "" : "\n") + p.todo;  // each kind of problem comes once, with advice of its own
  }
  return text + todo + DateDiffersText(o);
}

std::string CutOffQuestionText(const SwitchOutcome& o) { return Filled(kCutOffQuestion, {SidesText(o)}); }
