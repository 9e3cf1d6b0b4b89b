#include "support/soft_canvas.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

using GlyphRows = const char* const[kGlyphHeight];

// '#' marks a glyph pixel.
GlyphRows kDigits[10] = {
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."},
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},
    {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."},
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},
    {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."},
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},
    {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."},
};
GlyphRows kPercent = {"##..#", "##.#.", "...#.", "..#..", ".#...", ".#.##", "#..##"};
GlyphRows kMinus = {".....", ".....", ".....", "#####", ".....", ".....", "....."};
GlyphRows kSpace = {".....", ".....", ".....", ".....", ".....", ".....", "....."};
GlyphRows kBox = {"#####", "#...#", "#...#", "#...#", "#...#", "#...#", "#####"};

const GlyphRows& GlyphFor(char32_t c) {
  if (c >= U'0' && c <= U'9') return kDigits[c - U'0'];
  if (c == U'%') return kPercent;
  if (c == U'-') return kMinus;
  if (c == U' ') return kSpace;
  return kBox;
}

// One glyph per code point; the pictures only need to tell characters apart
// for ASCII, so other code points share the box and are not decoded further.
std::vector<char32_t> CodePoints(const std::string& text) {
  std::vector<char32_t> points;
  for (unsigned char byte : text) {
    if ((byte & 0xC0) == 0x80) continue;  // continuation byte
    points.push_back(byte < 0x80 ? char32_t{byte} : char32_t{0xFFFD});
  }
  return points;
}

TRect Intersect(const TRect& a, const TRect& b) {
  return TRect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
}

}  // namespace

uint32_t SoftSystemColor(int index) {
  switch (index) {
    case 5:  // window
      return 0xFFFFFF;
    case 15:  // button face
      return 0xC0C0C0;
    default:  // window frame (6), window text (8) and the rest
      return 0x000000;
  }
}

uint32_t ResolveSoftColor(TColor color) {
  return IsSystemColor(color) ? SoftSystemColor(SystemColorIndex(color)) : (color & 0xFFFFFF);
}

SoftFontMetrics MeasureSoftFont(const TFontSpec& font) {
  SoftFontMetrics m{};
  m.cellHeight = font.height < 0 ? 2 - font.height : std::max<int32_t>(font.height, 1);
  m.scale = std::max<int32_t>(1, m.cellHeight / 13);
  m.advance = (kGlyphWidth + 1) * m.scale + (font.bold ? m.scale : 0);
  m.glyphTop = std::max<int32_t>(0, (m.cellHeight - kGlyphHeight * m.scale) / 2);
  return m;
}

// ---- SoftBitmap ----

SoftBitmap::SoftBitmap(int32_t width, int32_t height, uint32_t fill) : canvas_(*this) {
  Resize(width, height);
  std::fill(pixels_.begin(), pixels_.end(), fill);
}

void SoftBitmap::Resize(int32_t width, int32_t height) {
  width = std::max<int32_t>(width, 0);
  height = std::max<int32_t>(height, 0);
  if (width == width_ && height == height_) return;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  const int32_t keepWidth = std::min(width, width_);
  const int32_t keepHeight = std::min(height, height_);
  for (int32_t y = 0; y < keepHeight; ++y) {
    for (int32_t x = 0; x < keepWidth; ++x) {
      pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
          Pixel(x, y);
    }
  }
  pixels_.swap(pixels);
  width_ = width;
  height_ = height;
}

// ---- SoftCanvas ----

void SoftCanvas::FillRect(const TRect& rect) {
  if (brushStyle_ == bsClear) return;
  const uint32_t color = ResolveSoftColor(brushColor_);
  const TRect area = Intersect(rect, TRect{0, 0, bitmap_.Width(), bitmap_.Height()});
  for (int32_t y = area.top; y < area.bottom; ++y) {
    for (int32_t x = area.left; x < area.right; ++x) bitmap_.SetPixel(x, y, color);
  }
}

