// The application: its title, the owner of its message boxes, the message loop
// and the report of errors that leave a handler.
#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <string>

class TApplication {
 public:
  // Sets the title and makes the hidden window that owns the message boxes.
  void Initialize(const std::string& title);
  const std::string& Title() const { return title_; }
  HWND Handle() const { return handle_; }

  // A message box modal for the whole program: every visible window of the
  // program is disabled while it is up. flags as for MessageBoxW.
  int ShowMessage(const std::string& text, const std::string& caption, UINT flags);
  // The error box for an error that left a handler; the program runs on.
  void ShowException(const std::exception& error);
  // Runs action; an error it raises is shown in the error box instead of
  // travelling on. Every window procedure calls its handlers through this.
  void Guard(const std::function<void()>& action) noexcept;

  // Asks the message loop to end once the current handler has returned.
  void Terminate() { PostQuitMessage(0); }
  // preTranslate may take a message (keyboard navigation) before dispatch.
  int Run(const std::function<bool(MSG&)>& preTranslate);

 private:
  std::string title_;
  HWND handle_ = nullptr;
};

extern TApplication Application;
