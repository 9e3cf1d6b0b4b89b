#include "app/ablak.h"

#include <commctrl.h>

#include <algorithm>

#include <vector>

#include "app/application.h"
#include "common/utf.h"
#include "fileset/file_ops_win32.h"
#include "fileset/file_set.h"
#include "fileset/first_run_backup.h"
#include "fileset/version_switch.h"
#include "gauge/gauge_host_win32.h"
#include "gauge/gauges.h"
#include "resources/resource_ids.h"
#include "resources/version.h"
#include "settings/registry_win32.h"
#include "settings/settings_store.h"

std::string GameDir;
TKvt* Kvt = nullptr;

namespace {
const wchar_t kFormClass[] = L"TKvt";
const wchar_t kPanelClass[] = L"TPanel";
const char kFontFace[] = "Tahoma";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr BYTE kAlpha = 220;
constexpr COLORREF kRadioText = RGB(255, 0, 0);
constexpr COLORREF kRadioBack = RGB(255, 255, 255);

HFONT MakeFont(int height, bool bold) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, Widen(kFontFace).c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

// Opacity through SetLayeredWindowAttributes where user32 has it; without it the
// window simply stays opaque.
void MakeTranslucent(HWND window) {
  using SetLayered = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  FARPROC proc = GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetLayeredWindowAttributes");
  if (!proc) return;
  SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
  reinterpret_cast<SetLayered>(reinterpret_cast<void*>(proc))(window, 0, kAlpha, LWA_ALPHA);
}

bool IsShown(HWND window) { return window && IsWindowVisible(window) && IsWindowEnabled(window); }
}  // namespace

TKvt::TKvt() { Kvt = this; }

TKvt::~TKvt() {
  PB.reset();  // leaves the host's stacking order before the host goes
  gaugeHost_.reset();
  if (handle_) DestroyWindow(handle_);
  if (Kvt == this) Kvt = nullptr;
}

void TKvt::MeasureScreen() {
  WindowDc screen(nullptr);
  const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  if (dpi <= 0 || dpi == kDesignDpi) return;
  // The layout was made for 96 dots per inch: the font follows the screen, and
  // the layout follows the font's text height.
  windowFontHeight_ = WindowFontHeight(dpi);
  UniqueFont probe(MakeFont(windowFontHeight_, false));
  SelectedObject select(screen.Get(), probe.Get());
  TEXTMETRICW tm{};
  if (GetTextMetricsW(screen.Get(), &tm) && tm.tmHeight > 0) textHeight_ = tm.tmHeight;
}

void TKvt::MakeFonts() {
  windowFont_.Reset(MakeFont(windowFontHeight_, false));
  boldFont_.Reset(MakeFont(ScaleFontHeight(-13, textHeight_), true));
  labelFont_.Reset(MakeFont(ScaleFontHeight(-13, textHeight_), false));
}

Bounds TKvt::Scaled(ControlIndex index) const {
  const ControlSpec& s = kLayout[index];
  return ScaleBounds(Bounds{s.left, s.top, s.width, s.height}, textHeight_);
}

bool TKvt::Create() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFormClass;
  wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  if (!RegisterClassExW(&wc)) return false;
  wc.lpfnWndProc = PanelProc;
  wc.lpszClassName = kPanelClass;
  wc.hIcon = wc.hIconSm = nullptr;
  if (!RegisterClassExW(&wc)) return false;

  MeasureScreen();
  MakeFonts();
  tick_.Load(IDB_TICK);
  abort_.Load(IDB_ABORT);
  Ibg.LoadResource(IDR_BACKGROUND);

  RECT frame{0, 0, MulDivRounded(kClientWidth, textHeight_, kDesignTextHeight),
             MulDivRounded(kClientHeight, textHeight_, kDesignTextHeight)};
  if (textHeight_ == kDesignTextHeight) frame = RECT{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  handle_ = CreateWindowExW(0, kFormClass, Widen(Application.Title()).c_str(), kFormStyle, left, top,
                            width, height, nullptr, nullptr, instance, this);
  if (!handle_) return false;
  MakeTranslucent(handle_);
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_.Get()), FALSE);
  CreateControls();

  Application.Guard([this] { FormCreate(); });

  ShowWindow(handle_, SW_SHOWNORMAL);
  UpdateWindow(handle_);
  SetFocus(IsWindowVisible(Panel) ? Bok : RBdef);
  return true;
}

