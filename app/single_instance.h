// One copy of the tool at a time on the machine: the game folder and the flag
// are shared by every user, and two copies working on them at once would each
// report on files the other was moving.
#pragma once
#include <windows.h>

#include "common/system_library_win32.h"
#include "common/win_handles.h"

namespace win_handle_traits {
// A private namespace's handle is closed, not destroyed: another copy may be
// using it.
struct PrivateNamespace {
  using Type = HANDLE;
  static bool Valid(HANDLE h) { return h != nullptr; }
  static bool Free(HANDLE h) {
    using Close = BOOLEAN(WINAPI*)(HANDLE, ULONG);
    const auto close = SystemFunction<Close>(GetModuleHandleW(L"kernel32.dll"), "ClosePrivateNamespace");
    return close && close(h, 0);
  }
};
}  // namespace win_handle_traits
using PrivateNamespace = UniqueOwner<win_handle_traits::PrivateNamespace>;

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
