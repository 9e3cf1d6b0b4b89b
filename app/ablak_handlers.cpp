// The window's four handlers: FormCreate chooses the face, the buttons run
// the operations and end the program; a click reaches them through Clicked.
#include <exception>

#include "app/ablak.h"
#include "app/ablak_style.h"
#include "app/application.h"
#include "app/operation_pump.h"
#include "common/texts.h"
#include "fileset/act/first_run_backup.h"
#include "fileset/act/patient_file_ops.h"
#include "fileset/act/version_switch.h"
#include "fileset/decide/file_set.h"
#include "fileset/decide/file_verdict.h"
#include "fileset/system/file_ops_win32.h"
#include "fileset/system/pc_watch_win32.h"
#include "fileset/system/retry_clock_win32.h"
#include "fileset/words/outcome_text.h"
#include "fileset/words/time_zone.h"
#include "gauge/gauge_host_win32.h"
#include "gauge/gauges.h"
#include "resources/resource_ids.h"
#include "settings/registry_win32.h"
#include "settings/settings_store.h"

namespace {
// The game's install directory followed by "\Game\": set once by FormCreate's
// reads and read by both operations.
std::string GameDir;

void KeepWindowPainted() {
  if (OperationPump* pump = OperationPump::Current()) pump->KeepPainted();
}

// The backup's progress goes straight to the gauge, which paints each change
// at once; between changes the window's pump keeps the rest painted.
class GaugeProgress : public ProgressSink {
 public:
  explicit GaugeProgress(TGauge& gauge) : gauge_(gauge) {}
  void SetProgress(int32_t value) override {
    // The copies' safety does not depend on the picture: a gauge that cannot
    // be painted (no GDI resources left) must not end the backup.
    try {
      gauge_.SetProgress(value);
    } catch (...) {
    }
  }
  void StillWorking() override { KeepWindowPainted(); }

 private:
  TGauge& gauge_;
};

// Screen readers hear the gauge as busy while the backup works, and not
// while one of its questions waits for the player.
class GaugeBusy {
 public:
  explicit GaugeBusy(GaugeHostWin32& host) : host_(host) { host_.SetBusy(true); }
  ~GaugeBusy() { host_.SetBusy(false); }
  GaugeBusy(const GaugeBusy&) = delete;
  GaugeBusy& operator=(const GaugeBusy&) = delete;

