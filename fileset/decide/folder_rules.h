// The one table from what the Game folder shows to what each operation does
// with each file and how it ends: the start's choice of face, the version
// switch and the backup all read it, so that no two of them judge one folder
// two ways. The switch and the backup carry out what it says.
#pragma once
#include <vector>

#include "fileset/decide/file_verdict.h"

enum class GameVersion { Base, Patched };

// What the folder as a whole shows about the versions, from the files that
// tell: a file of the same version as its stored copy tells nothing alone
// (the patch may leave it alone), one whose stored copy differs does.
enum class FolderShows {
  NothingStored,  // no stored copy at all: the backup was never made, or all of it is gone
  BackupOnly,     // only stored base copies of the active files' version: the patch is not installed
  PatchedSide,    // some stored base copy differs from its file: the patched version is active
  BaseSide,       // some stored patched copy differs from its file: the base version is active
  PatchOverBase,  // only stored patched copies of the active files' version: the patch was
                  // installed over the active base version, whose base versions are gone
  BothActive,     // stored copies that say the base version is active beside ones that say the
                  // patched is: a stored copy renamed by hand, or a patch cut off over a mixed folder
  SwitchCutOff,   // a switch cut off midway, or files of both stored copies' versions
  StrayBase,      // stored base copies of another size beside files with nothing stored, where
                  // the flag was never set and no switch was made: a copy left from an older
                  // install, or a backup cut off and the patch after it; only the backup sees it
  Unreadable,     // some name cannot be read; only the switch sees it
};
// As the switch sees the folder.
FolderShows WhatFolderShows(const FolderVerdicts& files);
// As the backup and the start see it, from the names they can read: they
// know whether the flag says the backup was made.
FolderShows WhatFolderShows(const FolderVerdicts& files, bool flagSaysDone);

// What the switch does with one file, and why the box names it.
enum class SwitchMove {
  Stay,     // nothing to rename
  Swap,     // the active file to its stored name, then the wanted copy to the active name
  BringIn,  // the wanted copy to the active name (the other half was done)
  Refuse,   // no rename of any file
};

enum class SwitchFinding {
  None,
  Unreadable,       // the system could not check `name`: status
  Linked,           // a junction or symbolic link holds `name`
  FolderInTheWay,   // `name` is to be taken but a folder holds it
  Unsettled,        // the names do not tell where the versions are: verdict, kinds
  Empty,            // one of its names holds an empty file: empty
  SidesDisagree,    // its stored copy says one version was active, other files' the other: verdict
  NotBackedUp,      // nothing stored, and no switch was ever made: the backup is not whole
  NoBaseCopy,       // nothing stored beside files that show the patch: no base copy, version unknown
  BaseOverwritten,  // the patch was installed over its active base version: that is gone
  PatchedCopyGone,  // its stored patched copy (mrvupd) is gone; the base version is active
  NotPatchedYet,    // the version of its stored base copy: left active
  SameAsPatched,    // the version of its stored patched copy: left active (left alone, or patched over base)
  NoStoredCopy,     // nothing stored: left active, whichever version it is
};

enum class SwitchKind {
  Applied,            // the target version is active; files may note what was seen
  BaseAlreadyActive,  // the patch is not installed; the base files are active
  PatchedAlreadyActive,  // the patch was installed over the base files: it is active, they are gone
  NotReady,           // folder.state says why: nothing touched
  Unreadable,         // some names could not be checked: files
  PatchNotInstalled,  // every active file is of its backup's version; patched asked for
  Refused,            // the renames cannot all be made: files
  NotCutOff,          // stored copies disagree, and the player did not say a switch was cut off: files
  Undone,             // a rename failed and the ones before it are undone
  Stranded,           // a rename failed and some undos too
};

struct SwitchRule {
  SwitchMove move = SwitchMove::Stay;
  SwitchFinding finding = SwitchFinding::None;
};

// After a switch to the patched version that left files of their base
// copy's size, whether the box advises reinstalling the patch now: only
// where no file is left of unknown version or of its patched copy's, for a
// reinstall overwrites every active file.
bool PatchAgainAdvised(GameVersion target, const std::vector<SwitchFinding>& found);

// After a rename failed and some undos too, whether pressing again finishes
// the switch: where every undo was refused only because something held the
// file.
bool PressAgainFinishes(const std::vector<FileStatus>& undosRefused);

