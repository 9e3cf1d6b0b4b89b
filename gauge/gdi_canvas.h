// The gauge's canvas over GDI, with small owners for the GDI objects involved.
// Windows only.
#pragma once
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "gauge/canvas.h"

// Thrown when GDI cannot give a device context, bitmap, brush or font.
class EOutOfResources : public std::runtime_error {
 public:
  EOutOfResources() : std::runtime_error("Out of system resources") {}
};

// Owns a GDI object (bitmap, brush, font) and deletes it; null is empty.
template <typename T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T handle) : handle_(handle) {}
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept : handle_(other.Release()) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  T Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  T Release() {
    T handle = handle_;
    handle_ = nullptr;
    return handle;
  }
  void Reset(T handle = nullptr) {
    if (handle_ != nullptr) DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  T handle_ = nullptr;
};

// Owns a memory device context from CreateCompatibleDC.
class MemoryDc {
 public:
  explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDc() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// A window's device context from GetDC (null window: the screen), released on
// every way out.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back when destroyed,
// so the owned object is never deleted while selected.
class SelectedObject {
 public:
  SelectedObject() = default;
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {
    if (previous_ == nullptr || previous_ == HGDI_ERROR) dc_ = nullptr;
  }
  ~SelectedObject() { Restore(); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  bool Selected() const { return dc_ != nullptr; }
  // Puts back what this held, then selects object.
  void Select(HDC dc, HGDIOBJ object) {
    Restore();
    previous_ = SelectObject(dc, object);
    dc_ = (previous_ == nullptr || previous_ == HGDI_ERROR) ? nullptr : dc;
  }
  void Restore() {
    if (dc_ != nullptr) SelectObject(dc_, previous_);
    dc_ = nullptr;
    previous_ = nullptr;
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// Saves a DC's state (origin, clip region, selections) and restores it.
class SavedDcState {
 public:
  explicit SavedDcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SavedDcState() {
    if (saved_ != 0) RestoreDC(dc_, saved_);
  }
  SavedDcState(const SavedDcState&) = delete;
  SavedDcState& operator=(const SavedDcState&) = delete;
  bool Saved() const { return saved_ != 0; }

 private:
  HDC dc_;
  int saved_;
};

// An RGB colour as it is, a system colour as the user's current setting.
COLORREF ResolveGdiColor(TColor color);

// A canvas over a DC it does not own (a window's, or a bitmap's memory DC).
// Leaves the DC with the font it found.
class GdiCanvas : public Canvas {
 public:
  explicit GdiCanvas(HDC dc) : dc_(dc) {}
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  HDC Dc() const { return dc_; }
  TCopyMode CopyMode() const override { return copyMode_; }
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
  const TFontSpec& Font() const override { return font_; }
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
  GdiObject<HFONT> fontHandle_;
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
  MemoryDc dc_;
  GdiObject<HBITMAP> bitmap_;
  SelectedObject selection_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  GdiCanvas canvas_;
};
