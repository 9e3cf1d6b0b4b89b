// One copy of the tool at a time in a session: two copies working on the same
// game folder at once would each report on files the other was moving.
#pragma once
#include <windows.h>

#include "common/win_handles.h"

class SingleInstance {
 public:
  // Claims the session's instance mutex; held until this object goes.
  SingleInstance();
  // Another copy already holds it. When the mutex cannot be made at all, this
  // copy runs: refusing to start would be worse than the rare double start.
  bool OtherRunning() const { return otherRunning_; }
  // Brings the other copy's window (or its message box) to the front.
  static void BringOtherToFront();

 private:
  UniqueHandle mutex_;
  bool otherRunning_ = false;
};
