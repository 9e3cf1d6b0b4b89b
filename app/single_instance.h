// One copy of the tool at a time on the machine: the game folder and the flag
// are shared by every user, and two copies working on them at once would each
// report on files the other was moving.
#pragma once
#include <windows.h>

#include "common/win_handles.h"

class SingleInstance {
 public:
  // Claims the machine's instance mutex, made so that every user may open
  // it; held until this object goes. A name that the system refuses to this
  // user was made by another user's copy: it counts as held.
  SingleInstance();
  // Another copy already holds it. When the mutex cannot be made at all, this
  // copy runs: refusing to start would be worse than the rare double start.
  bool OtherRunning() const { return otherRunning_; }
  // Brings the other copy's window (or its message box) to the front, waiting
  // a moment for a copy that is still starting. False when no window of it
  // came: it runs for another user, is ending, or the name is another
  // program's.
  static bool BringOtherToFront();

 private:
  UniqueHandle mutex_;
  bool otherRunning_ = false;
};
