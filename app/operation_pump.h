// The window's side of a long operation (the first-run backup, the version
// switch), which runs to its end on the window's own thread.
//
// One operation, from the click to the box:
//
//   BN_CLICKED on Bstart or Bok, or Enter (ablak_keys.cpp)
//   -> TKvt::Clicked (ablak_handlers.cpp): does nothing while an OperationPump exists;
//      else makes one on its stack and runs the handler inside Application.Guard
//   -> BstartClick / BokClick (ablak_handlers.cpp), on the window's thread:
//      GameFileOps wraps Win32FileOps in PatientFileOps, which retries a rename
//      or removal that met a brief hold (a scanner's look at a fresh file)
//   -> VersionSwitch / FirstRunBackup (fileset/): look at the folder, act, and
//      return an outcome; no text, no window
//        renames run on the window's thread; a retry waits in Win32RetryClock
//        slices of 50 ms and calls KeepPainted between them
//        CopyWhole (file_copy.cpp) reads ahead on one CopyThread and flushes on
//        another; the window's thread writes each chunk and, between chunks and
//        while it waits for those threads, calls ProgressSink::StillWorking,
//        which is KeepPainted; the gauge paints itself on each step
//   -> SwitchText / BackupText (fileset/words/switch_text.cpp, backup_text.cpp): the box's Hungarian
//   -> ShowOutcome: DropQueuedInput throws away the clicks and keys that
//      arrived meanwhile, keeping Alt+F4 and the close box as a held close;
//      then Application.ShowMessage, the program's windows disabled while the
//      box is up (an error thrown out of the handler gets the same in Clicked)
//   -> success: Application.Terminate; failure: the face is given back
//   <- back in Clicked: a close held meanwhile (CloseHeld) is carried out
//
// Close requests: WM_CLOSE during the operation or its box calls HoldClose;
// WM_QUERYENDSESSION is refused while the operation still works (Working()).
// Errors: whatever a handler throws (the settings store's errors) is caught by
// Application.Guard in Clicked and shown in the error box; BokClick catches
// the flag write's itself so as to give the face back. Nothing thrown crosses
// a window procedure (each runs through Guard) or leaves a copy thread (its
// body hands the error over as the copy's failure).
//
// While one runs, the window keeps painting, and nothing the user does acts on
// it or on its result: clicks and keys that arrive meanwhile are thrown away
// before the result box is shown, and a close request is held until that box
// has been answered.
#pragma once
#include <windows.h>

class OperationPump {
 public:
  // The window never makes a second one while one runs.
  OperationPump();
  ~OperationPump();
  OperationPump(const OperationPump&) = delete;
  OperationPump& operator=(const OperationPump&) = delete;

  // The operation running now, if any.
  static OperationPump* Current() { return current_; }

  // Called often from inside the operation: answers the messages other
  // programs sent the window (a screen reader's WM_GETOBJECT, so that it
  // hears the gauge's percent of that moment) every few milliseconds, and
  // now and then repaints what needs it, so that the system does not take
  // the window for hung. Only paint messages are taken from the queue; input
  // stays there for DropQueuedInput. What is sent cannot start anything:
  // a click or Enter does nothing while an operation exists (TKvt::Clicked),
  // a close request is held (HoldClose), and ending the session is refused.
  void KeepPainted() noexcept;
  // Before each box of the operation: throws away the keyboard and mouse
  // input queued while it ran, so that none of it answers the box unread.
  // Alt+F4 and a press on the close box among it count as close requests.
  void DropQueuedInput() noexcept;
  // A close request (the close box, Alt+F4, the system menu, a request from
  // another program) arrived: it is carried out once the operation and its
  // box are over.
  void HoldClose() { closeHeld_ = true; }
  // The operation itself still runs (no box of it is up yet).
  bool Working() const { return !answering_; }
  // HoldClose was called during the operation or its box.
  bool CloseHeld() const { return closeHeld_; }

 private:
  static OperationPump* current_;
  ULONGLONG lastLook_ = 0;
  ULONGLONG lastAnswer_ = 0;
  bool closeHeld_ = false;
  bool answering_ = false;
};
