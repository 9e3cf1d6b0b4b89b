// The program's entry: no command line, no environment, no files of its own.
#include <windows.h>

#include <commctrl.h>

#include "app/ablak.h"
#include "app/application.h"

namespace {
// The exe runs elevated, often from a Downloads folder: from here on DLLs come
// from the system folder only, so none planted beside the exe is ever loaded.
// Looked up by name, since Windows 7 without its 2011 update lacks it.
void RestrictDllSearch() {
  using SetDirs = BOOL(WINAPI*)(DWORD);
  FARPROC proc = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  if (proc) reinterpret_cast<SetDirs>(reinterpret_cast<void*>(proc))(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// The common controls library is loaded by name from the system folder rather
// than imported, so that it too is found only there.
void InitStatusBarClass() {
  HMODULE comctl = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!comctl) comctl = LoadLibraryW(L"comctl32.dll");
  if (!comctl) return;
  using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  FARPROC proc = GetProcAddress(comctl, "InitCommonControlsEx");
  if (!proc) return;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
  reinterpret_cast<InitEx>(reinterpret_cast<void*>(proc))(&icc);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RestrictDllSearch();
  InitStatusBarClass();
  Application.Initialize("VONU11 XQ");
  TKvt form;
  if (!form.Create()) return 1;
  Application.Run([&form](MSG& msg) { return form.PreTranslate(msg); });
  // The window is destroyed with the form; whatever ended the loop, the exit code is 0.
  return 0;
}
