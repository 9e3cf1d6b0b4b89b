#include "app/single_instance.h"

#include "app/ablak_style.h"

namespace {
// "Global\": one copy per machine, whichever user started it. A system that
// lets this user make no machine-wide names gets the session's.
const wchar_t kGlobalName[] = L"Global\\VONU11 XQ instance";
const wchar_t kSessionName[] = L"Local\\VONU11 XQ instance";
const wchar_t kTitle[] = L"VONU11 XQ";
// A copy that is still starting shows its window well within this.
constexpr DWORD kWaitForWindowMs = 3000;
constexpr DWORD kPollForWindowMs = 100;

HANDLE ClaimMutex(const wchar_t* name, bool& existed) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
  existed = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
  return mutex;
}
}  // namespace

SingleInstance::SingleInstance() {
  bool existed = false;
  mutex_.Reset(ClaimMutex(kGlobalName, existed));
  if (!mutex_ && GetLastError() == ERROR_ACCESS_DENIED) mutex_.Reset(ClaimMutex(kSessionName, existed));
  otherRunning_ = existed;
}

bool SingleInstance::BringOtherToFront() {
  HWND window = FindWindowW(kFormClass, kTitle);
  for (DWORD waited = 0; !window && waited < kWaitForWindowMs; waited += kPollForWindowMs) {
    Sleep(kPollForWindowMs);
    window = FindWindowW(kFormClass, kTitle);
  }
  if (!window) return false;
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  // A message box of the other copy, where one is up, is what wants answering.
  SetForegroundWindow(GetLastActivePopup(window));
  return true;
}
