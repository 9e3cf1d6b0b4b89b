// The program's entry: no command line, no environment, no files of its own.
#include <windows.h>

#include <commctrl.h>

#include "app/ablak.h"
#include "app/application.h"
#include "app/single_instance.h"
#include "fileset/file_ops_win32.h"

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

const char kNoWindowText[] = "A program ablaka nem hozhat\xC3\xB3 l\xC3\xA9tre: ";
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RestrictDllSearch();
  const SingleInstance instance;
  if (instance.OtherRunning()) {
    // The folder and the registry are left to the copy already running.
    SingleInstance::BringOtherToFront();
    return 0;
  }
  InitStatusBarClass();
  Application.Initialize("VONU11 XQ");
  TKvt form;
  if (!form.Create()) {
    if (form.CreateError() != ERROR_SUCCESS) {
      Application.ShowMessage(std::string(kNoWindowText) + SystemErrorText(form.CreateError()), Application.Title(),
                              MB_OK | MB_ICONSTOP);
    }
    return 1;
  }
  Application.SetMainWindow(form.Handle());
  Application.Run([&form](const MSG& msg) { return form.PreTranslate(msg); });
  // The window is destroyed with the form; whatever ended the loop, the exit code is 0.
  return 0;
}
