// The application: its title, the owner of its message boxes, the message loop
// and the report of errors that leave a handler.
#pragma once
#include <windows.h>

#include <exception>
#include <string>

#include "common/texts.h"

class TApplication {
 public:
  // Sets the title and makes the hidden window that owns the message boxes
  // shown before the main window exists.
  void Initialize(const std::string& title);
  const std::string& Title() const { return title_; }
  // From here on message boxes belong to the main window, so that closing
  // one gives the activation back to it.
  void SetMainWindow(HWND window) { main_ = window; }

  // A message box modal for the whole program: every visible window of the
  // program is disabled while it is up. flags as for MessageBoxW. Over-long
  // pieces of the text are shortened so that the box fits on the screen.
  int ShowMessage(const std::string& text, const std::string& caption, UINT flags);
  // The error box for an error that left a handler, told by its what() (by
  // kUnexpectedError when it is no std::exception); the program runs on.
  void ShowError(const char* message) noexcept;
  // Runs action; an error it raises is shown in the error box instead of
  // travelling on. Every window procedure runs its work through this.
  template <class Action>
  void Guard(Action&& action) noexcept {
    try {
      action();
    } catch (const std::exception& error) {
      ShowError(error.what());
    } catch (...) {
      ShowError(kUnexpectedError);
    }
  }

  // Asks the message loop to end once the current handler has returned.
  void Terminate() { PostQuitMessage(0); }
  // preTranslate(msg) may take a message (keyboard navigation) before dispatch.
  template <class PreTranslate>
  int Run(PreTranslate&& preTranslate) {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      bool taken = false;
      Guard([&] { taken = preTranslate(msg); });
      if (taken) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
  }

 private:
  std::string title_;
  HWND hidden_ = nullptr;
  HWND main_ = nullptr;
};

extern TApplication Application;
