#include "app/single_instance.h"

#include <sddl.h>

#include "app/ablak_style.h"

namespace {
// "Global\": one copy per machine, whichever user started it.
const wchar_t kGlobalName[] = L"Global\\VONU11 XQ instance";
// Everyone may open, wait on and release the mutex, so that a copy started by
// another user finds it rather than being refused it.
const wchar_t kEveryoneMayWait[] = L"D:(A;;0x001F0001;;;WD)";
const wchar_t kTitle[] = L"VONU11 XQ";
// A copy that is still starting shows its window well within this.
constexpr DWORD kWaitForWindowMs = 3000;
constexpr DWORD kPollForWindowMs = 100;

// Null, with the system's error, when the mutex could not be had.
HANDLE ClaimMutex(bool& existed) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  if (ConvertStringSecurityDescriptorToSecurityDescriptorW(kEveryoneMayWait, SDDL_REVISION_1, &descriptor, nullptr))
    attributes.lpSecurityDescriptor = descriptor;
  HANDLE mutex = CreateMutexW(&attributes, FALSE, kGlobalName);
  const DWORD error = GetLastError();
  if (descriptor) LocalFree(descriptor);
  existed = mutex && error == ERROR_ALREADY_EXISTS;
  SetLastError(error);
  return mutex;
}
}  // namespace

SingleInstance::SingleInstance() {
  bool existed = false;
  mutex_.Reset(ClaimMutex(existed));
  otherRunning_ = existed || (!mutex_ && GetLastError() == ERROR_ACCESS_DENIED);
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
