#include "fileset/decide/folder_rules.h"

#include <iterator>

#include "fileset/decide/game_folder.h"

namespace {

// Any side of the folder.
constexpr FolderShows kAny = static_cast<FolderShows>(-1);

struct Row {
  Verdict verdict;
  FolderShows shows;
  SwitchRule toBase, toPatched;
  BackupFinding backup;
};

using M = SwitchMove;
using F = SwitchFinding;
using B = BackupFinding;
using S = FolderShows;

// The first row that fits a file's verdict and the folder's side decides.
// A file of its stored copy's version stays as it is, and is named: the
// patch may leave it alone, or may have stopped before it (or, for one
// that matches its patched copy, been installed over its base version);
// the names cannot tell which, and putting it away would file its one
// version under the other's name.
// A file of its stored patched copy's size has no base copy to keep, and the
// backup cannot tell whether the patch replaced it.
// Where nothing shows the patch, a file with nothing stored is a backup
// that is not whole; beside base files, its patched copy is what is gone,
// as far as the rest of the folder tells; elsewhere (a patch cut off may
// not have reached it) nothing tells which version it is.
// Where stored copies disagree on which version is active, each file is
// switched as its own copy says (a switch whose undo was cut off leaves such
// a folder, and pressing again must finish it), and each is named: a copy
// renamed by hand into its other name looks the same, and only the player
// knows which it was.
constexpr Row kRules[] = {
    {Verdict::BaseActive, S::BothActive, {M::Stay, F::SidesDisagree}, {M::Swap, F::SidesDisagree},
     B::PatchedStored},
    {Verdict::PatchedActive, S::BothActive, {M::Swap, F::SidesDisagree}, {M::Stay, F::SidesDisagree},
     B::BaseStored},
    {Verdict::BaseActive, kAny, {M::Stay}, {M::Swap}, B::PatchedStored},
    {Verdict::PatchedActive, kAny, {M::Swap}, {M::Stay}, B::BaseStored},
    {Verdict::HalfSwitched, kAny, {M::BringIn}, {M::BringIn}, B::BaseStored},
    {Verdict::NotPatchedYet, kAny, {M::Stay, F::NotPatchedYet}, {M::Stay, F::NotPatchedYet}, B::SameVersionStored},
    {Verdict::SameAsPatchedCopy, S::PatchOverBase, {M::Refuse, F::BaseOverwritten}, {M::Stay, F::BaseOverwritten},
     B::BaseGone},
    {Verdict::SameAsPatchedCopy, kAny, {M::Stay, F::SameAsPatched}, {M::Stay, F::SameAsPatched}, B::BaseGone},
    {Verdict::NoStoredCopy, S::NothingStored, {M::Refuse, F::BackupMissing}, {M::Refuse, F::BackupMissing},
     B::ToCopy},
    {Verdict::NoStoredCopy, S::BackupOnly, {M::Refuse, F::BackupMissing}, {M::Refuse, F::BackupMissing}, B::ToCopy},
    {Verdict::NoStoredCopy, S::StrayBase, {M::Refuse, F::BackupMissing}, {M::Refuse, F::BackupMissing}, B::ToCopy},
    {Verdict::NoStoredCopy, S::BaseSide, {M::Stay, F::PatchedCopyGone}, {M::Refuse, F::PatchedCopyGone},
     B::PatchedCopyGone},
    {Verdict::NoStoredCopy, kAny, {M::Refuse, F::NoBaseCopy}, {M::Stay, F::NoStoredCopy}, B::BaseGone},
    {Verdict::Empty, kAny, {M::Refuse, F::Empty}, {M::Refuse, F::Empty}, B::Empty},
    {Verdict::Contradictory, kAny, {M::Refuse, F::Unsettled}, {M::Refuse, F::Unsettled}, B::Unsettled},
    {Verdict::Missing, kAny, {M::Refuse, F::Unsettled}, {M::Refuse, F::Unsettled}, B::SourceMissing},
    {Verdict::Unreadable, kAny, {M::Refuse, F::Unreadable}, {M::Refuse, F::Unreadable}, B::Unreadable},
    {Verdict::Linked, kAny, {M::Refuse, F::Linked}, {M::Refuse, F::Linked}, B::Linked},
};

struct End {
  FolderShows shows;
  SwitchKind toBase, toPatched;
};

// Any other side: Applied. To base, the patch over base is refused by its rows.
constexpr End kEnds[] = {
    {S::BackupOnly, SwitchKind::BaseAlreadyActive, SwitchKind::PatchNotInstalled},
    {S::PatchOverBase, SwitchKind::Refused, SwitchKind::PatchedAlreadyActive},
};

const Row& RowFor(const FileVerdict& file, FolderShows shows) {
  for (const Row& row : kRules) {  // GCOVR_EXCL_BR_LINE every verdict has a row for any side: the loop never runs out
    if (row.verdict == file.verdict && (row.shows == kAny || row.shows == shows)) return row;
  }
  return kRules[std::size(kRules) - 1];
}

int Count(const FolderVerdicts& files, Verdict verdict) {
  int n = 0;
  for (const FileVerdict& f : files) n += f.verdict == verdict;
  return n;
}

}  // namespace

