// The main window's controls, made from the layout table.
#include "app/ablak.h"

#include <commctrl.h>

#include <algorithm>

#include "app/ablak_style.h"
#include "app/caption_fit.h"
#include "common/system_library_win32.h"
#include "common/texts.h"
#include "common/utf.h"
#include "gauge/gauge_host_win32.h"
#include "gauge/gauges.h"
#include "gauge/gdi_canvas.h"

namespace {
// The common controls library is loaded rather than imported, so that it too
// comes from the system folder only.
void RegisterStatusBarClass() noexcept {
  using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init = SystemFunction<InitEx>(LoadSystemLibrary(L"comctl32.dll"), "InitCommonControlsEx");
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
  if (init) init(&icc);
}

// The window class and styles each kind of control is made with; none for
// the windowless kinds.
struct ControlWindow {
  const wchar_t* windowClass;
  DWORD style, exStyle;
};

ControlWindow WindowFor(ControlKind kind) {
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  switch (kind) {
    case ControlKind::PictureButton: return {L"BUTTON", kChild | BS_OWNERDRAW | WS_TABSTOP, 0};
    // Checked by the program, not by the control itself.
    case ControlKind::RadioButton: return {L"BUTTON", kChild | BS_RADIOBUTTON, 0};
    // Hidden until FormCreate.
    case ControlKind::Container: return {kPanelClass, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ControlKind::Label: return {L"STATIC", kChild | SS_CENTER | SS_NOPREFIX, 0};
    // Placed by the layout like every other control, without a size grip.
    case ControlKind::StatusBar: return {STATUSCLASSNAMEW, kChild | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NOMOVEY, 0};
    case ControlKind::Picture:
    case ControlKind::Gauge: break;
  }
  return {nullptr, 0, 0};
}
}  // namespace

void TKvt::MeasureScreen() {
  WindowDc screen(nullptr);
  const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  if (dpi <= 0 || dpi == kDesignDpi) return;
  // The layout was made for 96 dots per inch: the font follows the screen, and
  // the layout follows the font's text height.
  windowFontHeight_ = WindowFontHeight(dpi);
  UniqueFont probe(CreateGdiFont({kFontFace, windowFontHeight_}));
  SelectedObject select(screen.Get(), probe.Get());
  TEXTMETRICW tm{};
  if (GetTextMetricsW(screen.Get(), &tm) && tm.tmHeight > 0) textHeight_ = tm.tmHeight;
}

void TKvt::MakeFonts() {
  windowFont_.Reset(CreateGdiFont({kFontFace, windowFontHeight_}));
  boldFont_.Reset(CreateGdiFont({kFontFace, ScaleFontHeight(-13, textHeight_), true}));
  labelFont_.Reset(CreateGdiFont({kFontFace, ScaleFontHeight(-13, textHeight_)}));
}

Bounds TKvt::Scaled(ControlIndex index) const {
  return ScaleBounds(kLayout[index], textHeight_);
}

HWND* TKvt::Slot(ControlIndex index) {
  switch (index) {
    case ControlIndex::SB: return &SB;
    case ControlIndex::Bstart: return &Bstart;
    case ControlIndex::RBdef: return &RBdef;
    case ControlIndex::RBupd: return &RBupd;
    case ControlIndex::Panel: return &Panel;
    case ControlIndex::Linfo: return &Linfo;
    case ControlIndex::Label1: return &Label1;
    case ControlIndex::Bok: return &Bok;
    case ControlIndex::Boff: return &Boff;
    default: return nullptr;  // windowless
  }
}

HWND TKvt::ParentWindow(Parent parent) const { return parent == Parent::InPanel ? Panel : handle_; }

HFONT TKvt::FontFor(FontKind kind) const {
  switch (kind) {
    case FontKind::Window: return windowFont_.Get();
    case FontKind::Bold13: return boldFont_.Get();
    case FontKind::Regular13: return labelFont_.Get();
    case FontKind::System: break;
  }
  return nullptr;
}

HWND TKvt::CreateControl(const ControlSpec& design, HWND parent) {
  const ControlWindow window = WindowFor(design.kind);
  if (!window.windowClass) return nullptr;
  HFONT font = FontFor(design.font);
  Bounds b = ScaleBounds(design, textHeight_);
  // Font and layout scale by different roundings: a caption may need more
  // than its scaled control offers, and then the control grows to the right.
  // The design size keeps its widths, made for these captions: there Wine
  // measures bold Tahoma some 20 pixels wider than it draws it.
  if (textHeight_ != kDesignTextHeight) {
    const int pictureBeside = std::max(PictureButtonBeside(tick_), PictureButtonBeside(abort_));
    const CaptionSize caption = MeasureCaption(design, font, pictureBeside);
    b.width = WidthForCaption(caption.extent, caption.beside, b.width, RoomToTheRight(design, textHeight_));
  }
  HWND control = CreateWindowExW(window.exStyle, window.windowClass, Widen(design.caption).c_str(), window.style,
                                 b.left, b.top, b.width, b.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), GetModuleHandleW(nullptr),
                                 design.kind == ControlKind::Container ? this : nullptr);
  if (!control) return nullptr;
  // Later controls lie above earlier ones.
  SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void TKvt::CreateGauge(const ControlSpec& design) {
  gaugeHost_ = std::make_unique<GaugeHostWin32>(ParentWindow(design.parent));
  PB = std::make_unique<TGauge>(gaugeHost_.get());
  PB->BeginLoading();
  const Bounds pb = Scaled(ControlIndex::PB);
  PB->SetBounds(pb.left, pb.top, pb.width, pb.height);
  PB->SetFont({kFontFace, windowFontHeight_});
  PB->SetProgress(0);
  PB->SetVisible(false);
  PB->EndLoading();
  // Named as the player sees it: by the explanation above it.
  gaugeHost_->SetAccessibleGauge(*PB, kLayout[ControlIndex::Linfo].caption);
}

void TKvt::StartBackgroundWork() {
  if (!statusBarLoading_.Start(RegisterStatusBarClass)) RegisterStatusBarClass();
  // What still escapes the reads (no memory for the picture) ends the program,
  // as it does where they run on the window's thread.
  if (!reading_.Start([this]() noexcept { ReadStart(); })) ReadStart();
}

// Every control in the table's order, each on the parent the table names.
bool TKvt::CreateControls() {
  for (int i = 0; i < kControlCount; ++i) {
    const ControlSpec& design = kLayout[i];
    if (design.kind == ControlKind::Gauge) {
      CreateGauge(design);
      continue;
    }
    HWND* slot = Slot(static_cast<ControlIndex>(i));
    if (!slot) continue;
    *slot = CreateControl(design, ParentWindow(design.parent));
    if (!*slot) return false;
  }
  int right = -1;  // the only part reaches the right edge
  SendMessageW(SB, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right));
  // A leading tab centres the text in its part; the part keeps its sunken border.
  const std::wstring credit = L"\t" + Widen(kCreditLine);
  SendMessageW(SB, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(credit.c_str()));
  UseSchemeOnStatusBar();
  Check(RBdef);
  return true;
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
