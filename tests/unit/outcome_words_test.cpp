// Every outcome the switch and the backup can report has words: each kind,
// each finding, each state of the folder's check and each kind of failure
// in turn. Its box names the file it is about, and reads whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fileset/decide/file_set.h"
#include "fileset/words/outcome_text.h"
#include "support/box_text_check.h"
#include "support/quiet.h"

namespace {

const std::string kDir = MakeGameDir("C:\\VONU11");
const FileSetEntry& kExe = FileSet.back();

// A failure the system has no words for: the tool's stand-in words are read.
FileStatus Refused(FailureKind kind) { return FileStatus::Failure("", kind, 5); }

const FailureKind kKinds[] = {FailureKind::Other,       FailureKind::InUse,        FailureKind::AccessDenied,
                              FailureKind::ReadOnlyDrive, FailureKind::NameTooLong, FailureKind::FolderDenied, FailureKind::FileDenied,
                              FailureKind::DiskFull,    FailureKind::Changed,      FailureKind::StillThere,
                              FailureKind::Unexpected};

std::vector<FolderCheck> EveryCheck() {
  using S = FolderCheck::State;
  std::vector<FolderCheck> checks;
  const auto add = [&](S state, auto&& set) {
    FolderCheck c;
    c.state = state;
    c.why = Refused(FailureKind::Other);
    set(c);
    checks.push_back(c);
  };
  for (GameDirProblem p : {GameDirProblem::NotRead, GameDirProblem::NotRegistered, GameDirProblem::NotAbsolute})
    add(S::DirUnusable, [&](FolderCheck& c) { c.dirProblem = p; });
  add(S::Missing, [](FolderCheck&) {});
  add(S::Unreachable, [](FolderCheck&) {});
  add(S::Obstructed, [](FolderCheck& c) { c.obstacle.kind = Obstacle::Kind::GameRunning, c.obstacle.exe = "vonu.exe"; });
  add(S::Obstructed, [](FolderCheck& c) {
    c.obstacle.kind = Obstacle::Kind::PrivateCopies, c.obstacle.folder = "C:\\VirtualStore", c.obstacle.names = {"vonu.exe"};
  });
  for (LinkDoubt d : {LinkDoubt::MadeByOther, LinkDoubt::AttributesUnread, LinkDoubt::OwnerUnread}) {
    for (const char* target : {"", "D:\\elsewhere"})
      add(S::LinkOnTheWay, [&](FolderCheck& c) { c.link.link = "C:\\VONU11", c.link.target = target, c.link.doubt = d; });
  }
  for (auto step : {CheckNotRun::Step::RunningGame, CheckNotRun::Step::HoldFolder, CheckNotRun::Step::LinkWalk,
                    CheckNotRun::Step::Profiles})
    add(S::NotChecked, [&](FolderCheck& c) { c.notRun.step = step, c.notRun.why = Refused(FailureKind::Other); });
  add(S::NamesByCase, [](FolderCheck& c) { c.twinned = {"DATA0.BH", "data0.bh"}; });
  return checks;
}

void ExpectReadable(const std::string& text, const std::string& names) {
  EXPECT_FALSE(text.empty());
  EXPECT_NE(text.find(names), std::string::npos) << text;
  EXPECT_EQ(BoxTextProblem(text), "") << text;
}

TEST(OutcomeWords, EveryStateOfTheFolderSaysWhatToDo) {
  for (const FolderCheck& check : EveryCheck()) {
    SwitchOutcome switched;
    switched.kind = SwitchKind::NotReady, switched.folder = check, switched.gameDir = kDir;
    BackupOutcome backedUp;
    backedUp.kind = BackupKind::NotReady, backedUp.folder = check, backedUp.gameDir = kDir;
    // Each ends with what to do.
    for (const std::string& text : {SwitchText(switched), BackupText(backedUp, Utc())}) {
      ExpectReadable(text, "");
      EXPECT_EQ(text.back(), '!') << text;
    }
  }
}

TEST(OutcomeWords, EveryFindingOfTheSwitchNamesItsFile) {
  using F = SwitchFinding;
  const struct {
    SwitchKind kind;
    std::vector<F> findings;
  } kinds[] = {
      {SwitchKind::Refused,
       {F::Linked, F::FolderInTheWay, F::Unsettled, F::Empty, F::NotBackedUp, F::NoBaseCopy, F::BaseOverwritten,
        F::PatchedCopyGone}},
      {SwitchKind::NotCutOff, {F::SidesDisagree}},
      {SwitchKind::Applied,
       {F::NotPatchedYet, F::SameAsPatched, F::NoStoredCopy, F::BaseOverwritten, F::PatchedCopyGone, F::SidesDisagree}},
      {SwitchKind::Unreadable, {F::Unreadable}},
  };
  for (const auto& k : kinds) {
    for (F finding : k.findings) {
      for (GameVersion target : {GameVersion::Base, GameVersion::Patched}) {
        for (LeftCopy tempLeft : {LeftCopy::None, LeftCopy::Empty, LeftCopy::Bytes}) {
          SCOPED_TRACE(static_cast<int>(finding));
          SwitchOutcome o;
          o.kind = k.kind, o.target = target, o.gameDir = kDir;
          SwitchFile f;
          f.what = finding, f.entry = &kExe, f.name = kExe.ActiveName, f.status = Refused(FailureKind::Other);
          f.active.kind = EntryKind::File, f.base.kind = EntryKind::Folder;
          f.gone = tempLeft != LeftCopy::None ? kExe.PatchCopyName : nullptr, f.tempLeft = tempLeft;
          f.empty = {false, true, false};
          o.files = {f};
          o.dateDiffers = {f};
          ExpectReadable(SwitchText(o), tempLeft == LeftCopy::None ? "vonu.exe" : "vonu.exe (");
          if (finding == F::SidesDisagree) ExpectReadable(CutOffQuestionText(o), "vonu.exe");
        }
      }
    }
  }
  // Every refusal at once: one box, each advice once.
  SwitchOutcome all;
  all.kind = SwitchKind::Refused, all.gameDir = kDir;
  for (F finding : kinds[0].findings) {
    SwitchFile f;
    f.what = finding, f.entry = &kExe, f.name = kExe.ActiveName;
    all.files.push_back(f), all.files.push_back(f);
  }
  ExpectReadable(SwitchText(all), "vonu.exe");
  // A rename that failed, undone or stranded, for each kind of failure.
  for (FailureKind kind : kKinds) {
    for (SwitchKind ending : {SwitchKind::Undone, SwitchKind::Stranded}) {
      SwitchOutcome o;
      o.kind = ending, o.gameDir = kDir;
      o.failed = {kExe.ActiveName, kExe.BaseCopyName, Refused(kind)};
      o.stranded = {o.failed, o.failed};
      ExpectReadable(SwitchText(o), "vonu.exe");
    }
  }
}

TEST(OutcomeWords, EveryFindingOfTheBackupNamesItsFile) {
  using B = BackupFinding;
  using D = BackupDone;
  for (auto [finding, done] : std::initializer_list<std::pair<B, D>>{
           {B::SourceMissing, D::Nothing}, {B::SourceIsFolder, D::Nothing}, {B::StoredIsFolder, D::Nothing},
           {B::Unsettled, D::Nothing}, {B::TempInTheWay, D::Nothing}, {B::ToCopy, D::TempLeft}, {B::ToCopy, D::TempKept},
           {B::Unreadable, D::Nothing}, {B::Linked, D::Nothing}, {B::Empty, D::Nothing}, {B::NoBaseCopy, D::Nothing},
           {B::ToCopy, D::MayHoldPatch}}) {
    for (Verdict verdict : {Verdict::PatchedActive, Verdict::SameAsPatchedCopy}) {
      SCOPED_TRACE(static_cast<int>(finding));
      BackupOutcome o;
      o.kind = BackupKind::Failed, o.gameDir = kDir, o.showsPatch = verdict == Verdict::PatchedActive;
      o.stop = finding == B::NoBaseCopy ? BackupStop::NoBaseCopy : BackupStop::None;
      BackupFile f, kept;
      f.what = finding, f.done = done, f.entry = &kExe, f.status = Refused(FailureKind::InUse), f.verdict = verdict;
      if (finding == B::Unreadable) f.unreadables = {{kExe.BaseCopyName, f.status}};
      if (finding == B::Linked) f.links = {kExe.BaseCopyName};
      f.active.kind = EntryKind::File, f.base.kind = EntryKind::Folder;
      f.tempLeft = LeftCopy::Bytes, f.empty = {true, false, false};
      kept.done = D::Copied, kept.entry = &FileSet.front();
      o.files = {f, f, kept};
      ExpectReadable(BackupText(o, Utc()), "vonu.exe");
    }
  }
  // A copy that failed at each of its names, for each kind of failure, its
  // temporary copy removed or left.
  for (FailureKind kind : kKinds) {
    for (CopyStage stage : {CopyStage::Source, CopyStage::Temp, CopyStage::Target}) {
      for (bool removed : {true, false}) {
        BackupOutcome o;
        o.kind = BackupKind::Failed, o.gameDir = kDir;
        BackupFile f;
        f.done = BackupDone::CopyFailed, f.entry = &kExe;
        f.copy.status = Refused(kind), f.copy.stage = stage;
        if (!removed) f.copy.removal = Refused(FailureKind::InUse);
        BackupFile other = f;
        other.copy.status = Refused(kind == FailureKind::InUse ? FailureKind::Other : FailureKind::InUse);
        o.files = {f, other, f};
        ExpectReadable(BackupText(o, Utc()), "vonu.exe");
      }
    }
  }
  BackupOutcome patched;
  patched.kind = BackupKind::AlreadyPatched;
  BackupFile gone;
  gone.what = B::PatchedCopyGone, gone.entry = &kExe, gone.gone = kExe.PatchCopyName;
  patched.files = {gone};
  ExpectReadable(BackupText(patched, Utc()), "vonu.mrvupdexe");
}

}  // namespace
