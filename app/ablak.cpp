// The main window's procedures: painting, the controls' notifications, and
// the close request.
#include "app/ablak.h"

#include "app/application.h"
#include "app/operation_pump.h"
#include "gauge/gauge_host_win32.h"
#include "gauge/gauges.h"

std::string GameDir;

namespace {
// A control acts only while the user can see and reach it: a click sent by
// another program to a hidden or disabled button does nothing.
bool IsShown(HWND window) { return window && IsWindowVisible(window) && IsWindowEnabled(window); }

// Keeps this in the window's user data from WM_NCCREATE on; nullptr before.
template <class T>
T* Owner(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return self;
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}
}  // namespace

TKvt::TKvt() = default;

TKvt::~TKvt() {
  FinishReading();
  PB.reset();  // leaves the host's stacking order before the host goes
  gaugeHost_.reset();
  if (handle_) DestroyWindow(handle_);
}

void TKvt::PaintBackground() {
  PaintDc dc(handle_);
  const Bounds area = Scaled(ControlIndex::Ibg);
  const RECT clip{area.left, area.top, area.left + area.width, area.top + area.height};
  // Unscaled and centred; C++ division truncates toward zero as the layout expects.
  Ibg.Draw(dc.Get(), area.left + (area.width - Ibg.Width()) / 2, area.top + (area.height - Ibg.Height()) / 2, clip);
}

// The gauge covers its own rectangle; erasing under it first would make it flicker.
void TKvt::ErasePanel(HDC dc) {
  SavedDcState saved(dc);
  if (gaugeHost_) gaugeHost_->ExcludeOpaqueControls(dc);
  RECT rc;
  GetClientRect(Panel, &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
}

void TKvt::PaintPanel() {
  PaintDc dc(Panel);
  RECT rc;
  GetClientRect(Panel, &rc);
  DrawEdge(dc.Get(), &rc, BDR_RAISEDINNER, BF_RECT);
  if (gaugeHost_) gaugeHost_->PaintWindowlessControls(dc.Get(), dc.Rect());
}

void TKvt::Clicked(HWND control) {
  // Nothing starts while an operation and its box are under way.
  if (OperationPump::Current() || !IsShown(control)) return;
  if (control == Bstart || control == Bok) {
    // Held for the operation and every box it shows, an error box included.
    OperationPump pump;
    Application.Guard([&] {
      try {
        control == Bok ? BokClick() : BstartClick();
      } catch (...) {
        pump.DropQueuedInput();
        throw;
      }
    });
    if (pump.CloseHeld()) Application.Terminate();
  } else if (control == Boff) {
    BoffClick();
  } else if (control == RBdef || control == RBupd) {
    Check(control);
  }
}

bool TKvt::HandleChildMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND: {
      if (HIWORD(wParam) != BN_CLICKED) return false;
      HWND from = reinterpret_cast<HWND>(lParam);
      if (from != Bstart && from != Bok && from != Boff && from != RBdef && from != RBupd) return false;
      Clicked(from);
      result = 0;
      return true;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.hwndItem == SB && SB) {
        PaintStatusBar(item);
      } else if (item.CtlType == ODT_BUTTON) {
        DrawPictureButton(item, item.hwndItem == Boff ? abort_ : tick_);
      } else {
        return false;
      }
      result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ControlColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), result);
  }
  return false;
}

LRESULT TKvt::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleChildMessage(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_PAINT:
      PaintBackground();
      return 0;
    case WM_ACTIVATE:
      if (Activated(wParam)) return 0;
      break;
    case WM_CLOSE:
      // Closing ends the program like every other way out; the window goes
      // when the message loop has stopped. An operation is never cut short:
      // its box is answered first.
      if (OperationPump* running = OperationPump::Current()) running->HoldClose();
      else Application.Terminate();
      return 0;
    case WM_QUERYENDSESSION:
      // Ending the session in the middle of a copy or a switch would leave
      // the game's files half done: ask for it to wait until the box shows.
      if (OperationPump::Current() && OperationPump::Current()->Working()) return FALSE;
      break;
  }
  return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT CALLBACK TKvt::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TKvt* self = Owner<TKvt>(window, message, lParam);
  if (message == WM_NCCREATE && self) self->handle_ = window;
  if (!self || message == WM_NCDESTROY) return DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  Application.Guard([&] { result = self->HandleMessage(message, wParam, lParam); });
  return result;
}

LRESULT CALLBACK TKvt::PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TKvt* self = Owner<TKvt>(window, message, lParam);
  if (!self || message == WM_NCDESTROY) return DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  bool handled = false;
  Application.Guard([&] {
    switch (message) {
      case WM_ERASEBKGND:
        self->ErasePanel(reinterpret_cast<HDC>(wParam));
        result = 1;
        handled = true;
        break;
      case WM_PAINT:
        self->PaintPanel();
        handled = true;
        break;
      case WM_GETOBJECT:
        // While the gauge shows, screen readers hear the panel as the gauge.
        handled = self->gaugeHost_ && self->gaugeHost_->AnswerGetObject(wParam, lParam, result);
        break;
      default:
        handled = self->HandleChildMessage(message, wParam, lParam, result);
    }
  });
  return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}
