// One copy of the tool at a time on the machine: the game folder and the flag
// are shared by every user, and two copies working on them at once would each
// report on files the other was moving.
#pragma once
#include <windows.h>

#include "common/win_handles.h"

// A private namespace's handle, closed (not destroyed: another copy may be
// using it) when the owner goes.
class PrivateNamespace {
 public:
  PrivateNamespace() = default;
  ~PrivateNamespace() {
    using Close = BOOLEAN(WINAPI*)(HANDLE, ULONG);
    const auto close = reinterpret_cast<Close>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "ClosePrivateNamespace")));
    if (handle_ && close) close(handle_, 0);
  }
  PrivateNamespace(const PrivateNamespace&) = delete;
  PrivateNamespace& operator=(const PrivateNamespace&) = delete;
  PrivateNamespace& operator=(HANDLE handle) {
    handle_ = handle;
    return *this;
  }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HANDLE handle_ = nullptr;
};

class SingleInstance {
 public:
  // Claims the machine's instance mutex, in a namespace only administrators
  // can enter where Windows has one; no other account may open it. Owned
  // until this object goes.
  SingleInstance();
  // Another copy owns it. When the mutex cannot be had, or outside the
  // namespace an account that is no administrator made the name, this copy
  // runs: refusing to start would be worse than the rare double start.
  bool OtherRunning() const { return otherRunning_; }
  // Brings the other copy's window (or its message box) to the front, waiting
  // a moment for a copy that is still starting. False when no window of it
  // came: it runs for another user, is ending, or the name is another
  // program's.
  static bool BringOtherToFront();

 private:
  // Closed after the mutex: the namespace stays while its name is in use.
  PrivateNamespace namespace_;
  UniqueHandle mutex_;
  bool otherRunning_ = false;
};
