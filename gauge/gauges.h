// TGauge, a windowless progress gauge, and the off-screen layers it composes
// each picture from. Portable: all drawing goes through Canvas, and the
// window that hosts the gauge is reached through GaugeParent.
#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "gauge/canvas.h"

enum TGaugeKind : uint8_t { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
enum TBorderStyle : uint8_t { bsNone, bsSingle };

class EInvalidOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class WindowlessControl;

// The window a windowless control lives on. The control registers itself in
// the parent's stacking order when constructed and leaves it when destroyed.
class GaugeParent {
 public:
  virtual ~GaugeParent() = default;
  virtual void InsertControl(WindowlessControl& control) = 0;
  virtual void RemoveControl(WindowlessControl& control) = 0;
  virtual bool WindowExists() const = 0;
  // Paints control now, before returning, on the parent's surface clipped to the
  // control's rectangle, together with the visible windowless controls above it
  // that meet that rectangle. Paint failures propagate.
  virtual void RepaintNow(WindowlessControl& control) = 0;
  // Marks rect (parent coordinates) as needing a paint at the next message
  // processing; erase false keeps the background under an opaque control.
  virtual void MarkForPaint(const TRect& rect, bool erase) = 0;
};

// A control without a window of its own: a rectangle in its parent's
// coordinates that the parent paints by calling Paint.
class WindowlessControl {
 public:
  explicit WindowlessControl(GaugeParent* parent);
  virtual ~WindowlessControl();
  WindowlessControl(const WindowlessControl&) = delete;
  WindowlessControl& operator=(const WindowlessControl&) = delete;

  int32_t Width() const { return bounds_.Width(); }
  int32_t Height() const { return bounds_.Height(); }
  TRect BoundsRect() const { return bounds_; }
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);

  bool Visible() const { return visible_; }
  // Only marks the rectangle for the parent's next paint; nothing is drawn here.
  void SetVisible(bool visible);

  // Opaque controls cover every pixel of their rectangle, so the parent need not
  // erase under them and may paint them on their own at once.
  bool Opaque() const { return opaque_; }

  // Follows the parent's font: the host sets it to the window's font.
  const TFontSpec& Font() const { return font_; }
  void SetFont(const TFontSpec& font) { Change(font_, font); }

  // canvas: (0, 0) is the control's top-left pixel and output is clipped to its size.
  virtual void Paint(Canvas& canvas) = 0;

 protected:
  void SetOpaque(bool opaque) { opaque_ = opaque; }
  // Paints at once through the parent when visible and the parent's window
  // exists; otherwise the change waits for the next paint.
  void RepaintRequest();
  // Sets a property the picture shows; repaints only when it changed.
  template <class T>
  void Change(T& property, const T& value) {
    if (value == property) return;
    property = value;
    RepaintRequest();
  }

 private:
  GaugeParent* parent_;
  TRect bounds_{0, 0, 0, 0};
  bool visible_ = true;
  bool opaque_ = false;
  TFontSpec font_;
};

// A width x height off-screen bitmap, black all over, made by the canvas it
// will be drawn onto so that it shares that surface's pixel format.
std::unique_ptr<OffscreenBitmap> BlackBitmap(Canvas& compatibleWith, int32_t width, int32_t height);

// 100 x (progress - minValue) / (maxValue - minValue), truncated toward zero;
// 0 for an empty range. The product is formed in 64 bits.
int32_t PercentDone(int32_t minValue, int32_t maxValue, int32_t progress);

// width x (percent x 0.01), truncated toward zero, exactly as the x87's 80-bit
// extended format computes it: 0.01 is its nearest extended value (just below
// 0.01) and each product is rounded to 64 significant bits, ties to even. So
// BarLength(10, 10) is 0, not 1. Saturates at the 32-bit limits.
int32_t BarLength(int32_t percent, int32_t width);

class TGauge : public WindowlessControl {
 public:
  // Defaults: 0..100, Progress 0, a horizontal bar with text, single border,
  // black on white, 100 x 100.
  explicit TGauge(GaugeParent* owner);

  int32_t MinValue() const { return minValue_; }
  int32_t MaxValue() const { return maxValue_; }
  int32_t Progress() const { return progress_; }
  TGaugeKind Kind() const { return kind_; }
  bool ShowText() const { return showText_; }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  TColor ForeColor() const { return foreColor_; }
  TColor BackColor() const { return backColor_; }

  // Throws EInvalidOperation when the range would be inverted, except while loading.
  void SetMinValue(int32_t value);
  void SetMaxValue(int32_t value);
  // Clamped into MinValue..MaxValue (the lower bound wins when they cross);
  // repaints only when percent done changes.
  void SetProgress(int32_t value);
  void SetKind(TGaugeKind kind) { Change(kind_, kind); }
  void SetShowText(bool showText) { Change(showText_, showText); }
  void SetBorderStyle(TBorderStyle style) { Change(borderStyle_, style); }
  void SetForeColor(TColor color) { Change(foreColor_, color); }
  void SetBackColor(TColor color) { Change(backColor_, color); }

  int32_t PercentDone() const;

  // While loading from the stored form the range setters take any value.
  void BeginLoading() { loading_ = true; }
  void EndLoading() { loading_ = false; }

  void Paint(Canvas& canvas) override;

 private:
  void PaintBar(Canvas& overlay, const TRect& r) const;
  void PaintText(OffscreenBitmap& image, const TRect& r) const;

  int32_t minValue_ = 0;
  int32_t maxValue_ = 100;
  int32_t progress_ = 0;
  TGaugeKind kind_ = gkHorizontalBar;
  bool showText_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  TColor foreColor_ = clBlack;
  TColor backColor_ = clWhite;
  bool loading_ = false;
};