 private:
  GaugeHostWin32& host_;
};

// The game folder as the operations reach it: a rename or removal that meets
// a scanner's brief look at a file waits it out, the window painting meanwhile.
struct GameFileOps {
  Win32FileOps system;
  Win32RetryClock clock;
  PatientFileOps patient{system, clock, KeepWindowPainted};
  Win32PcWatch pc;
};

// An operation's box, shown once the input queued meanwhile is thrown away.
int ShowOutcome(const std::string& text, const std::string& caption, UINT flags) {
  if (OperationPump* running = OperationPump::Current()) running->DropQueuedInput();
  return Application.ShowMessage(text, caption, flags);
}

// An operation's question to the player, with No as the default button.
bool AnsweredYes(const std::string& question) {
  return ShowOutcome(question, Application.Title(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// The box that ends an operation; after a success the program ends too.
// Returns whether it succeeded.
bool ShowFinalBox(bool succeeded, const std::string& text, const std::string& successTitle) {
  if (succeeded) {
    ShowOutcome(text, successTitle, MB_OK | MB_ICONINFORMATION);
    Application.Terminate();
    return true;
  }
  ShowOutcome(text, Application.Title(), MB_OK | MB_ICONSTOP);
  return false;
}
}  // namespace

void TKvt::ReadStart() {
  // The picture first: the reads look up native calls, which waits while
  // the common controls are loading; decoding does not.
  Ibg.LoadResource(IDR_BACKGROUND);
  try {
    Win32MachineRoot root;
    TRegistry registry(root);
    GameDir = MakeGameDir(ReadGameFolder(registry));
    // A backup that is incomplete or gone (a copy that failed, a scanner's
    // quarantine, the game reinstalled) is asked for again, whatever the flag
    // says, as long as no file shows a switch or the patch; one whose every
    // copy is there is not, though the tool's key was deleted.
    Win32FileOps files;
    backupMadeOnce_ = !ReadOrCreateFlag(registry);
    backupNeeded_ = BackupNeeded(files, GameDir, backupMadeOnce_);
  } catch (...) {
    startError_ = std::current_exception();
  }
}

void TKvt::FormCreate() {
  if (startError_) std::rethrow_exception(startError_);
  ShowWindow(Panel, backupNeeded_ ? SW_SHOW : SW_HIDE);
  // The panel covers the version choice, but a click sent by another program
  // would still reach it: the version switch must not run before the backup.
  for (HWND hidden : {RBdef, RBupd, Bstart}) EnableWindow(hidden, !backupNeeded_);
}

void TKvt::Clicked(HWND control) {
  // Nothing starts while an operation and its box are under way; a click sent
  // by another program to a hidden or disabled button does nothing.
  if (OperationPump::Current() || !VisibleAndEnabled(control)) return;
  if (control == Bstart || control == Bok) {
    // Held for the operation and every box it shows, an error box included.
    OperationPump pump;
    Application.Guard([&] {
      try {
        control == Bok ? BokClick() : BstartClick();
      } catch (...) {
        pump.DropQueuedInput();
        throw;
      }
    });
    if (pump.CloseHeld()) Application.Terminate();
  } else if (control == Boff) {
    BoffClick();
  } else if (control == RBdef || control == RBupd) {
    Check(control);
  }
}

void TKvt::BoffClick() { Application.Terminate(); }

// Nothing half-made was kept and the flag still says "0": the user may try again or leave.
void TKvt::ShowBackupFaceAgain() {
  PB->SetVisible(false);
  PB->SetProgress(0);
  ShowWindow(Bok, SW_SHOW);
  ShowWindow(Boff, SW_SHOW);
  SetFocus(Bok);
}

// The folder cannot show whether the patch came since an earlier backup
// stopped short: the player is asked before anything is copied, and only a
// yes, never the default, stores the files as base.
ResumeQuestion TKvt::AskBeforeResuming() {
  ResumeQuestion resume;
  resume.flagSaysDone = backupMadeOnce_;
  resume.holdsBase = [this](const BackupOutcome& found) {
    gaugeHost_->SetBusy(false);
    const bool yes = AnsweredYes(ResumeQuestionText(found));
    gaugeHost_->SetBusy(true);
    return yes;
  };
  return resume;
}

void TKvt::BokClick() {
  ShowWindow(Bok, SW_HIDE);
  ShowWindow(Boff, SW_HIDE);
  PB->SetVisible(true);
  SYSTEMTIME now{};
  GetSystemTime(&now);
  const uint32_t seed = ClockSeed(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
  GameFileOps files;
  GaugeProgress progress(*PB);
  BackupOutcome outcome;
  try {
    const ResumeQuestion resume = AskBeforeResuming();
    GaugeBusy busy(*gaugeHost_);
    outcome = FirstRunBackup(files.patient, files.pc, GameDir, progress, seed, [] {
      Win32MachineRoot root;
      MarkBackupDone(root);
    }, resume);
  } catch (...) {
    // The flag could not be written after the copies: the settings store's
    // own error box, then the face to try again, as after any other failure.
    const std::exception_ptr error = std::current_exception();
    if (OperationPump* running = OperationPump::Current()) running->DropQueuedInput();
    Application.Guard([&] { std::rethrow_exception(error); });
    ShowBackupFaceAgain();
    return;
  }
  const std::string text = BackupText(outcome, SystemTimeZone());
  if (!ShowFinalBox(outcome.Succeeded(), text, kBackedUpTitle)) ShowBackupFaceAgain();
}

void TKvt::BstartClick() {
  EnableWindow(Bstart, FALSE);
  GameVersion target;
  if (SendMessageW(RBdef, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    target = GameVersion::Base;
  } else if (SendMessageW(RBupd, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    target = GameVersion::Patched;
  } else {
    Application.Terminate();
    return;
  }
  GameFileOps files;
  // Only a yes, never the default, finishes a switch whose stored copies
  // disagree: a copy renamed by hand looks the same.
  const SwitchOutcome outcome = VersionSwitch(files.patient, files.pc, GameDir, target, [](const SwitchOutcome& found) {
    return AnsweredYes(CutOffQuestionText(found));
  });
  if (ShowFinalBox(outcome.Succeeded(), SwitchText(outcome), kSwitchedTitle)) return;
  // The files are as they were (or the box says where each one stands): the
  // user can close the game and try again.
  EnableWindow(Bstart, TRUE);
  SetFocus(Bstart);
}
