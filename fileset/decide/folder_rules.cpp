#include "fileset/decide/folder_rules.h"

#include <array>
#include <iterator>

#include "fileset/decide/game_folder.h"

namespace {

using M = SwitchMove;
using F = SwitchFinding;
using B = BackupFinding;
using S = FolderShows;

constexpr size_t kVerdicts = static_cast<size_t>(Verdict::Unreadable) + 1;  // Unreadable is the last verdict
constexpr size_t kSides = static_cast<size_t>(S::Unreadable) + 1;          // Unreadable is the last side

// A set of verdicts or of sides, for a row that holds for several.
using Set = unsigned;
template <typename... E>
constexpr Set Of(E... e) {
  return ((1u << static_cast<unsigned>(e)) | ...);
}
constexpr Set kEveryVerdict = (1u << kVerdicts) - 1;
constexpr Set kEverySide = (1u << kSides) - 1;
constexpr Set kReadable = kEverySide & ~Of(S::Unreadable);
// Where nothing shows that a switch was made or the patch installed.
constexpr Set kNoPatchShown = Of(S::NothingStored, S::BackupOnly, S::StrayBase);

struct Row {
  Set verdicts, sides;
  FileRule rule;
};

// What each operation does with a file, by its verdict and the folder's
// side; every verdict on every side has exactly one row (checked below).
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
    {Of(Verdict::BaseActive), Of(S::BothActive),
     {{M::Stay, F::SidesDisagree}, {M::Swap, F::SidesDisagree}, B::PatchedStored}},
    {Of(Verdict::BaseActive), kReadable & ~Of(S::BothActive), {{M::Stay}, {M::Swap}, B::PatchedStored}},
    {Of(Verdict::PatchedActive), Of(S::BothActive),
     {{M::Swap, F::SidesDisagree}, {M::Stay, F::SidesDisagree}, B::BaseStored}},
    {Of(Verdict::PatchedActive), kReadable & ~Of(S::BothActive), {{M::Swap}, {M::Stay}, B::BaseStored}},
    {Of(Verdict::HalfSwitched), kReadable, {{M::BringIn}, {M::BringIn}, B::BaseStored}},
    {Of(Verdict::NotPatchedYet), kReadable,
     {{M::Stay, F::NotPatchedYet}, {M::Stay, F::NotPatchedYet}, B::SameVersionStored}},
    {Of(Verdict::SameAsPatchedCopy), Of(S::PatchOverBase),
     {{M::Refuse, F::BaseOverwritten}, {M::Stay, F::BaseOverwritten}, B::NoBaseCopy}},
    {Of(Verdict::SameAsPatchedCopy), kReadable & ~Of(S::PatchOverBase),
     {{M::Stay, F::SameAsPatched}, {M::Stay, F::SameAsPatched}, B::NoBaseCopy}},
    {Of(Verdict::NoStoredCopy), kNoPatchShown,
     {{M::Refuse, F::NotBackedUp}, {M::Refuse, F::NotBackedUp}, B::ToCopy}},
    {Of(Verdict::NoStoredCopy), Of(S::BaseSide),
     {{M::Stay, F::PatchedCopyGone}, {M::Refuse, F::PatchedCopyGone}, B::PatchedCopyGone, true}},
    {Of(Verdict::NoStoredCopy), Of(S::PatchOverBase),
     {{M::Refuse, F::NoBaseCopy}, {M::Stay, F::NoStoredCopy}, B::NoBaseCopy, true}},
    {Of(Verdict::NoStoredCopy), Of(S::PatchedSide, S::SwitchCutOff, S::BothActive),
     {{M::Refuse, F::NoBaseCopy}, {M::Stay, F::NoStoredCopy}, B::NoBaseCopy}},
    {Of(Verdict::Empty), kReadable, {{M::Refuse, F::Empty}, {M::Refuse, F::Empty}, B::Empty}},
    {Of(Verdict::Contradictory), kReadable, {{M::Refuse, F::Unsettled}, {M::Refuse, F::Unsettled}, B::Unsettled}},
    {Of(Verdict::NoFile), kReadable, {{M::Refuse, F::Unsettled}, {M::Refuse, F::Unsettled}, B::SourceMissing}},
    {Of(Verdict::Unreadable), kEverySide, {{M::Refuse, F::Unreadable}, {M::Refuse, F::Unreadable}, B::Unreadable}},
    {Of(Verdict::Linked), kEverySide, {{M::Refuse, F::Linked}, {M::Refuse, F::Linked}, B::Linked}},
    // Where a name cannot be read, the switch plans nothing and names only
    // what cannot be read and the links: the rest of the folder may read
    // otherwise once it can be read. The backup goes file by file and takes
    // its side from the names it can read, so only the switch meets this
    // column.
    {kEveryVerdict & ~Of(Verdict::Unreadable, Verdict::Linked), Of(S::Unreadable), {{M::Stay}, {M::Stay}, B::ToCopy}},
};

