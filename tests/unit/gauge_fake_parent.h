// A GaugeParent for tests: records what the gauge asks of its window, and paints
// each repaint request onto a software bitmap so the picture can be checked.
#pragma once
#include <memory>
#include <utility>
#include <vector>

#include "gauge/gauges.h"
#include "support/soft_canvas.h"

class RecordingParent : public GaugeParent {
 public:
  void InsertControl(WindowlessControl& control) override { controls.push_back(&control); }
  void RemoveControl(WindowlessControl& control) override {
    for (auto it = controls.begin(); it != controls.end(); ++it) {
      if (*it == &control) {
        controls.erase(it);
        break;
      }
    }
  }
  bool WindowExists() const override { return windowExists; }
  void RepaintNow(WindowlessControl& control) override {
    ++repaints;
    lastPicture = std::make_unique<SoftBitmap>(control.Width(), control.Height(), 0x123456);
    control.Paint(lastPicture->GetCanvas());
  }
  void MarkForPaint(const TRect& rect, bool erase) override { marks.emplace_back(rect, erase); }

  bool windowExists = true;
  std::vector<WindowlessControl*> controls;
  int repaints = 0;
  std::unique_ptr<SoftBitmap> lastPicture;
  std::vector<std::pair<TRect, bool>> marks;
};
