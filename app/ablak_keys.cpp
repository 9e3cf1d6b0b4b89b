// Keyboard navigation: the windows are not dialogs, so Tab, the arrow keys and
// Enter are handled here, in the tab order the layout table gives.
#include "app/ablak.h"

#include <vector>

namespace {
bool Reachable(HWND window) {
  return window && IsWindowVisible(window) && IsWindowEnabled(window) &&
         (GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP);
}
}  // namespace

// The first-run panel, where shown, covers everything else: Tab moves among
// its controls; otherwise among the main window's. Of the two radio buttons
// only the checked one is a tab stop.
bool TKvt::MoveFocus(bool backward) {
  const Parent face = IsWindowVisible(Panel) ? Parent::Panel : Parent::Main;
  std::vector<HWND> reachable;
  for (ControlIndex index : TabOrder(face)) {
    HWND* control = Slot(index);
    if (control && Reachable(*control)) reachable.push_back(*control);
  }
  if (reachable.empty()) return true;
  HWND focus = GetFocus();
  size_t at = reachable.size();
  for (size_t i = 0; i < reachable.size(); ++i)
    if (reachable[i] == focus) at = i;
  size_t next;
  if (at == reachable.size()) next = backward ? reachable.size() - 1 : 0;
  else next = (at + (backward ? reachable.size() - 1 : 1)) % reachable.size();
  SetFocus(reachable[next]);
  return true;
}

bool TKvt::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !handle_ || !IsChild(handle_, msg.hwnd)) return false;
  switch (msg.wParam) {
    case VK_TAB:
      return MoveFocus(GetKeyState(VK_SHIFT) < 0);
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
      if (msg.hwnd == RBdef || msg.hwnd == RBupd) {
        HWND other = msg.hwnd == RBdef ? RBupd : RBdef;
        SetFocus(other);
        Check(other);
        return true;
      }
      return false;
    case VK_RETURN:
      if (msg.hwnd == Bstart || msg.hwnd == Bok || msg.hwnd == Boff) {
        SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
        return true;
      }
      return false;
  }
  return false;
}