HWND TKvt::CreateControl(const ControlSpec& design, HWND parent) {
  const wchar_t* windowClass = L"BUTTON";
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  switch (design.kind) {
    case ControlKind::PictureButton:
      style |= BS_OWNERDRAW | WS_TABSTOP;
      break;
    case ControlKind::RadioButton:
      style |= BS_RADIOBUTTON;  // checked by the program, not by the control itself
      break;
    case ControlKind::Panel:
      windowClass = kPanelClass;
      style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;  // hidden until FormCreate
      exStyle = WS_EX_CONTROLPARENT;
      break;
    case ControlKind::Label:
      windowClass = L"STATIC";
      style |= SS_CENTER | SS_NOPREFIX;
      break;
    case ControlKind::StatusBar:
      windowClass = STATUSCLASSNAMEW;
      // Placed by the layout like every other control, without a size grip.
      style |= CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NOMOVEY;
      break;
    case ControlKind::Picture:
    case ControlKind::Gauge:
      return nullptr;
  }
  const Bounds b = ScaleBounds(Bounds{design.left, design.top, design.width, design.height}, textHeight_);
  HWND control = CreateWindowExW(exStyle, windowClass, Widen(design.caption).c_str(), style, b.left, b.top,
                                 b.width, b.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)),
                                 GetModuleHandleW(nullptr), nullptr);
  // Later controls lie above earlier ones.
  SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  HGDIOBJ font = nullptr;
  switch (design.font) {
    case FontKind::Window: font = windowFont_.Get(); break;
    case FontKind::Bold13: font = boldFont_.Get(); break;
    case FontKind::Regular13: font = labelFont_.Get(); break;
    case FontKind::System: break;
  }
  if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void TKvt::CreateControls() {
  SB = CreateControl(kLayout[ControlIndex::SB], handle_);
  int right = -1;  // the only part reaches the right edge
  SendMessageW(SB, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right));
  // A leading tab centres the text in its part; the part keeps its sunken border.
  const std::wstring credit = L"\t" + Widen(XQ_CREDIT_LINE);
  SendMessageW(SB, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(credit.c_str()));

  Bstart = CreateControl(kLayout[ControlIndex::Bstart], handle_);
  RBdef = CreateControl(kLayout[ControlIndex::RBdef], handle_);
  RBupd = CreateControl(kLayout[ControlIndex::RBupd], handle_);
  Panel = CreateControl(kLayout[ControlIndex::Panel], handle_);
  SetWindowLongPtrW(Panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

  gaugeHost_ = std::make_unique<GaugeHostWin32>(Panel);
  PB = std::make_unique<TGauge>(gaugeHost_.get());
  PB->BeginLoading();
  const Bounds pb = Scaled(ControlIndex::PB);
  PB->SetBounds(pb.left, pb.top, pb.width, pb.height);
  TFontSpec font;
  font.name = kFontFace;
  font.height = windowFontHeight_;
  PB->SetFont(font);
  PB->SetProgress(0);
  PB->SetVisible(false);
  PB->EndLoading();

  Linfo = CreateControl(kLayout[ControlIndex::Linfo], Panel);
  Label1 = CreateControl(kLayout[ControlIndex::Label1], Panel);
  Bok = CreateControl(kLayout[ControlIndex::Bok], Panel);
  Boff = CreateControl(kLayout[ControlIndex::Boff], Panel);
  Check(RBdef);
}

