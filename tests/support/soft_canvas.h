// A canvas over an in-memory bitmap of 32-bit pixels 0x00BBGGRR. The copy modes
// are exact (black, copy, XOR of the pixel values) and text comes from a small
// built-in bitmap font without smoothing, so every pixel of a picture can be
// predicted. Used to check the gauge's pictures natively.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gauge/canvas.h"

// System colours as the software surface shows them (the classic defaults).
uint32_t SoftSystemColor(int index);
// An RGB colour stays as it is; a system colour becomes its RGB value.
uint32_t ResolveSoftColor(TColor color);

class SoftBitmap;

class SoftCanvas : public Canvas {
 public:
  explicit SoftCanvas(SoftBitmap& bitmap) : bitmap_(bitmap) {}
  SoftCanvas(const SoftCanvas&) = delete;
  SoftCanvas& operator=(const SoftCanvas&) = delete;

  void SetCopyMode(TCopyMode mode) override { copyMode_ = mode; }
  void SetBrush(TColor color, TBrushStyle style) override {
    brushColor_ = color;
    brushStyle_ = style;
  }
  void SetBrushStyle(TBrushStyle style) override { brushStyle_ = style; }
  TColor BrushColor() const { return brushColor_; }
  TBrushStyle BrushStyle() const { return brushStyle_; }
  void FillRect(const TRect& rect) override;
  // Throws std::invalid_argument for a source that is not a SoftCanvas or for
  // a copy mode it does not know.
  void CopyRect(const TRect& dest, Canvas& source, const TRect& srcRect) override;
  void SetFont(const TFontSpec& font) override { font_ = font; }
  TSize TextExtent(const std::string& text) override;
  void TextRect(const TRect& clip, int32_t x, int32_t y, const std::string& text) override;
  std::unique_ptr<OffscreenBitmap> CreateBitmap() override;

 private:
  SoftBitmap& bitmap_;
  TCopyMode copyMode_ = cmSrcCopy;
  TColor brushColor_ = clWhite;
  TBrushStyle brushStyle_ = bsSolid;
  TFontSpec font_;
};

class SoftBitmap : public OffscreenBitmap {
 public:
  SoftBitmap() : canvas_(*this) {}
  SoftBitmap(int32_t width, int32_t height, uint32_t fill = 0);
  SoftBitmap(const SoftBitmap&) = delete;
  SoftBitmap& operator=(const SoftBitmap&) = delete;

  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  // Negative sizes count as 0.
  void SetWidth(int32_t width) override { Resize(width, height_); }
  void SetHeight(int32_t height) override { Resize(width_, height); }
  SoftCanvas& GetCanvas() override { return canvas_; }

  bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  // Callers keep (x, y) inside the bitmap.
  uint32_t Pixel(int32_t x, int32_t y) const { return pixels_[Index(x, y)]; }
  void SetPixel(int32_t x, int32_t y, uint32_t value) { pixels_[Index(x, y)] = value; }

 private:
  void Resize(int32_t width, int32_t height);
  size_t Index(int32_t x, int32_t y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
  }

  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint32_t> pixels_;
  SoftCanvas canvas_;
};

// The built-in font: 5 x 7 glyphs (digits, '%', '-', space; a box for anything
// else), enlarged by a whole factor for bigger fonts. The cell is |height| + 2
// pixels high for a negative height (so -11 gives the 13 of an 8-point face),
// height pixels for a positive one; bold widens each stroke by the factor.
struct SoftFontMetrics {
  int32_t cellHeight;
  int32_t scale;
  int32_t advance;
  int32_t glyphTop;
};
SoftFontMetrics MeasureSoftFont(const TFontSpec& font);