constexpr bool EveryCellOnce() {
  for (size_t v = 0; v < kVerdicts; ++v) {
    for (size_t s = 0; s < kSides; ++s) {
      int rows = 0;
      for (const Row& row : kRules) rows += (row.verdicts >> v & 1u) && (row.sides >> s & 1u);
      if (rows != 1) return false;
    }
  }
  return true;
}
static_assert(EveryCellOnce(), "every verdict on every side of the folder needs exactly one row");

using Grid = std::array<std::array<FileRule, kSides>, kVerdicts>;
constexpr Grid GridOf() {
  Grid grid{};
  for (const Row& row : kRules) {
    for (size_t v = 0; v < kVerdicts; ++v) {
      for (size_t s = 0; s < kSides; ++s) {
        if ((row.verdicts >> v & 1u) && (row.sides >> s & 1u)) grid[v][s] = row.rule;
      }
    }
  }
  return grid;
}
constexpr Grid kGrid = GridOf();

// What each side means for an operation as a whole: how a switch that no
// file refuses ends (where every stored copy is of its active file's version,
// nothing is renamed, and the side says which version is active; to base, a
// patch over base is refused by its files' rows), whether it shows the patch
// or a switch, and whether the switch asks before it moves anything (stored
// copies that disagree: a switch whose undo was cut off, or a stored copy
// renamed by hand). Where a name cannot be read, a refused switch says so,
// and the box leaves out the files judged by size alone.
constexpr SideRule kSideRules[] = {
    {S::NothingStored, SwitchKind::Applied, SwitchKind::Applied, false, false},
    {S::BackupOnly, SwitchKind::BaseAlreadyActive, SwitchKind::PatchNotInstalled, false, false},
    {S::PatchedSide, SwitchKind::Applied, SwitchKind::Applied, true, false},
    {S::BaseSide, SwitchKind::Applied, SwitchKind::Applied, true, false},
    {S::PatchOverBase, SwitchKind::Refused, SwitchKind::PatchedAlreadyActive, true, false},
    {S::BothActive, SwitchKind::Applied, SwitchKind::Applied, true, true},
    {S::SwitchCutOff, SwitchKind::Applied, SwitchKind::Applied, true, false},
    {S::StrayBase, SwitchKind::Applied, SwitchKind::Applied, false, false},
    {S::Unreadable, SwitchKind::Refused, SwitchKind::Refused, false, false, SwitchKind::Unreadable, false},
};

constexpr bool EachSideInItsPlace() {
  if (std::size(kSideRules) != kSides) return false;
  for (size_t s = 0; s < kSides; ++s) {
    if (static_cast<size_t>(kSideRules[s].shows) != s) return false;
  }
  return true;
}
static_assert(EachSideInItsPlace(), "every side of the folder needs its row, in the order of the sides");

// What the backup does where a folder stands at a name it reads or writes,
// whatever the file's versions.
constexpr BackupFinding kFolderFindings[] = {B::ToCopy, B::SourceIsFolder, B::StoredIsFolder, B::TempInTheWay};
static_assert(std::size(kFolderFindings) == static_cast<size_t>(FolderAt::Temp) + 1, "a finding for each name");

bool Any(const FolderVerdicts& files, Verdict verdict) {
  for (const FileVerdict& f : files) {
    if (f.verdict == verdict) return true;
  }
  return false;
}

}  // namespace

const FileRule& RuleFor(const FileVerdict& file, FolderShows shows) {
  return kGrid[static_cast<size_t>(file.verdict)][static_cast<size_t>(shows)];
}

const SideRule& RuleFor(FolderShows shows) { return kSideRules[static_cast<size_t>(shows)]; }

