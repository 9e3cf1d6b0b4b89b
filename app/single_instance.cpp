#include "app/single_instance.h"

#include "app/ablak_style.h"

namespace {
// "Local\": one copy per logged-on session, the window's own scope.
const wchar_t kMutexName[] = L"Local\\VONU11 XQ instance";
const wchar_t kTitle[] = L"VONU11 XQ";
}  // namespace

SingleInstance::SingleInstance() : mutex_(CreateMutexW(nullptr, FALSE, kMutexName)) {
  otherRunning_ = mutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
}

void SingleInstance::BringOtherToFront() {
  HWND window = FindWindowW(kFormClass, kTitle);
  if (!window) return;  // still starting, or ending: nothing to bring forward
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  // A message box of the other copy, where one is up, is what wants answering.
  SetForegroundWindow(GetLastActivePopup(window));
}
