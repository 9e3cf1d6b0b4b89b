#include "gauge/gauges.h"

#include <cstdio>
#include <limits>

// ---- WindowlessControl ----

WindowlessControl::WindowlessControl(GaugeParent* parent) : parent_(parent) {
  if (parent_ != nullptr) parent_->InsertControl(*this);
}

WindowlessControl::~WindowlessControl() {
  if (parent_ != nullptr) parent_->RemoveControl(*this);
}

void WindowlessControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  const TRect bounds{left, top, left + width, top + height};
  if (bounds == bounds_) return;
  const bool shown = visible_ && parent_ != nullptr && parent_->WindowExists();
  if (shown) parent_->MarkForPaint(bounds_, true);
  bounds_ = bounds;
  if (shown) parent_->MarkForPaint(bounds_, !opaque_);
}

void WindowlessControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (parent_ != nullptr && parent_->WindowExists()) {
    // Hiding uncovers the parent's background, which must then be erased.
    parent_->MarkForPaint(bounds_, !visible || !opaque_);
  }
}

void WindowlessControl::RepaintRequest() {
  if (visible_ && parent_ != nullptr && parent_->WindowExists()) parent_->RepaintNow(*this);
}

// ---- Arithmetic ----

namespace {

// Two's-complement wrap-around without signed overflow.
int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

struct UInt128 {
  uint64_t hi;
  uint64_t lo;
};

// Full 64 x 64 product from 32-bit halves: i686 has no 128-bit integer type.
UInt128 Multiply(uint64_t a, uint64_t b) {
  const uint64_t aLo = a & 0xFFFFFFFFu, aHi = a >> 32;
  const uint64_t bLo = b & 0xFFFFFFFFu, bHi = b >> 32;
  const uint64_t ll = aLo * bLo, lh = aLo * bHi, hl = aHi * bLo, hh = aHi * bHi;
  const uint64_t middle = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
  return UInt128{hh + (lh >> 32) + (hl >> 32) + (middle >> 32),
                 (middle << 32) | (ll & 0xFFFFFFFFu)};
}

// Rounds value to 64 significant bits, ties to even, as the x87 does at
// 64-bit precision; adds the dropped bit count to exponent.
uint64_t RoundToExtended(UInt128 value, int& exponent) {
  if (value.hi == 0) return value.lo;
  const int shift = 64 - __builtin_clzll(value.hi);  // 1..64
  uint64_t mantissa, rest, half;
  if (shift == 64) {
    mantissa = value.hi;
    rest = value.lo;
  } else {
    mantissa = (value.hi << (64 - shift)) | (value.lo >> shift);
    rest = value.lo & ((uint64_t{1} << shift) - 1);
  }
  half = uint64_t{1} << (shift - 1);
  exponent += shift;
  if (rest > half || (rest == half && (mantissa & 1) != 0)) {
    ++mantissa;
    if (mantissa == 0) {  // carried out of 64 bits: 2^64 = 2^63 x 2
      mantissa = uint64_t{1} << 63;
      ++exponent;
    }
  }
  return mantissa;
}

// The extended value nearest 0.01 is kOneHundredth x 2^-70, about 2.03e-22 below 0.01.
constexpr uint64_t kOneHundredth = 11805916207174113034u;
constexpr int kOneHundredthExponent = -70;

uint64_t Magnitude(int32_t v) {
  return v < 0 ? uint64_t{0} - static_cast<uint64_t>(static_cast<int64_t>(v))
               : static_cast<uint64_t>(v);
}

std::string RangeMessage(int32_t low, int32_t high) {
  char text[64];
  std::snprintf(text, sizeof text, "Value must be between %d and %d", static_cast<int>(low),
                static_cast<int>(high));
  return text;
}

// Combines the whole of source into target's top-left corner under mode, and
// leaves target copying plainly again.
void CopyWhole(Canvas& target, OffscreenBitmap& source, TCopyMode mode) {
  const TRect all{0, 0, source.Width(), source.Height()};
  target.SetCopyMode(mode);
  target.CopyRect(all, source.GetCanvas(), all);
  target.SetCopyMode(cmSrcCopy);
}

}  // namespace

std::unique_ptr<OffscreenBitmap> BlackBitmap(Canvas& compatibleWith, int32_t width, int32_t height) {
  std::unique_ptr<OffscreenBitmap> bitmap = compatibleWith.CreateBitmap();
  bitmap->SetWidth(width);
  bitmap->SetHeight(height);
  CopyWhole(bitmap->GetCanvas(), *bitmap, cmBlackness);
  return bitmap;
}

int32_t PercentDone(int32_t minValue, int32_t maxValue, int32_t progress) {
  const int32_t range = WrapSub(maxValue, minValue);
  if (range == 0) return 0;
  const int64_t done = int64_t{100} * WrapSub(progress, minValue);
  return static_cast<int32_t>(done / range);
}