namespace {

// The side of the names that can be read.
FolderShows SideOfReadable(const FolderVerdicts& files) {
  const bool patched = Any(files, Verdict::PatchedActive), base = Any(files, Verdict::BaseActive);
  const bool notPatched = Any(files, Verdict::NotPatchedYet), overBase = Any(files, Verdict::SameAsPatchedCopy);
  if (patched && base) return S::BothActive;
  if (patched) return S::PatchedSide;
  if (base) return S::BaseSide;
  if (Any(files, Verdict::HalfSwitched) || (notPatched && overBase)) return S::SwitchCutOff;
  if (overBase) return S::PatchOverBase;
  if (notPatched) return S::BackupOnly;
  return S::NothingStored;
}

// Although the flag says the backup was made, the start shows the first-run
// face: some file has nothing stored, and no switch was ever made.
bool BackupIncomplete(const FolderVerdicts& files) {
  return !RuleFor(SideOfReadable(files)).showsPatch && Any(files, Verdict::NoStoredCopy);
}

}  // namespace

FolderShows WhatFolderShows(const FolderVerdicts& files) {
  return Any(files, Verdict::Unreadable) ? S::Unreadable : SideOfReadable(files);
}

// Without the flag, a stored base copy of another size shows the patch only
// where a switch was made too, or every file has a stored copy: alone, it
// may be a copy left from an older install.
FolderShows WhatFolderShows(const FolderVerdicts& files, bool flagSaysDone) {
  const FolderShows shows = SideOfReadable(files);
  if (flagSaysDone || shows != S::PatchedSide || !Any(files, Verdict::NoStoredCopy)) return shows;
  for (const FileVerdict& f : files) {
    if (f.patched.kind == EntryKind::File) return shows;
  }
  return S::StrayBase;
}

BackupFinding BackupRuleFor(const FileVerdict& file, FolderShows shows) {
  return file.folderAt == FolderAt::None ? RuleFor(file, shows).backup
                                         : kFolderFindings[static_cast<size_t>(file.folderAt)];
}

bool PatchAgainAdvised(GameVersion target, const std::vector<SwitchFinding>& found) {
  bool same = false;
  for (SwitchFinding f : found) {
    if (f == F::NoStoredCopy || f == F::SameAsPatched) return false;
    same = same || f == F::NotPatchedYet;
  }
  return target == GameVersion::Patched && same;
}

bool PressAgainFinishes(const std::vector<FileStatus>& undosRefused) {
  for (const FileStatus& undo : undosRefused) {
    if (!MayBeHeld(undo)) return false;
  }
  return true;
}

bool Keeps(BackupFinding finding) {
  return finding == B::BaseStored || finding == B::SameVersionStored || finding == B::PatchedStored;
}

bool Fails(BackupFinding finding) { return !Keeps(finding) && finding != B::ToCopy && finding != B::PatchedCopyGone; }

bool TempCopyMayGo(const FileVerdict& file) {
  return file.tempLeft == LeftCopy::Empty || AreTwins(file.temp, file.active);
}

// A base version that is gone stops the backup first. What stands in the
// way is named before the player is asked anything: once it is cleared,
// the backup asks.
BackupStop BackupStopFor(const std::vector<BackupFinding>& found, bool resumes) {
  bool fails = false;
  for (BackupFinding f : found) {
    if (f == B::NoBaseCopy) return BackupStop::NoBaseCopy;
    fails = fails || Fails(f);
  }
  if (!resumes) return BackupStop::None;
  return fails ? BackupStop::InTheWay : BackupStop::Ask;
}

bool BackupResumes(const FolderVerdicts& files, FolderShows shows, bool flagSaysDone) {
  bool toCopy = false, earlier = flagSaysDone;
  for (const FileVerdict& f : files) {
    toCopy = toCopy || BackupRuleFor(f, shows) == B::ToCopy;
    earlier = earlier || f.tempLeft != LeftCopy::None || (f.base.kind == EntryKind::File && !f.base.link) ||
              (f.patched.kind == EntryKind::File && !f.patched.link);
    // A stored or temporary name that cannot be read, or a link, may hide one.
    for (const auto& [name, why] : f.unreadables) earlier = earlier || name != f.entry->ActiveName;
    for (const char* name : f.links) earlier = earlier || name != f.entry->ActiveName;
  }
  return toCopy && earlier;
}

// A patched copy is stored only by a switch to the base version, and that
// needs every file's copies: beside base files, a file alone lost its patched
// copy. Beside patched files, a file alone may have lost its base copy or
// never had one (a backup that stopped short, and the patch after it).
// Files whose names contradict each other say that something else moved
// files here (a reinstall over a cut-off switch): no guess then.
const char* GoneName(const FolderVerdicts& files, const FileVerdict& file, FolderShows shows) {
  return RuleFor(file, shows).patchedCopyLost && !Any(files, Verdict::Contradictory) ? file.entry->PatchCopyName
                                                                                      : nullptr;
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
