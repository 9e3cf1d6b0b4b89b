// The drawing surface the gauge paints through: off-screen bitmaps, solid fills,
// 1:1 copies under a copy mode, and clipped text. Implemented over GDI for the
// program and over plain pixel arrays for the native tests.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

// 0x00BBGGRR, or 0x80000000 plus a system-colour index, resolved only when drawn.
using TColor = uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSystemColor = 0x80000000;
constexpr TColor clWindowText = clSystemColor | 8;

constexpr bool IsSystemColor(TColor color) { return (color & clSystemColor) != 0; }
constexpr int SystemColorIndex(TColor color) { return static_cast<int>(color & 0xFF); }

// How a copied image combines with the destination; the values are the raster
// operation codes GDI uses, so the GDI canvas passes them straight through.
using TCopyMode = uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcInvert = 0x00660046;

enum TBrushStyle : uint8_t { bsSolid, bsClear };

// Right and bottom are exclusive.
struct TRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  friend bool operator==(const TRect& a, const TRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
};

struct TSize {
  int32_t cx = 0;
  int32_t cy = 0;
};

// height is in the system's logical units: negative is the character height,
// positive the cell height (-11 is 8 point at 96 dots per inch).
struct TFontSpec {
  std::string name = "Tahoma";
  int32_t height = -11;
  bool bold = false;
  TColor color = clWindowText;
  friend bool operator==(const TFontSpec& a, const TFontSpec& b) {
    return a.name == b.name && a.height == b.height && a.bold == b.bold && a.color == b.color;
  }
};

class OffscreenBitmap;

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void SetCopyMode(TCopyMode mode) = 0;

  virtual void SetBrush(TColor color, TBrushStyle style) = 0;
  virtual void SetBrushStyle(TBrushStyle style) = 0;
  // Fills with the brush; a clear brush fills nothing.
  virtual void FillRect(const TRect& rect) = 0;

  // Combines source's srcRect into dest under the current copy mode. The gauge
  // only copies at 1:1; source may be this canvas itself.
  virtual void CopyRect(const TRect& dest, Canvas& source, const TRect& srcRect) = 0;

  virtual void SetFont(const TFontSpec& font) = 0;
  virtual TSize TextExtent(const std::string& text) = 0;
  // Draws text (UTF-8) with the top-left of its cell at (x, y), nothing outside
  // clip. With a clear brush only the glyphs are drawn; with a solid brush the
  // whole clip rectangle is filled with it first.
  virtual void TextRect(const TRect& clip, int32_t x, int32_t y, const std::string& text) = 0;

  // A new 0 x 0 bitmap in this surface's pixel format.
  virtual std::unique_ptr<OffscreenBitmap> CreateBitmap() = 0;
};

// Resizing keeps the pixels of the overlapping top-left part; new pixels are
// undefined until drawn. Creation failures throw.
class OffscreenBitmap {
 public:
  virtual ~OffscreenBitmap() = default;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  virtual void SetWidth(int32_t width) = 0;
  virtual void SetHeight(int32_t height) = 0;
  virtual Canvas& GetCanvas() = 0;
};
