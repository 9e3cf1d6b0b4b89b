// The gauge's canvas over GDI.
// Windows only.
#pragma once
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "common/win_handles.h"
#include "gauge/canvas.h"

// Thrown when GDI cannot give a device context, bitmap, brush or font.
class EOutOfResources : public std::runtime_error {
 public:
  EOutOfResources() : std::runtime_error("Out of system resources") {}
};

// The same rectangle as GDI takes it.
inline RECT ToRect(const TRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
// A GDI font of the font's face, height and weight (the text colour is the DC's);
// quality as LOGFONTW's lfQuality. Null when GDI cannot make one.
HFONT CreateGdiFont(const TFontSpec& font, BYTE quality = DEFAULT_QUALITY);

// A canvas over a DC it does not own (a window's, or a bitmap's memory DC).
// Leaves the DC with the font it found.
class GdiCanvas : public Canvas {
 public:
  explicit GdiCanvas(HDC dc) : dc_(dc) {}
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  void SetCopyMode(TCopyMode mode) override { copyMode_ = mode; }
  void SetBrush(TColor color, TBrushStyle style) override {
    brushColor_ = color;
    brushStyle_ = style;
  }
  void SetBrushStyle(TBrushStyle style) override { brushStyle_ = style; }
  void FillRect(const TRect& rect) override;
  // source must be a GdiCanvas (a bitmap's or a window's).
  void CopyRect(const TRect& dest, Canvas& source, const TRect& srcRect) override;
  void SetFont(const TFontSpec& font) override;
  TSize TextExtent(const std::string& text) override;
  void TextRect(const TRect& clip, int32_t x, int32_t y, const std::string& text) override;
  // A bitmap in the screen's format.
  std::unique_ptr<OffscreenBitmap> CreateBitmap() override;

 private:
  void SelectFont();

  HDC dc_;
  TCopyMode copyMode_ = cmSrcCopy;
  TColor brushColor_ = clWhite;
  TBrushStyle brushStyle_ = bsSolid;
  TFontSpec font_;
  UniqueFont fontHandle_;
  SelectedObject fontSelection_;  // destroyed before fontHandle_
};

// An off-screen colour bitmap in the screen's format, selected into a memory DC
// of its own for drawing.
class GdiBitmap : public OffscreenBitmap {
 public:
  // Throws EOutOfResources when the memory DC cannot be made.
  GdiBitmap();
  GdiBitmap(const GdiBitmap&) = delete;
  GdiBitmap& operator=(const GdiBitmap&) = delete;

  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  // Throw EOutOfResources when the bitmap cannot be made; the old one then stays.
  void SetWidth(int32_t width) override { Resize(width, height_); }
  void SetHeight(int32_t height) override { Resize(width_, height); }
  GdiCanvas& GetCanvas() override { return canvas_; }

 private:
  void Resize(int32_t width, int32_t height);

  // Destroyed in reverse: the canvas lets go of its font, the bitmap is
  // deselected, then deleted, then the DC goes.
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  SelectedObject selection_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  GdiCanvas canvas_;
};
