// The program's entry: no command line, no environment, no files of its own.
#include <windows.h>

#include <string>

#include "app/ablak.h"
#include "app/application.h"
#include "app/single_instance.h"
#include "common/system_library_win32.h"
#include "common/texts.h"
#include "fileset/system/win32_calls.h"

namespace {
// The exe runs elevated, often from a Downloads folder: no DLL planted beside
// it or in the current folder may ever be loaded. SetDefaultDllDirectories is
// looked up by name, since Windows 7 without its 2011 update lacks it; there
// the current folder at least leaves the search. The exe's own folder cannot
// be taken out that way, so every library the tool loads itself is loaded by
// its full path in the system folder.
void RestrictDllSearch() {
  using SetDirs = BOOL(WINAPI*)(DWORD);
  const auto setDirs = SystemFunction<SetDirs>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  if (!setDirs || !setDirs(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    SetDllDirectoryW(L"");
  }
}

// From here on this process follows no junction that an account without
// administrator rights made (Windows 10 2004 and later): such a junction on
// the way to the Game folder could steer its copies and renames elsewhere.
// Looked up by name; where Windows lacks it, the folder check looks for such
// links itself.
void DistrustForeignJunctions() {
  constexpr int kProcessRedirectionTrustPolicy = 16;
  constexpr DWORD kEnforceRedirectionTrust = 1;
  using SetPolicy = BOOL(WINAPI*)(int, PVOID, SIZE_T);
  const auto setPolicy = SystemFunction<SetPolicy>(GetModuleHandleW(L"kernel32.dll"), "SetProcessMitigationPolicy");
  if (!setPolicy) return;
  DWORD flags = kEnforceRedirectionTrust;
  setPolicy(kProcessRedirectionTrustPolicy, &flags, sizeof flags);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RestrictDllSearch();
  DistrustForeignJunctions();
  const SingleInstance instance;
  if (instance.OtherRunning()) {
    // The folder and the registry are left to the copy already running; when
    // its window cannot be shown, the user learns why nothing else appears.
    if (!SingleInstance::BringOtherToFront()) {
      Application.Initialize(kProgramTitle);
      Application.ShowMessage(kAlreadyRunning, Application.Title(), MB_OK | MB_ICONINFORMATION);
    }
    return 0;
  }
  TKvt form;
  Application.Initialize(kProgramTitle);
  if (!form.Create()) {
    if (form.CreateError() != ERROR_SUCCESS) {
      std::string why = SystemErrorText(form.CreateError());
      if (why.empty()) why = Filled(kWindowsErrorCode, {std::to_string(form.CreateError())});
      Application.ShowMessage(Filled(kNoWindow, {why}), Application.Title(), MB_OK | MB_ICONSTOP);
    }
    return 1;
  }
  Application.SetMainWindow(form.Handle());
  Application.Run([&form](const MSG& msg) { return form.PreTranslate(msg); });
  // The window is destroyed with the form; whatever ended the loop, the exit code is 0.
  return 0;
}
