#include "fileset/system/retry_clock_win32.h"

#include <windows.h>

#include <algorithm>

uint64_t Win32RetryClock::NowMs() { return GetTickCount64(); }

void Win32RetryClock::Wait(unsigned milliseconds, const std::function<void()>& meanwhile) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    Sleep(static_cast<DWORD>(std::min<ULONGLONG>(end - now, kPaintEveryMs)));
    if (meanwhile) meanwhile();
  }
}
