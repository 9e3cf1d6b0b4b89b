#include "gauge/gauge_host_win32.h"

#include <algorithm>

#include "gauge/gauge_accessible_win32.h"
#include "gauge/gdi_canvas.h"

GaugeHostWin32::GaugeHostWin32(HWND window) : window_(window) {}

GaugeHostWin32::~GaugeHostWin32() = default;

void GaugeHostWin32::SetAccessibleGauge(const TGauge& gauge, const std::string& name) {
  accessibleGauge_ = &gauge;
  accessibleName_ = name;
  TellAccessibility();
}

void GaugeHostWin32::SetBusy(bool busy) {
  busy_ = busy;
  TellAccessibility();
}

bool GaugeHostWin32::AnswerGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  return accessibility_ && accessibility_->Answer(wParam, lParam, result);
}

void GaugeHostWin32::TellAccessibility() {
  if (!accessibleGauge_ || !window_) return;
  if (!accessibility_) accessibility_ = std::make_unique<GaugeAccessibility>(window_);
  accessibility_->Update(AnswersFor(*accessibleGauge_, accessibleName_, busy_),
                         ToRect(accessibleGauge_->BoundsRect()));
}

// A control comes here once, from its constructor, and leaves from its
// destructor: it is never here twice.
void GaugeHostWin32::InsertControl(WindowlessControl& control) {
  controls_.push_back(&control);
}

void GaugeHostWin32::RemoveControl(WindowlessControl& control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), &control), controls_.end());
  if (accessibleGauge_ == &control) {
    accessibleGauge_ = nullptr;
    accessibility_.reset();
  }
}

bool GaugeHostWin32::WindowExists() const { return window_ != nullptr && IsWindow(window_); }

void GaugeHostWin32::RepaintNow(WindowlessControl& control) {
  if (&control == accessibleGauge_) TellAccessibility();
  if (!WindowExists()) return;
  WindowDc dc(window_);
  if (!dc) throw EOutOfResources();
  const RECT bounds = ToRect(control.BoundsRect());
  IntersectClipRect(dc.Get(), bounds.left, bounds.top, bounds.right, bounds.bottom);
  // A control is in the stacking order for all its life, so it is found: it
  // and the controls above it are painted.
  const auto found = std::find(controls_.begin(), controls_.end(), &control);
  for (auto it = found; it != controls_.end(); ++it) PaintControl(dc.Get(), **it, bounds);
}

void GaugeHostWin32::MarkForPaint(const TRect& rect, bool erase) {
  // Showing, hiding and moving the gauge come this way.
  TellAccessibility();
  if (!WindowExists()) return;
  const RECT rc = ToRect(rect);
  InvalidateRect(window_, &rc, erase ? TRUE : FALSE);
}

void GaugeHostWin32::PaintWindowlessControls(HDC dc, const RECT& updateRect) {
  for (WindowlessControl* control : controls_) PaintControl(dc, *control, updateRect);
}

void GaugeHostWin32::ExcludeOpaqueControls(HDC dc) const {
  for (const WindowlessControl* control : controls_) {
    if (!control->Visible() || !control->Opaque()) continue;
    const TRect b = control->BoundsRect();
    ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
  }
}

// The control is painted with the origin moved to its top-left corner and the
// clip cut down to its own size, so its Paint draws in its own coordinates and
// cannot spill onto its neighbours. The DC's state comes back afterwards.
void GaugeHostWin32::PaintControl(HDC dc, WindowlessControl& control, const RECT& area) {
  if (!control.Visible()) return;
  const RECT bounds = ToRect(control.BoundsRect());
  RECT overlap;
  if (!IntersectRect(&overlap, &bounds, &area) || !RectVisible(dc, &bounds)) return;
  SavedDcState saved(dc);
  if (!saved.Saved()) throw EOutOfResources();
  OffsetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
  IntersectClipRect(dc, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
  GdiCanvas canvas(dc);
  control.Paint(canvas);
}
