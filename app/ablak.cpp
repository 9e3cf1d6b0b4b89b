// The main window: its classes and its making, and its procedures: painting,
// the controls' notifications, and the close request.
#include "app/ablak.h"

#include <algorithm>

#include "app/ablak_style.h"
#include "app/application.h"
#include "app/operation_pump.h"
#include "common/system_library_win32.h"
#include "common/utf.h"
#include "gauge/gauge_host_win32.h"
#include "gauge/gauges.h"
#include "resources/resource_ids.h"

namespace {
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr BYTE kAlpha = 220;

// Opacity through SetLayeredWindowAttributes where user32 has it. Without it,
// or when it refuses, the window stays opaque: a layered window whose
// attributes were never set would not be drawn at all.
void MakeTranslucent(HWND window) {
  using SetLayered = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  const auto setLayered = SystemFunction<SetLayered>(GetModuleHandleW(L"user32.dll"), "SetLayeredWindowAttributes");
  if (!setLayered) return;
  const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
  SetWindowLongW(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  if (!setLayered(window, 0, kAlpha, LWA_ALPHA))
    SetWindowLongW(window, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
}

HICON LoadAppIcon(HINSTANCE instance, int sizeX, int sizeY) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                       GetSystemMetrics(sizeX), GetSystemMetrics(sizeY), 0));
}

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
  reading_.Join();
  statusBarLoading_.Join();
  PB.reset();  // leaves the host's stacking order before the host goes
  gaugeHost_.reset();
  if (handle_) DestroyWindow(handle_);
}

bool TKvt::RegisterClasses() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFormClass;
  wc.hIcon = LoadAppIcon(instance, SM_CXICON, SM_CYICON);
  wc.hIconSm = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON);
  if (!RegisterClassExW(&wc)) return false;
  // The panel erases its own background (ErasePanel), around the gauge.
  wc.lpfnWndProc = PanelProc;
  wc.lpszClassName = kPanelClass;
  wc.hIcon = wc.hIconSm = nullptr;
  return RegisterClassExW(&wc) != 0;
}

bool TKvt::Create() {
  const auto failed = [this] {
    createError_ = GetLastError();
    if (createError_ == ERROR_SUCCESS) createError_ = ERROR_NOT_ENOUGH_MEMORY;
    return false;
  };
  if (!RegisterClasses()) return failed();
  MeasureScreen();
  MakeFonts();
  tick_.Load(IDB_TICK);
  abort_.Load(IDB_ABORT);
  StartBackgroundWork();

  const Bounds client = ScaleBounds(Bounds{0, 0, kClientWidth, kClientHeight}, textHeight_);
  RECT frame{0, 0, client.width, client.height};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  handle_ = CreateWindowExW(0, kFormClass, Widen(Application.Title()).c_str(), kFormStyle, left, top, width, height,
                            nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!handle_) return failed();
  // Under high contrast nothing may show through the window.
  highContrast_ = HighContrastOn();
  if (!highContrast_) MakeTranslucent(handle_);
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_.Get()), FALSE);
  bool made = false;
  statusBarLoading_.Join();
  Application.Guard([&] { made = CreateControls() || failed(); });
  // An error raised while making the controls was shown by the guard, and
  // leaves CreateError() at ERROR_SUCCESS.
  if (!made) return false;

  reading_.Join();
  Application.Guard([this] { FormCreate(); });

  ShowWindow(handle_, SW_SHOWNORMAL);
  UpdateWindow(handle_);
  SetFocus(IsWindowVisible(Panel) ? Bok : RBdef);
  return true;
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

bool TKvt::HandleChildMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND: {
      if (HIWORD(wParam) != BN_CLICKED) return false;
      Clicked(reinterpret_cast<HWND>(lParam));
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
