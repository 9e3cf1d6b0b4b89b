#include "app/application.h"

#include <vector>

#include "app/box_fit_win32.h"
#include "app/error_text.h"
#include "common/short_text.h"
#include "common/utf.h"

TApplication Application;

namespace {
const wchar_t kAppClass[] = L"VonuXqApplication";

// The hidden owner must outlive every close request sent to the program's
// top-level windows: without it no box could be shown before the main
// window exists.
LRESULT CALLBACK HiddenOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

// Disables the program's visible windows for the life of a message box. The
// box's owner is left to the box itself, which enables it again before it goes
// away, so that the activation returns to the owner and not to another program.
class ProgramDisabled {
 public:
  explicit ProgramDisabled(HWND owner) : owner_(owner) {
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(this));
    for (HWND window : disabled_) EnableWindow(window, FALSE);
  }
  ~ProgramDisabled() {
    for (HWND window : disabled_) EnableWindow(window, TRUE);
  }
  ProgramDisabled(const ProgramDisabled&) = delete;
  ProgramDisabled& operator=(const ProgramDisabled&) = delete;

 private:
  static BOOL CALLBACK CollectEnabled(HWND window, LPARAM self) {
    auto& disabling = *reinterpret_cast<ProgramDisabled*>(self);
    if (window != disabling.owner_ && IsWindowVisible(window) && IsWindowEnabled(window))
      disabling.disabled_.push_back(window);
    return TRUE;
  }

  HWND owner_;
  std::vector<HWND> disabled_;
};
}  // namespace

void TApplication::Initialize(const std::string& title) {
  title_ = title;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = HiddenOwnerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kAppClass;
  RegisterClassExW(&wc);
  // Never shown: it owns the boxes raised while the main window is made.
  hidden_ = CreateWindowExW(WS_EX_TOOLWINDOW, kAppClass, Widen(title).c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, wc.hInstance, nullptr);
}

int TApplication::ShowMessage(const std::string& text, const std::string& caption, UINT flags) {
  HWND owner = main_ && IsWindow(main_) ? main_ : hidden_;
  if (owner && !IsWindow(owner)) owner = nullptr;
  ProgramDisabled disabled(owner);
  const Win32BoxFit fit(owner);
  return MessageBoxW(owner, Widen(ShortenForBox(text, fit)).c_str(), Widen(ShortenForBox(caption, fit)).c_str(),
                     flags);
}

void TApplication::ShowError(const char* message) noexcept {
  try {
    ShowMessage(ErrorBoxText(message), title_, MB_OK | MB_ICONSTOP);
  } catch (...) {
    // Even the report failed (out of memory): the program runs on regardless.
  }
}