// What the backup does with one file.
enum class BackupFinding {
  ToCopy,           // nothing stored yet: to be copied
  BaseStored,       // its base version is under a stored name already
  SameVersionStored,  // stored already: the stored base copy is of the active file's version
  PatchedStored,    // the base version is active, the patched one stored
  PatchedCopyGone,  // the base version is active, its stored patched copy is gone: nothing to copy
  NoBaseCopy,       // nothing stored as base, and the folder shows the patch: not copied as base
  SourceMissing,    // no active file to copy
  SourceIsFolder,   // a folder holds the active name
  StoredIsFolder,   // a folder holds the stored base name
  Unsettled,        // the names contradict each other: kinds
  TempInTheWay,     // something other than a file holds the temporary name
  Unreadable,       // the system could not check a name: status
  Linked,           // a junction or symbolic link holds one of its names, or its temporary name
  Empty,            // one of its names holds an empty file: empty
};

// One cell of the table: a file's verdict on one side of the folder.
struct FileRule {
  SwitchRule toBase, toPatched;
  const SwitchRule& To(GameVersion target) const { return target == GameVersion::Base ? toBase : toPatched; }
  BackupFinding backup = BackupFinding::ToCopy;
  // Nothing stored, and the rest of the folder shows that its patched copy
  // is what it lost.
  bool patchedCopyLost = false;
};
const FileRule& RuleFor(const FileVerdict& file, FolderShows shows);

// What a side of the folder means for an operation as a whole.
struct SideRule {
  FolderShows shows = FolderShows::NothingStored;
  // How a switch that no file refuses ends: where every stored copy is of its
  // active file's version, nothing is renamed, and the side says which
  // version is active.
  SwitchKind toBase = SwitchKind::Applied, toPatched = SwitchKind::Applied;
  SwitchKind EndOf(GameVersion target) const { return target == GameVersion::Base ? toBase : toPatched; }
  bool showsPatch = false;  // some file shows the patch or a switch
  // The switch asks the player before it moves anything: stored copies
  // disagree on which version is active, which a switch whose undo was cut
  // off leaves, and a stored copy renamed by hand too. There, whichever
  // version is chosen, some file's copy says the other, so something moves.
  bool asksFirst = false;
  SwitchKind refused = SwitchKind::Refused;  // a switch that some file refuses
  bool namesDates = true;   // the box names the files judged by their size alone
};
const SideRule& RuleFor(FolderShows shows);

BackupFinding BackupRuleFor(const FileVerdict& file, FolderShows shows);

// A base version kept: stored already, or active beside its stored patched copy.
bool Keeps(BackupFinding finding);
// A file the backup cannot store as it stands: something is in the way, or
// its base version is not here.
bool Fails(BackupFinding finding);

// Whether a killed run's temporary copy may be removed before the file is
// copied again: only where it holds nothing or what the active file holds
// (its twin: a copy carries its source's date). Any other may be the only
// copy of an earlier version: it is kept, and the file is not copied.
bool TempCopyMayGo(const FileVerdict& file);

// What stops the backup before its first copy.
enum class BackupStop {
  None,        // it copies what is to copy
  NoBaseCopy,  // some base version is gone: it can only come back from outside
  InTheWay,    // it resumes an earlier backup and something stands in the way: named before the player is asked
  Ask,         // it resumes an earlier backup: the player is asked first what the files to copy hold now
};
BackupStop BackupStopFor(const std::vector<BackupFinding>& found, bool resumes);

// A backup was made once, or began: the flag says so, a killed one left a
// temporary copy, or some base copy is stored; and some file is still to
// copy. The files still to copy may hold the patch by now, which the folder
// cannot show: the backup asks before it copies them.
bool BackupResumes(const FolderVerdicts& files, FolderShows shows, bool flagSaysDone);

// The stored name that a file with nothing stored has lost, as far as the
// rest of the folder shows it; nullptr where it shows nothing.
const char* GoneName(const FolderVerdicts& files, const FileVerdict& file, FolderShows shows);

// The start's face: the first-run face where some file has nothing stored
// and no switch was made. With the flag at "1", a file with nothing stored
// beside stored ones, where nothing shows the patch; without it, any file
// without a stored copy, as long as no patched copy is stored. Where gameDir is not usable or the folder is missing, the
// flag alone decides, and the operations say why themselves.
bool BackupNeeded(FileOps& ops, const std::string& gameDir, bool flagSaysDone);