// Checking one radio button unchecks the other; only the checked one is a tab stop.
void TKvt::Check(HWND radio) {
  for (HWND each : {RBdef, RBupd}) {
    const bool checked = each == radio;
    SendMessageW(each, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    LONG style = GetWindowLongW(each, GWL_STYLE);
    style = checked ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    SetWindowLongW(each, GWL_STYLE, style);
  }
}

void TKvt::FormCreate() {
  Win32MachineRoot root;
  TRegistry registry(root);
  GameDir = MakeGameDir(ReadGameFolder(registry));
  const bool backupNeeded = ReadOrCreateFlag(registry);
  ShowWindow(Panel, backupNeeded ? SW_SHOW : SW_HIDE);
}

void TKvt::BoffClick() { Application.Terminate(); }

namespace {
// The backup's progress goes straight to the gauge, which paints each change at
// once although the handler processes no messages.
class GaugeProgress : public ProgressSink {
 public:
  explicit GaugeProgress(TGauge& gauge) : gauge_(gauge) {}
  void SetProgress(int32_t value) override { gauge_.SetProgress(value); }

  // The copies run on this thread for many seconds. Looking at the queue
  // every so often keeps the system from taking the window for hung (and
  // from swapping in its ghost frame), and repaints what another window
  // uncovered. Only paint messages are taken: a click or key waits until the
  // backup is over, so nothing else can start in the middle of it.
  void StillWorking() override {
    const ULONGLONG now = GetTickCount64();
    if (now - lastLook_ < kLookEveryMs) return;
    lastLook_ = now;
    MSG msg;
    for (int i = 0; i < kMaxPaintsPerLook && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i) {
      DispatchMessageW(&msg);
    }
  }

 private:
  static constexpr ULONGLONG kLookEveryMs = 100;
  static constexpr int kMaxPaintsPerLook = 32;
  TGauge& gauge_;
  ULONGLONG lastLook_ = 0;
};

const char kSwitchedCaption[] = "M\xC5\xB1velet sikeres";
const char kBackedUpCaption[] = "M\xC5\xB1velet k\xC3\xA9sz";
}  // namespace

void TKvt::BokClick() {
  ShowWindow(Bok, SW_HIDE);
  ShowWindow(Boff, SW_HIDE);
  PB->SetVisible(true);
  SYSTEMTIME now{};
  GetSystemTime(&now);
  const uint32_t seed = ClockSeed(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
  Win32FileOps files;
  GaugeProgress progress(*PB);
  const BackupResult result = FirstRunBackup(files, GameDir, progress, seed, [] {
    Win32MachineRoot root;
    MarkBackupDone(root);
  });
  if (result.success) {
    Application.ShowMessage(result.text, kBackedUpCaption, MB_OK | MB_ICONINFORMATION);
    Application.Terminate();
    return;
  }
  Application.ShowMessage(result.text, Application.Title(), MB_OK | MB_ICONSTOP);
  // Nothing half-made was kept and the flag still says "0": the user may try again or leave.
  PB->SetVisible(false);
  PB->SetProgress(0);
  ShowWindow(Bok, SW_SHOW);
  ShowWindow(Boff, SW_SHOW);
  SetFocus(Bok);
}

void TKvt::BstartClick() {
  EnableWindow(Bstart, FALSE);
  GameVersion target;
  if (SendMessageW(RBdef, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    target = GameVersion::Base;
  } else if (SendMessageW(RBupd, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    target = GameVersion::Patched;
  } else {
    Application.Terminate();
    return;
  }
  Win32FileOps files;
  const SwitchResult result = VersionSwitch(files, GameDir, target);
  if (result.success) {
    Application.ShowMessage(result.text, kSwitchedCaption, MB_OK | MB_ICONINFORMATION);
    Application.Terminate();
    return;
  }
  // The files are as they were (or the box says where each one stands): the
  // user can close the game and try again.
  Application.ShowMessage(result.text, Application.Title(), MB_OK | MB_ICONSTOP);
  EnableWindow(Bstart, TRUE);
  SetFocus(Bstart);
}

void TKvt::PaintBackground() {
  PaintDc dc(handle_);
  const Bounds area = Scaled(ControlIndex::Ibg);
  const RECT clip{area.left, area.top, area.left + area.width, area.top + area.height};
  // Unscaled and centred; C++ division truncates toward zero as the layout expects.
  Ibg.Draw(dc.Get(), area.left + (area.width - Ibg.Width()) / 2,
           area.top + (area.height - Ibg.Height()) / 2, clip);
}

void TKvt::PaintPanel() {
  PaintDc dc(Panel);
  RECT rc;
  GetClientRect(Panel, &rc);
  DrawEdge(dc.Get(), &rc, BDR_RAISEDINNER, BF_RECT);
  gaugeHost_->PaintWindowlessControls(dc.Get(), dc.Rect());
}

bool TKvt::HandleChildMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND: {
      if (HIWORD(wParam) != BN_CLICKED) return false;
      HWND from = reinterpret_cast<HWND>(lParam);
      if (from == Bstart) Application.Guard([this] { BstartClick(); });
      else if (from == Bok) Application.Guard([this] { BokClick(); });
      else if (from == Boff) Application.Guard([this] { BoffClick(); });
      else if (from == RBdef || from == RBupd) Check(from);
      else return false;
      result = 0;
      return true;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_BUTTON) return false;
      const bool isBoff = item.hwndItem == Boff;
      // Bstart's own font is black; the panel buttons use the window's text colour.
      DrawPictureButton(item, isBoff ? abort_ : tick_,
                        item.hwndItem == Bstart ? RGB(0, 0, 0) : GetSysColor(COLOR_WINDOWTEXT));
      result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      HWND from = reinterpret_cast<HWND>(lParam);
      if (from == RBdef || from == RBupd) {
        SetTextColor(dc, kRadioText);
        SetBkColor(dc, kRadioBack);
        result = reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
      } else {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      return true;
    }
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
    case WM_CLOSE:
      // Closing ends the program like every other way out; the window goes
      // when the message loop has stopped.
      Application.Terminate();
      return 0;
  }
  return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT CALLBACK TKvt::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TKvt*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TKvt*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || message == WM_NCDESTROY) return DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  Application.Guard([&] { result = self->HandleMessage(message, wParam, lParam); });
  return result;
}

LRESULT CALLBACK TKvt::PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TKvt*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  bool handled = false;
  Application.Guard([&] {
    if (message == WM_PAINT) {
      self->PaintPanel();
      handled = true;
    } else {
      handled = self->HandleChildMessage(message, wParam, lParam, result);
    }
  });
  return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

// The tab order: the checked radio button, then Bstart on the version-choice
// face; Bok, then Boff on the first-run panel, which covers everything else.
bool TKvt::MoveFocus(bool backward) {
  std::vector<HWND> order;
  if (IsWindowVisible(Panel)) {
    order = {Bok, Boff};
  } else {
    order = {SendMessageW(RBdef, BM_GETCHECK, 0, 0) == BST_CHECKED ? RBdef : RBupd, Bstart};
  }
  std::vector<HWND> reachable;
  for (HWND each : order)
    if (IsShown(each)) reachable.push_back(each);
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

bool TKvt::PreTranslate(MSG& msg) {
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