int32_t BarLength(int32_t percent, int32_t width) {
  if (percent == 0 || width == 0) return 0;
  int exponent = kOneHundredthExponent;
  const uint64_t fraction = RoundToExtended(Multiply(Magnitude(percent), kOneHundredth), exponent);
  const uint64_t length = RoundToExtended(Multiply(fraction, Magnitude(width)), exponent);
  // Truncation toward zero drops the fraction bits of the magnitude.
  uint64_t whole;
  if (exponent >= 0) {
    whole = (exponent >= 32 || length > (uint64_t{1} << 32)) ? uint64_t{1} << 32 : length << exponent;
  } else {
    whole = exponent <= -64 ? 0 : length >> -exponent;
  }
  const bool negative = (percent < 0) != (width < 0);
  if (negative) {
    return whole >= (uint64_t{1} << 31) ? std::numeric_limits<int32_t>::min()
                                        : -static_cast<int32_t>(whole);
  }
  return whole > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())
             ? std::numeric_limits<int32_t>::max()
             : static_cast<int32_t>(whole);
}

// ---- TGauge ----

TGauge::TGauge(GaugeParent* owner) : WindowlessControl(owner) {
  SetOpaque(true);
  SetBounds(0, 0, 100, 100);
}

int32_t TGauge::PercentDone() const { return ::PercentDone(minValue_, maxValue_, progress_); }

void TGauge::SetProgress(int32_t value) {
  const int32_t before = PercentDone();
  if (value < minValue_) {
    value = minValue_;
  } else if (value > maxValue_) {
    value = maxValue_;
  }
  if (value == progress_) return;
  progress_ = value;
  if (PercentDone() != before) RepaintRequest();
}

void TGauge::SetMinValue(int32_t value) {
  if (value == minValue_) return;
  if (value > maxValue_ && !loading_) {
    throw EInvalidOperation(RangeMessage(-2147483647, WrapSub(maxValue_, 1)));
  }
  minValue_ = value;
  if (value > progress_) progress_ = value;
  RepaintRequest();
}

void TGauge::SetMaxValue(int32_t value) {
  if (value == maxValue_) return;
  if (value < minValue_ && !loading_) {
    throw EInvalidOperation(RangeMessage(WrapAdd(minValue_, 1), 2147483647));
  }
  maxValue_ = value;
  if (value < progress_) progress_ = value;
  RepaintRequest();
}

// The picture is composed off-screen and reaches the target in one copy, so the
// gauge never shows a half-drawn state. The bitmaps are owned locally and freed
// on every way out.
void TGauge::Paint(Canvas& canvas) {
  const int32_t w = Width();
  const int32_t h = Height();
  if (w <= 0 || h <= 0) return;

  std::unique_ptr<OffscreenBitmap> image = BlackBitmap(canvas, w, h);

  TRect r{0, 0, w, h};
  if (borderStyle_ == bsSingle) r = TRect{1, 1, w - 1, h - 1};

  {
    std::unique_ptr<OffscreenBitmap> overlay = BlackBitmap(canvas, w, h);
    PaintBar(overlay->GetCanvas(), r);
    // The image is black, so this makes it equal to the overlay; outside R
    // (the frame) both stay black.
    CopyWhole(image->GetCanvas(), *overlay, cmSrcInvert);
    if (showText_) PaintText(*image, r);
  }

  CopyWhole(canvas, *image, cmSrcCopy);
}

// W and H are one more than R's width and height, and the filled part's right
// and bottom edges are L and H themselves rather than offsets from R's corner:
// with a single border that fills exactly the inside of the frame at 100 %.
void TGauge::PaintBar(Canvas& overlay, const TRect& r) const {
  const int32_t barWidth = r.right - r.left + 1;
  const int32_t barHeight = r.bottom - r.top + 1;
  overlay.SetBrush(backColor_, bsSolid);
  overlay.FillRect(r);
  if (kind_ == gkText) return;

  overlay.SetBrush(foreColor_, bsSolid);
  const bool upright = kind_ == gkVerticalBar;
  const int32_t extent = upright ? barHeight : barWidth;
  int32_t length = BarLength(PercentDone(), extent);
  if (length > extent) length = extent;
  if (length <= 0) return;
  if (upright) {
    // The horizontal rule turned upright: fills upward from R's bottom edge.
    overlay.FillRect(TRect{r.left, r.bottom - (length - r.top), r.right, r.bottom});
  } else {
    // gkHorizontalBar; the round kinds have no drawing of their own here and
    // show as the horizontal bar.
    overlay.FillRect(TRect{r.left, r.top, length, barHeight});
  }
}

// The text is drawn white on a black layer that is then XORed onto the image,
// so every glyph pixel shows the inverse of what lies beneath it: readable on
// both sides of the bar's edge. Clipping to R keeps it off the frame.
void TGauge::PaintText(OffscreenBitmap& image, const TRect& r) const {
  std::unique_ptr<OffscreenBitmap> layer = BlackBitmap(image.GetCanvas(), Width(), Height());

  const std::string text = std::to_string(PercentDone()) + "%";
  Canvas& canvas = layer->GetCanvas();
  canvas.SetBrushStyle(bsClear);
  TFontSpec font = Font();
  font.color = clWhite;
  canvas.SetFont(font);
  const TSize extent = canvas.TextExtent(text);
  const int32_t x = (r.right - r.left + 1 - extent.cx) / 2;
  const int32_t y = (r.bottom - r.top + 1 - extent.cy) / 2;
  canvas.TextRect(r, x, y, text);

  CopyWhole(image.GetCanvas(), *layer, cmSrcInvert);
}