FolderShows WhatFolderShows(const FolderVerdicts& files) {
  const int patched = Count(files, Verdict::PatchedActive), base = Count(files, Verdict::BaseActive);
  const int notPatched = Count(files, Verdict::NotPatchedYet), overBase = Count(files, Verdict::SameAsPatchedCopy);
  if (patched > 0 && base > 0) return S::BothActive;
  if (patched > 0) return S::PatchedSide;
  if (base > 0) return S::BaseSide;
  if (Any(files, Verdict::HalfSwitched) || (notPatched > 0 && overBase > 0)) return S::SwitchCutOff;
  if (overBase > 0) return S::PatchOverBase;
  if (notPatched > 0) return S::BackupOnly;
  return S::NothingStored;
}

// Without the flag, a stored base copy of another size shows the patch only
// where a switch was made too, or every file has a stored copy: alone, it
// may be a copy left from an older install.
FolderShows WhatFolderShows(const FolderVerdicts& files, bool flagSaysDone) {
  const FolderShows shows = WhatFolderShows(files);
  if (flagSaysDone || shows != S::PatchedSide || !Any(files, Verdict::NoStoredCopy)) return shows;
  for (const FileVerdict& f : files) {
    if (f.patched.kind == EntryKind::File) return shows;
  }
  return S::StrayBase;
}

SwitchRule SwitchRuleFor(const FileVerdict& file, FolderShows shows, GameVersion target) {
  const Row& row = RowFor(file, shows);
  return target == GameVersion::Base ? row.toBase : row.toPatched;
}

SwitchKind SwitchEndFor(FolderShows shows, GameVersion target) {
  for (const End& end : kEnds) {
    if (end.shows == shows) return target == GameVersion::Base ? end.toBase : end.toPatched;
  }
  return SwitchKind::Applied;
}

BackupFinding BackupRuleFor(const FileVerdict& file, FolderShows shows) {
  // A name that cannot be read, or a link, is named before a folder in the way.
  const bool odd = file.verdict == Verdict::Unreadable || file.verdict == Verdict::Linked;
  if (!odd && file.base.kind == EntryKind::Folder) return B::StoredIsFolder;
  if (!odd && file.temp.kind == EntryKind::Folder) return B::TempInTheWay;
  const BackupFinding finding = RowFor(file, shows).backup;
  if (finding == B::SourceMissing && file.active.kind == EntryKind::Folder) return B::SourceIsFolder;
  return finding;
}

bool ShowsPatch(FolderShows shows) {
  return shows != S::NothingStored && shows != S::BackupOnly && shows != S::StrayBase;
}

bool SwitchAsksFirst(FolderShows shows) { return shows == S::BothActive; }

bool BackupIncomplete(const FolderVerdicts& files) {
  return !ShowsPatch(WhatFolderShows(files)) && Any(files, Verdict::NoStoredCopy);
}

bool EarlierBackup(const FolderVerdicts& files, bool flagSaysDone) {
  bool earlier = flagSaysDone;
  for (const FileVerdict& f : files) {
    earlier = earlier || f.tempLeft != LeftCopy::None || (f.base.kind == EntryKind::File && !f.base.link) ||
              (f.patched.kind == EntryKind::File && !f.patched.link);
    // A stored or temporary name that cannot be read, or a link, may hide one.
    for (const auto& [name, why] : f.unreadables) earlier = earlier || name != f.entry->ActiveName;
    for (const char* name : f.links) earlier = earlier || name != f.entry->ActiveName;
  }
  return earlier;
}

// A patched copy is stored only by a switch to the base version, and that
// needs every file's copies: beside base files, a file alone lost its patched
// copy. Beside patched files, a file alone may have lost its base copy or
// never had one (a backup that stopped short, and the patch after it).
// Files whose names contradict each other say that something else moved
// files here (a reinstall over a cut-off switch): no guess then.
const char* GoneName(const FolderVerdicts& files, const FileVerdict& file, FolderShows shows) {
  if (file.verdict != Verdict::NoStoredCopy || Any(files, Verdict::Contradictory)) return nullptr;
  switch (shows) {
    case S::BaseSide:
    case S::PatchOverBase: return file.entry->PatchCopyName;
    default: return nullptr;
  }
}

bool BackupNeeded(FileOps& ops, const std::string& gameDir, bool flagSaysDone) {
  if (GameDirProblemOf(gameDir) != GameDirProblem::None || ops.Probe(gameDir).kind != EntryKind::Folder) {
    return !flagSaysDone;
  }
  const FolderVerdicts files = ReadVerdicts(ops, gameDir);
  // A stored patched copy, even one whose file's other names are gone, was
  // put there by a switch, which only a whole backup allows.
  for (const FileVerdict& f : files) {
    if (f.patched.kind == EntryKind::File) return false;
  }
  if (flagSaysDone) return BackupIncomplete(files);
  // A stored base copy that cannot be read is not known to be there (no
  // patched copy is, or the start would have stopped above).
  for (const FileVerdict& f : files) {
    if (f.base.kind != EntryKind::File) return true;
  }
  return false;
}
