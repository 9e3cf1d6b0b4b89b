// Whether a message box fits on the screen, as the system measures it: the
// box's text laid out in the message font (NONCLIENTMETRICS lfMessageFont)
// at the width the box gives it, below a caption and above a row of buttons,
// against the work area of the monitor the box opens on. Windows only.
#pragma once
#include <windows.h>

#include <string>

#include "common/short_text.h"
#include "common/win_handles.h"

class Win32BoxFit : public BoxFit {
 public:
  // owner: the window the box belongs to, whose monitor it opens on; none
  // stands for the primary monitor.
  explicit Win32BoxFit(HWND owner);
  bool Fits(const std::string& text) const override;

 private:
  UniqueFont font_;
  // Pixels the box gives its text across, and at most down.
  int textWidth_ = 0;
  int textRoom_ = 0;
  size_t mostCharacters_ = 0;  // more than the box can ever show
};
