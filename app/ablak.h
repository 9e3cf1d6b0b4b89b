// The main window Kvt: the version-choice face (two radio buttons and the apply
// button over the background picture) and, covering it, the first-run face (a
// panel with the explanation, OK and exit buttons and the progress gauge).
//
// Its code is split by concern: ablak.cpp the window's making, procedures and
// painting, ablak_keys.cpp keyboard navigation, ablak_handlers.cpp the four
// handlers and the clicks that run them, ablak_create.cpp the controls,
// ablak_scheme.cpp the colours that follow the user's colour scheme. Each file
// calls only into those named after it, so that none needs another that needs
// it back.
#pragma once
#include <windows.h>

#include <exception>
#include <memory>
#include <string>

#include "app/jpeg_picture.h"
#include "app/layout.h"
#include "app/picture_button.h"
#include "common/win_handles.h"
#include "fileset/act/copy_thread.h"

class TGauge;
class GaugeHostWin32;
struct ResumeQuestion;

class TKvt {
 public:
  TKvt();
  ~TKvt();
  TKvt(const TKvt&) = delete;
  TKvt& operator=(const TKvt&) = delete;

  // Creates the window and its controls, runs FormCreate, and shows the window
  // at the centre of the primary screen. On failure the system's error code
  // is in CreateError().
  bool Create();
  DWORD CreateError() const { return createError_; }
  HWND Handle() const { return handle_; }
  // Keyboard navigation in the layout's tab order; true when msg was taken.
  bool PreTranslate(const MSG& msg);

  // The controls, in their declared order. Ibg and PB have no window of their own.
  HWND SB = nullptr;
  HWND Bstart = nullptr;
  JpegPicture Ibg;
  HWND RBdef = nullptr;
  HWND RBupd = nullptr;
  HWND Panel = nullptr;
  std::unique_ptr<TGauge> PB;
  HWND Bok = nullptr;
  HWND Boff = nullptr;
  HWND Linfo = nullptr;
  HWND Label1 = nullptr;

  void FormCreate();
  void BoffClick();
  void BokClick();
  void BstartClick();

 private:
  static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool HandleChildMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void Clicked(HWND control);
  // The first-run face as it was before OK, after a backup that did not end.
  void ShowBackupFaceAgain();
  // The question a resumed backup asks the player before any copy.
  ResumeQuestion AskBeforeResuming();

  // Starts, each on a thread of its own, what can run while the window and
  // its controls are made: loading the status bar's library, and reading
  // what FormCreate decides from (the settings, the Game folder) with the
  // background's decoding. Where no thread can be had, that work is done at
  // once. Create calls it once the program's first window exists (under
  // Wine, a library that registers window classes while another thread makes
  // the process's first window can leave both threads waiting for each
  // other) and the window's own classes and pictures are loaded: finding a
  // resource waits for the loader, which the library holds while it loads.
  void StartBackgroundWork();
  // The reads FormCreate decides from; an error they raise is FormCreate's.
  void ReadStart();
  bool RegisterClasses();
  void MeasureScreen();
  void MakeFonts();
  bool CreateControls();
  HWND CreateControl(const ControlSpec& design, HWND parent);
  // The font the layout names; null for the system's.
  HFONT FontFor(FontKind kind) const;
  void CreateGauge(const ControlSpec& design);
  HWND* Slot(ControlIndex index);
  HWND ParentWindow(Parent parent) const;
  Bounds Scaled(ControlIndex index) const;
  void Check(HWND radio);
  void PaintBackground();
  void PaintPanel();
  void ErasePanel(HDC dc);
  bool MoveFocus(bool backward);
  void PressEnter(HWND focus);
  void PressEscape();
  bool Activated(WPARAM wParam);
  bool ControlColours(HDC dc, HWND control, LRESULT& brush) const;
  // High contrast is on: the user's own colours must win over the layout's.
  static bool HighContrastOn();
  void UseSchemeOnStatusBar();
  void PaintStatusBar(const DRAWITEMSTRUCT& item) const;

  HWND handle_ = nullptr;
  DWORD createError_ = ERROR_SUCCESS;
  std::unique_ptr<GaugeHostWin32> gaugeHost_;
  int textHeight_ = kDesignTextHeight;
  int windowFontHeight_ = kWindowFontHeight;
  UniqueFont windowFont_;
  UniqueFont boldFont_;
  UniqueFont labelFont_;
  ButtonGlyph tick_;
  ButtonGlyph abort_;
  // The control that had the focus when the window was last deactivated.
  HWND lastFocus_ = nullptr;
  // High contrast was on when the window was made: the user's window colours
  // replace the layout's, and the window is opaque.
  bool highContrast_ = false;
  // The flag read "1" at the start: a backup was made once, and OK resumes it.
  bool backupMadeOnce_ = false;
  // The start's reads: the thread doing them, what they decided and the
  // error that stopped them.
  CopyThread reading_;
  bool backupNeeded_ = false;
  std::exception_ptr startError_;
  CopyThread statusBarLoading_;
};
