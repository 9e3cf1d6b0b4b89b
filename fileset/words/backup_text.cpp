#include "fileset/words/outcome_text.h"

#include <algorithm>

#include "common/texts.h"
#include "fileset/decide/game_folder.h"
#include "fileset/words/text_parts.h"

namespace {

std::string Megabytes(uint64_t bytes, bool roundUp) {
  const uint64_t mib = uint64_t{1} << 20;
  return Filled(kMegabytes, {std::to_string(roundUp ? (bytes + mib - 1) / mib : bytes / mib)});
}

// Size and last-write time as the user finds them in the folder's listing.
std::string Described(const char* name, const PathProbe& probe, const TimeZone& zone) {
  return Filled(kSizeAndTime, {ShownName(name), std::to_string(probe.size), LocalTimeText(probe.lastWrite, zone)});
}

std::string WhyCopyFailed(const BackupFile& f) {
  const FileSetEntry& e = *f.entry;
  const std::string temp = ShownName(e.TempName);
  const CopyResult& c = f.copy;
  std::string text;
  if (c.status.kind == FailureKind::Changed) {
    return Filled(kChangedWhileCopied, {std::to_string(c.copied), std::to_string(c.expected)});
  }
  switch (c.stage) {  // GCOVR_EXCL_BR_LINE every stage has its case
    case CopyStage::Source: text = Filled(kNotReadable, {Why(c.status)}); break;
    case CopyStage::Temp: text = Filled(kCopyNotWritable, {temp, Why(c.status)}); break;
    case CopyStage::Target: text = Filled(kCopyNotRenamed, {temp, ShownName(e.BaseCopyName), Why(c.status)}); break;
  }
  if (!c.removal) text += "; " + Filled(kHalfCopyStays, {temp, Why(c.removal)});
  return text;
}

// The links under a file's names, and what to do about them.
std::string LinksAt(const BackupFile& f) {
  std::vector<std::string> names;
  for (const char* name : f.links) names.push_back(ShownName(name));
  return Filled(kLinkAtName, {JoinNames(names)});
}

// Why one file could not be backed up.
std::string WhyNotSaved(const BackupFile& f, const TimeZone& zone) {
  const FileSetEntry& e = *f.entry;
  const std::string temp = ShownName(e.TempName);
  switch (f.done) {
    case BackupDone::TempLeft: return Filled(kHalfCopyStays, {temp, Why(f.status)});
    case BackupDone::TempKept:
      return Filled(kTempKeptDiffers,
                    {temp, Described(e.TempName, f.temp, zone), Described(e.ActiveName, f.active, zone)});
    case BackupDone::CopyFailed: return WhyCopyFailed(f);
    default: break;
  }
  switch (f.what) {  // GCOVR_EXCL_BR_LINE only the findings of a failed file are worded here
    case BackupFinding::SourceMissing: return kNotInGameFolder;
    case BackupFinding::SourceIsFolder: return Filled(kNameTakenByFolder, {ShownName(e.ActiveName)});
    case BackupFinding::StoredIsFolder: return Filled(kNameTakenByFolder, {ShownName(e.BaseCopyName)});
    case BackupFinding::TempInTheWay: return Filled(kNameTakenByFolder, {temp});
    case BackupFinding::Unreadable: {
      std::vector<std::string> names;
      for (const auto& [name, why] : f.unreadables) names.push_back(Filled(kNotCheckable, {ShownName(name), Why(why)}));
      return JoinNames(names) + (f.links.empty() ? "" : "; " + LinksAt(f));
    }
    case BackupFinding::Linked: return LinksAt(f);
    case BackupFinding::Unsettled: return Filled(kVersionsUnclear, {NamesHeld(f)});
    case BackupFinding::Empty: {
      // The stored copy, which the player may not have looked at, with its size and date.
      const std::string stored = f.empty[1] ? " (" + Described(e.BaseCopyName, f.base, zone) + ")" : "";
      return Filled(kEmptyNotBackedUp, {EmptyNames(e, f.empty), stored});
    }
    default: return {};
  }
}

// The shown names of the backup's files that `is` picks.
template <typename Pick>
std::vector<std::string> BackupNames(const BackupOutcome& o, Pick is) {
  std::vector<std::string> names;
  for (const BackupFile& f : o.files) {
    if (is(f)) {
      names.push_back(Noted(ShownName(f.entry->ActiveName), f.gone ? ShownName(f.gone) : "", TempNote(*f.entry, f.tempLeft)));
    }
  }
  return names;
}

// Files with no stored base copy beside files that show the patch: it may
// have replaced them before they were backed up (or stopped before them).
// The files that show the patch are the evidence.
std::string NoBaseCopyText(const BackupOutcome& o, const TimeZone& zone) {
  std::string evidence;
  bool sameAsPatched = false;
  for (const BackupFile& f : o.files) {
    sameAsPatched = sameAsPatched || f.verdict == Verdict::SameAsPatchedCopy;
    if (f.verdict == Verdict::PatchedActive) {
      evidence += Described(f.entry->BaseCopyName, f.base, zone) + "; " +
                  Described(f.entry->ActiveName, f.active, zone) + "\n";
    }
  }
  if (!evidence.empty()) {
    evidence = Filled(kPatchShowsOnFiles, {evidence});
  } else if (sameAsPatched) {
    evidence = kPatchShowsOnSame;
  } else {
    // A switch cut off midway: only the stored patched copies show it.
    evidence = kPatchShowsOnStored;
  }
  const auto noBase = [](const BackupFile& f) { return f.what == BackupFinding::NoBaseCopy; };
  return Filled(kPatchedBeforeBackup, {JoinNames(BackupNames(o, noBase))}) + evidence + kPutBaseBack + kForTheBackup;
}

// The player did not say that the files still to copy hold the base version.
std::string MayHoldPatchText(const BackupOutcome& o) {
  const auto mayHoldPatch = [](const BackupFile& f) { return f.done == BackupDone::MayHoldPatch; };
  return Filled(kMayHoldPatch, {JoinNames(BackupNames(o, mayHoldPatch))}) + kNotMade + kPutBaseBack + kAndAnswerYes;
}

std::string FailureText(const BackupOutcome& o, const TimeZone& zone) {
  if (o.stop == BackupStop::NoBaseCopy) return NoBaseCopyText(o, zone);
  for (const BackupFile& f : o.files) {
    if (f.done == BackupDone::MayHoldPatch) return MayHoldPatchText(o);
  }
  std::string text = kNotBackedUp;
  bool foreign = false, kept = false, tempKept = false;
  std::vector<FailureKind> advised;
  std::string advice;
  for (const BackupFile& f : o.files) {
    kept = kept || f.Kept();
    if (!f.Failed()) continue;
    const bool aboutTemp = f.done == BackupDone::TempKept || f.done == BackupDone::TempLeft;
    text += Noted(ShownName(f.entry->ActiveName), aboutTemp ? "" : TempNote(*f.entry, f.tempLeft)) + ": " +
            WhyNotSaved(f, zone) + "\n";
    foreign = foreign || f.what == BackupFinding::Empty;
    tempKept = tempKept || f.done == BackupDone::TempKept;
    const FailureKind kind = f.done == BackupDone::CopyFailed ? f.copy.status.kind
                             : f.done == BackupDone::TempLeft ? f.status.kind
                                                              : FailureKind::Changed;
    // Each kind of failure is advised on once.
    if (kind == FailureKind::Changed || std::find(advised.begin(), advised.end(), kind) != advised.end()) continue;
    advised.push_back(kind);
    advice += kind == FailureKind::DiskFull
                  ? Filled(kDiskFullForBackup, {DriveOf(o.gameDir), Megabytes(o.needed, true), Megabytes(o.free, false)})
                  : Advice(kind, o.gameDir);
    advice += "\n";
  }
  if (foreign) text += kSetCopiesAside;
  if (tempKept) text += kSaveTempCopy;
  if (!o.showsPatch) text += kDontPatchYet;
  if (kept) text += kBackupsKept;
  return text + advice + kFixAndRunAgain;
}

std::string NotMadeText(const Problem& p) { return p.found + kNotMade + kDontPatchYet + p.todo; }

}  // namespace

std::string BackupText(const BackupOutcome& o, const TimeZone& zone) {
  switch (o.kind) {  // GCOVR_EXCL_BR_LINE every kind has its case
    case BackupKind::Done: return kBackupDone;
    case BackupKind::AlreadyPatched:
      return kAlreadyPatched + PatchedCopyGoneNote(BackupNames(o, [](const BackupFile& f) {
               return f.what == BackupFinding::PatchedCopyGone;
             }));
    case BackupKind::NotReady: return NotMadeText(NotReadyText(o.folder, o.gameDir, kOkCaption));
    case BackupKind::NoRoom:
      return NotMadeText({Filled(kNoRoom, {Megabytes(o.needed, true), Megabytes(o.free, false)}), kFreeSpace});
    case BackupKind::Failed: break;
  }
  return FailureText(o, zone);
}

std::string ResumeQuestionText(const BackupOutcome& o) {
  const auto toCopy = [](const BackupFile& f) { return f.what == BackupFinding::ToCopy; };
  return Filled(kResumeQuestion, {JoinNames(BackupNames(o, toCopy))});
}
