// The gauge as Windows' screen readers ask for it (Microsoft Active
// Accessibility, which UI Automation reads as well): the window that hosts it
// answers WM_GETOBJECT for its client area, while the gauge shows, with an
// IAccessible whose own answers are the gauge's (AnswersFor) and which leaves
// the window's child windows to the system's standard object, so that the
// labels and buttons beside the gauge stay reachable. Windows only.
//
// Screen readers run in processes of their own and reach the object through
// COM. The window's thread joins the multithreaded apartment, so their calls
// are answered on COM's own threads even while the window's thread copies a
// file; they read a copy of the answers that the window's thread keeps up to
// date.
//
// COM (ole32.dll, oleaut32.dll) and oleacc.dll are loaded on the first
// question (WM_GETOBJECT), not at start-up, which only a screen reader would
// pay for. oleacc.dll is not among the DLLs that Windows always loads from its
// own folder, and the program runs elevated from wherever it was downloaded
// to: all three are loaded by their full paths in the system folder.
#pragma once
#include <windows.h>

#include "gauge/gauge_accessible.h"

class GaugeAccessibleObject;

class GaugeAccessibility {
 public:
  explicit GaugeAccessibility(HWND window) : window_(window) {
    // A new gauge shows 0 %: a first value of 0 % is no news to a screen reader.
    answers_.value = "0%";
  }
  // Cuts off every caller still holding the object: they hear an error from then on.
  ~GaugeAccessibility();
  GaugeAccessibility(const GaugeAccessibility&) = delete;
  GaugeAccessibility& operator=(const GaugeAccessibility&) = delete;

  // The gauge's answers now and its rectangle in the window's client area.
  // Tells screen readers of a new value (EVENT_OBJECT_VALUECHANGE) when the
  // percent changed while the gauge shows, and of a new state when it changed.
  void Update(const GaugeAnswers& answers, const RECT& bounds);
  // For the window's WM_GETOBJECT: true, with result set, when it answered;
  // false leaves the question to DefWindowProc (another object than the
  // client, the gauge hidden, or no COM).
  bool Answer(WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  HWND window_;
  GaugeAccessibleObject* object_ = nullptr;
  GaugeAnswers answers_;
  RECT bounds_{0, 0, 0, 0};
  bool comStarted_ = false;
  bool comTried_ = false;
  bool comUsable_ = false;
};