void SoftCanvas::CopyRect(const TRect& dest, Canvas& source, const TRect& srcRect) {
  auto* soft = dynamic_cast<SoftCanvas*>(&source);
  if (soft == nullptr) throw std::invalid_argument("SoftCanvas can only copy from a SoftCanvas");
  if (copyMode_ != cmBlackness && copyMode_ != cmSrcCopy && copyMode_ != cmSrcInvert) {
    throw std::invalid_argument("unsupported copy mode");
  }
  if (dest.IsEmpty() || srcRect.IsEmpty()) return;
  const SoftBitmap& from = soft->bitmap_;
  // Read the whole source first so that a copy of a bitmap onto itself sees
  // the original pixels throughout.
  const int32_t dw = dest.Width(), dh = dest.Height();
  std::vector<int64_t> sourcePixels(static_cast<size_t>(dw) * static_cast<size_t>(dh), -1);
  if (copyMode_ != cmBlackness) {
    for (int32_t y = 0; y < dh; ++y) {
      // Nearest pixel when the sizes differ; the gauge itself copies 1:1.
      const int32_t sy =
          srcRect.top + static_cast<int32_t>(int64_t{y} * srcRect.Height() / dh);
      for (int32_t x = 0; x < dw; ++x) {
        const int32_t sx =
            srcRect.left + static_cast<int32_t>(int64_t{x} * srcRect.Width() / dw);
        if (from.Contains(sx, sy)) {
          sourcePixels[static_cast<size_t>(y) * static_cast<size_t>(dw) + static_cast<size_t>(x)] =
              from.Pixel(sx, sy);
        }
      }
    }
  }
  for (int32_t y = 0; y < dh; ++y) {
    for (int32_t x = 0; x < dw; ++x) {
      const int32_t tx = dest.left + x, ty = dest.top + y;
      if (!bitmap_.Contains(tx, ty)) continue;
      if (copyMode_ == cmBlackness) {
        bitmap_.SetPixel(tx, ty, 0);
        continue;
      }
      const int64_t s =
          sourcePixels[static_cast<size_t>(y) * static_cast<size_t>(dw) + static_cast<size_t>(x)];
      if (s < 0) continue;  // outside the source bitmap
      const uint32_t value = static_cast<uint32_t>(s);
      bitmap_.SetPixel(tx, ty, copyMode_ == cmSrcCopy ? value : bitmap_.Pixel(tx, ty) ^ value);
    }
  }
}

TSize SoftCanvas::TextExtent(const std::string& text) {
  const SoftFontMetrics m = MeasureSoftFont(font_);
  return TSize{static_cast<int32_t>(CodePoints(text).size()) * m.advance, m.cellHeight};
}

void SoftCanvas::TextRect(const TRect& clip, int32_t x, int32_t y, const std::string& text) {
  const TRect area = Intersect(clip, TRect{0, 0, bitmap_.Width(), bitmap_.Height()});
  const SoftFontMetrics m = MeasureSoftFont(font_);
  const std::vector<char32_t> points = CodePoints(text);
  if (brushStyle_ == bsSolid) {
    const uint32_t back = ResolveSoftColor(brushColor_);
    for (int32_t py = area.top; py < area.bottom; ++py) {
      for (int32_t px = area.left; px < area.right; ++px) bitmap_.SetPixel(px, py, back);
    }
  }
  const uint32_t color = ResolveSoftColor(font_.color);
  const int32_t strokeWidth = font_.bold ? 2 * m.scale : m.scale;
  int32_t originX = x;
  for (char32_t c : points) {
    const GlyphRows& rows = GlyphFor(c);
    for (int row = 0; row < kGlyphHeight; ++row) {
      for (int col = 0; col < kGlyphWidth; ++col) {
        if (rows[row][col] != '#') continue;
        const int32_t left = originX + col * m.scale;
        const int32_t top = y + m.glyphTop + row * m.scale;
        for (int32_t py = top; py < top + m.scale; ++py) {
          for (int32_t px = left; px < left + strokeWidth; ++px) {
            if (px >= area.left && px < area.right && py >= area.top && py < area.bottom) {
              bitmap_.SetPixel(px, py, color);
            }
          }
        }
      }
    }
    originX += m.advance;
  }
}

std::unique_ptr<OffscreenBitmap> SoftCanvas::CreateBitmap() { return std::make_unique<SoftBitmap>(); }
