// The window side of windowless controls such as TGauge: keeps them in stacking
// order, paints them into the window's device context and marks their
// rectangles for the window's next paint. Windows only.
//
// Nothing here catches: painting can throw (EOutOfResources when GDI runs out,
// or whatever a control's Paint throws). The window procedure that calls
// PaintWindowlessControls, and every handler whose property writes end in
// RepaintNow, run inside the window's dispatch, which catches every exception
// so that none unwinds through the system's code.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gauge/gauges.h"

class GaugeAccessibility;

class GaugeHostWin32 : public GaugeParent {
 public:
  // window: the window the controls sit on.
  explicit GaugeHostWin32(HWND window);
  // The controls must be destroyed before their host.
  ~GaugeHostWin32() override;
  GaugeHostWin32(const GaugeHostWin32&) = delete;
  GaugeHostWin32& operator=(const GaugeHostWin32&) = delete;

  // A new control goes on top of the others.
  void InsertControl(WindowlessControl& control) override;
  void RemoveControl(WindowlessControl& control) override;
  bool WindowExists() const override;
  // On the window's DC from GetDC, released on every path.
  void RepaintNow(WindowlessControl& control) override;
  // InvalidateRect without erasing for opaque controls.
  void MarkForPaint(const TRect& rect, bool erase) override;

  // For the window's WM_PAINT, after its own background: paints, bottom to top,
  // each visible control that meets updateRect and the DC's clip region.
  void PaintWindowlessControls(HDC dc, const RECT& updateRect);
  // For the window's background painting: keeps it off the opaque controls,
  // which cover their rectangles themselves and so never flicker.
  void ExcludeOpaqueControls(HDC dc) const;

  // The gauge that screen readers hear as the window's client while it shows
  // (gauge_accessible_win32.h), named by name, the text shown beside it.
  void SetAccessibleGauge(const TGauge& gauge, const std::string& name);
  // The work the gauge shows is under way: screen readers hear it as busy.
  void SetBusy(bool busy);
  // For the window's WM_GETOBJECT: true, with result set, when it answered;
  // otherwise DefWindowProc answers.
  bool AnswerGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  void PaintControl(HDC dc, WindowlessControl& control, const RECT& area);
  // Brings what screen readers hear up to date after any change of the gauge.
  void TellAccessibility();

  HWND window_;
  std::vector<WindowlessControl*> controls_;
  const TGauge* accessibleGauge_ = nullptr;
  std::string accessibleName_;
  bool busy_ = false;
  std::unique_ptr<GaugeAccessibility> accessibility_;
};
