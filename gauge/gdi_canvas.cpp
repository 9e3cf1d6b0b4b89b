#include "gauge/gdi_canvas.h"

#include <algorithm>

#include "common/utf.h"

namespace {

// An RGB colour as it is, a system colour as the user's current setting.
COLORREF ResolveGdiColor(TColor color) {
  return IsSystemColor(color) ? GetSysColor(SystemColorIndex(color)) : (color & 0xFFFFFF);
}

}  // namespace

HFONT CreateGdiFont(const TFontSpec& font, BYTE quality) {
  LOGFONTW logFont{};
  logFont.lfHeight = font.height;
  logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  logFont.lfCharSet = DEFAULT_CHARSET;
  logFont.lfQuality = quality;
  lstrcpynW(logFont.lfFaceName, Widen(font.name).c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&logFont);
}

// ---- GdiCanvas ----

void GdiCanvas::FillRect(const TRect& rect) {
  if (brushStyle_ == bsClear || rect.IsEmpty()) return;
  UniqueBrush brush(CreateSolidBrush(ResolveGdiColor(brushColor_)));
  if (!brush) throw EOutOfResources();
  const RECT rc = ToRect(rect);
  ::FillRect(dc_, &rc, brush.Get());
}

void GdiCanvas::CopyRect(const TRect& dest, Canvas& source, const TRect& srcRect) {
  auto* gdi = dynamic_cast<GdiCanvas*>(&source);
  if (gdi == nullptr) throw std::invalid_argument("GdiCanvas can only copy from a GdiCanvas");
  StretchBlt(dc_, dest.left, dest.top, dest.Width(), dest.Height(), gdi->dc_, srcRect.left,
             srcRect.top, srcRect.Width(), srcRect.Height(), copyMode_);
}

void GdiCanvas::SetFont(const TFontSpec& font) {
  if (font == font_) return;
  font_ = font;
  // The handle is made again on next use; deselect before deleting it.
  fontSelection_.Restore();
  fontHandle_.Reset();
}

void GdiCanvas::SelectFont() {
  if (fontHandle_) return;
  // The percentage is drawn by inverting the pixels under the glyphs: smoothed
  // edges would invert to stray colours, so the glyphs are drawn solid.
  fontHandle_.Reset(CreateGdiFont(font_, NONANTIALIASED_QUALITY));
  if (!fontHandle_) throw EOutOfResources();
  fontSelection_.Select(dc_, fontHandle_.Get());
}

TSize GdiCanvas::TextExtent(const std::string& text) {
  SelectFont();
  const std::wstring wide = Widen(text);
  SIZE size{};
  if (!GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size)) {
    return TSize{};
  }
  return TSize{size.cx, size.cy};
}

void GdiCanvas::TextRect(const TRect& clip, int32_t x, int32_t y, const std::string& text) {
  SelectFont();
  const std::wstring wide = Widen(text);
  SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  SetTextColor(dc_, ResolveGdiColor(font_.color));
  UINT options = ETO_CLIPPED;
  if (brushStyle_ == bsClear) {
    SetBkMode(dc_, TRANSPARENT);
  } else {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, ResolveGdiColor(brushColor_));
    options |= ETO_OPAQUE;
  }
  const RECT rc = ToRect(clip);
  ExtTextOutW(dc_, x, y, options, &rc, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
}

std::unique_ptr<OffscreenBitmap> GdiCanvas::CreateBitmap() { return std::make_unique<GdiBitmap>(); }

// ---- GdiBitmap ----

// A memory DC made for the screen, so that the bitmaps selected into it can be
// the screen's colour format rather than the memory DC's monochrome default.
GdiBitmap::GdiBitmap() : dc_(CreateCompatibleDC(nullptr)), canvas_(dc_.Get()) {
  if (!dc_) throw EOutOfResources();
}

void GdiBitmap::Resize(int32_t width, int32_t height) {
  width = std::max<int32_t>(width, 0);
  height = std::max<int32_t>(height, 0);
  if (width == width_ && height == height_) return;

  UniqueBitmap fresh;
  if (width > 0 && height > 0) {
    {
      WindowDc screen(nullptr);
      if (!screen) throw EOutOfResources();
      fresh.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
    }
    if (!fresh) throw EOutOfResources();
    if (bitmap_) {
      UniqueMemoryDc copy(CreateCompatibleDC(dc_.Get()));
      if (!copy) throw EOutOfResources();
      SelectedObject target(copy.Get(), fresh.Get());
      BitBlt(copy.Get(), 0, 0, std::min(width, width_), std::min(height, height_), dc_.Get(), 0, 0,
             SRCCOPY);
    }
  }
  selection_.Restore();
  bitmap_ = std::move(fresh);
  if (bitmap_) selection_.Select(dc_.Get(), bitmap_.Get());
  width_ = width;
  height_ = height;
}
