#include "app/application.h"

#include <stdexcept>
#include <vector>

#include "app/error_text.h"
#include "common/utf.h"

TApplication Application;

namespace {
const wchar_t kAppClass[] = L"VonuXqApplication";

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM list) {
  if (IsWindowVisible(window) && IsWindowEnabled(window))
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// Disables the program's visible windows for the life of a message box.
class ProgramDisabled {
 public:
  ProgramDisabled() {
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow,
                      reinterpret_cast<LPARAM>(&windows_));
    for (HWND window : windows_) EnableWindow(window, FALSE);
  }
  ~ProgramDisabled() {
    for (HWND window : windows_) EnableWindow(window, TRUE);
  }
  ProgramDisabled(const ProgramDisabled&) = delete;
  ProgramDisabled& operator=(const ProgramDisabled&) = delete;

 private:
  std::vector<HWND> windows_;
};
}  // namespace

void TApplication::Initialize(const std::string& title) {
  title_ = title;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kAppClass;
  RegisterClassExW(&wc);
  // Never shown: it owns the message boxes so that none of them belongs to the
  // main window, which they disable.
  handle_ = CreateWindowExW(WS_EX_TOOLWINDOW, kAppClass, Widen(title).c_str(), WS_POPUP, 0, 0, 0, 0,
                            nullptr, nullptr, wc.hInstance, nullptr);
}

int TApplication::ShowMessage(const std::string& text, const std::string& caption, UINT flags) {
  ProgramDisabled disabled;
  return MessageBoxW(handle_, Widen(text).c_str(), Widen(caption).c_str(), flags);
}

void TApplication::ShowException(const std::exception& error) {
  ShowMessage(ErrorBoxText(error.what()), title_, MB_OK | MB_ICONSTOP);
}

void TApplication::Guard(const std::function<void()>& action) noexcept {
  try {
    try {
      action();
    } catch (const std::exception& error) {
      ShowException(error);
    } catch (...) {
      ShowException(std::runtime_error("Unexpected error"));
    }
  } catch (...) {
    // Even the report failed (out of memory): the program runs on regardless.
  }
}

int TApplication::Run(const std::function<bool(MSG&)>& preTranslate) {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (preTranslate && preTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
