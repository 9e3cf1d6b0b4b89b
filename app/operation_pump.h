// The window's side of a long operation (the first-run backup, the version
// switch), which runs to its end on the window's own thread.
//
// While one runs, the window keeps painting, and nothing the user does acts on
// it or on its result: clicks and keys that arrive meanwhile are thrown away
// before the result box is shown, and a close request is held until that box
// has been answered.
#pragma once
#include <windows.h>

class OperationPump {
 public:
  OperationPump();
  // Carries out a close request held during the operation and its box.
  ~OperationPump();
  OperationPump(const OperationPump&) = delete;
  OperationPump& operator=(const OperationPump&) = delete;

  // The operation running now, if any.
  static OperationPump* Current() { return current_; }

  // Called often from inside the operation: now and then repaints what needs
  // it, so that the system does not take the window for hung. Only paint
  // messages are taken from the queue; messages sent by other programs are
  // answered meanwhile, as every look at the queue does.
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

 private:
  static OperationPump* current_;
  OperationPump* outer_;
  ULONGLONG lastLook_ = 0;
  bool closeHeld_ = false;
  bool answering_ = false;
};
