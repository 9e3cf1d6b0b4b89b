// Keyboard navigation: the windows are not dialogs, so Tab, the arrow keys,
// Enter and Esc are handled here, in the tab order the layout table gives, and
// the focus is given back to the control that had it when the window is
// activated again.
#include "app/ablak.h"

#include <vector>

#include "app/ablak_style.h"
#include "app/application.h"
#include "app/operation_pump.h"

namespace {
bool Reachable(HWND window) {
  return VisibleAndEnabled(window) && (GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP);
}
}  // namespace

// The first-run panel, where shown, covers everything else: Tab moves among
// its controls; otherwise among the main window's.
bool TKvt::MoveFocus(bool backward) {
  const Parent face = IsWindowVisible(Panel) ? Parent::InPanel : Parent::Main;
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

// Enter presses the focused push button, or else the face's default one:
// OK on the first-run face, "Alkalmaz" on the version choice.
void TKvt::PressEnter(HWND focus) {
  if (focus == Boff) Clicked(Boff);
  else Clicked(IsWindowVisible(Panel) ? Bok : Bstart);
}

// Esc leaves as "Kilépés" does, or as the close box does on the version
// choice; never while an operation runs.
void TKvt::PressEscape() {
  if (OperationPump::Current()) return;
  if (IsWindowVisible(Panel)) Clicked(Boff);
  else Application.Terminate();
}

bool TKvt::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !handle_ || (msg.hwnd != handle_ && !IsChild(handle_, msg.hwnd))) return false;
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
      // A key held down repeats; only its first press presses a button, so
      // that a box closed with Enter does not start the operation again.
      if (!(msg.lParam & (1L << 30))) PressEnter(msg.hwnd);
      return true;
    case VK_ESCAPE:
      PressEscape();
      return true;
  }
  return false;
}

// WM_ACTIVATE: the focused control is noted when the window loses the
// activation and gets the focus back when it regains it. False leaves the
// message to the default handling (which focuses the window itself).
bool TKvt::Activated(WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(handle_, focus)) lastFocus_ = focus;
    return false;
  }
  if (HIWORD(wParam) || !VisibleAndEnabled(lastFocus_)) return false;
  SetFocus(lastFocus_);
  return true;
}
