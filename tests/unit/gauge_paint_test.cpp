// TGauge's pictures, pixel by pixel, on the software canvas.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "gauge/gauges.h"
#include "support/soft_canvas.h"
#include "gauge_fake_parent.h"

namespace {

constexpr uint32_t kUntouched = 0x123456;

struct PaintedGauge {
  RecordingParent parent;
  TGauge gauge{&parent};

  PaintedGauge(int32_t width, int32_t height, int32_t progress) {
    gauge.SetBounds(0, 0, width, height);
    gauge.SetProgress(progress);
  }
  std::unique_ptr<SoftBitmap> Paint() {
    auto picture = std::make_unique<SoftBitmap>(gauge.Width(), gauge.Height(), kUntouched);
    gauge.Paint(picture->GetCanvas());
    return picture;
  }
};

// The glyph pixels of text drawn white at (x, y) within clip, as a black bitmap.
std::unique_ptr<SoftBitmap> GlyphMask(const TGauge& gauge, const TRect& clip, int32_t x,
                                      int32_t y, const std::string& text) {
  auto mask = std::make_unique<SoftBitmap>(gauge.Width(), gauge.Height(), 0);
  SoftCanvas& canvas = mask->GetCanvas();
  TFontSpec font = gauge.Font();
  font.color = clWhite;
  canvas.SetFont(font);
  canvas.SetBrushStyle(bsClear);
  canvas.TextRect(clip, x, y, text);
  return mask;
}

TSize Extent(const TGauge& gauge, const std::string& text) {
  SoftBitmap scratch(1, 1);
  scratch.GetCanvas().SetFont(gauge.Font());
  return scratch.GetCanvas().TextExtent(text);
}

bool OnFrame(int32_t x, int32_t y, int32_t w, int32_t h) {
  return x == 0 || y == 0 || x == w - 1 || y == h - 1;
}

void ExpectFrameBlack(const SoftBitmap& picture) {
  for (int32_t y = 0; y < picture.Height(); ++y) {
    for (int32_t x = 0; x < picture.Width(); ++x) {
      if (OnFrame(x, y, picture.Width(), picture.Height())) {
        ASSERT_EQ(picture.Pixel(x, y), 0u) << "frame at " << x << "," << y;
      }
    }
  }
}

// The first-run gauge: 273 x 17, single border, so R is (1, 1, 272, 16).
struct PbRow {
  int32_t progress;
  const char* text;
  int32_t length;       // L
  int32_t lastFilled;   // last filled column, 0 when none
};
const PbRow kPbRows[] = {
    {0, "0%", 0, 0},       {1, "1%", 2, 1},       {2, "2%", 5, 4},     {3, "3%", 8, 7},
    {30, "30%", 81, 80},   {31, "31%", 84, 83},   {32, "32%", 87, 86},
    {90, "90%", 244, 243}, {91, "91%", 247, 246}, {92, "92%", 250, 249},
    {100, "100%", 272, 271},
};

TEST(GaugePicture, FirstRunGaugeBarForEveryValueTheBackupSets) {
  for (const PbRow& row : kPbRows) {
    SCOPED_TRACE(row.progress);
    EXPECT_EQ(BarLength(row.progress, 272), row.length);
    PaintedGauge g(273, 17, row.progress);
    g.gauge.SetShowText(false);
    const auto picture = g.Paint();
    for (int32_t y = 0; y < 17; ++y) {
      for (int32_t x = 0; x < 273; ++x) {
        uint32_t expected;
        if (OnFrame(x, y, 273, 17)) {
          expected = 0x000000;
        } else {
          expected = x <= row.lastFilled ? 0x000000 : 0xFFFFFF;
        }
        ASSERT_EQ(picture->Pixel(x, y), expected) << x << "," << y;
      }
    }
  }
}

TEST(GaugePicture, FirstRunGaugeTextInvertsExactlyTheGlyphPixels) {
  for (const PbRow& row : kPbRows) {
    SCOPED_TRACE(row.progress);
    PaintedGauge plain(273, 17, row.progress);
    plain.gauge.SetShowText(false);
    const auto bar = plain.Paint();

    PaintedGauge g(273, 17, row.progress);
    const auto picture = g.Paint();
    const TSize extent = Extent(g.gauge, row.text);
    ASSERT_EQ((16 - extent.cy) / 2, 1);  // the window font's 13-pixel cell sits on row 1
    const auto mask =
        GlyphMask(g.gauge, TRect{1, 1, 272, 16}, (272 - extent.cx) / 2, 1, row.text);
    int glyphPixels = 0;
    for (int32_t y = 0; y < 17; ++y) {
      for (int32_t x = 0; x < 273; ++x) {
        const bool glyph = mask->Pixel(x, y) != 0;
        glyphPixels += glyph;
        const uint32_t expected = glyph ? bar->Pixel(x, y) ^ 0xFFFFFF : bar->Pixel(x, y);
        ASSERT_EQ(picture->Pixel(x, y), expected) << x << "," << y;
      }
    }
    EXPECT_GT(glyphPixels, 0);
    ExpectFrameBlack(*picture);
  }
}

TEST(GaugePicture, TextCrossingTheBarEdgeShowsTheInverseOfEachSide) {
  struct Colors {
    TColor fore, back;
  } colorSets[] = {{clBlack, clWhite}, {0x0000FF, 0x00FF00}};
  for (const Colors& colors : colorSets) {
    PaintedGauge g(273, 17, 50);  // "50%" spans columns 127..144, the bar ends at 135
    g.gauge.SetForeColor(colors.fore);
    g.gauge.SetBackColor(colors.back);
    const auto picture = g.Paint();
    const TSize extent = Extent(g.gauge, "50%");
    const auto mask = GlyphMask(g.gauge, TRect{1, 1, 272, 16}, (272 - extent.cx) / 2,
                                (16 - extent.cy) / 2, "50%");
    int overFilled = 0, overEmpty = 0;
    for (int32_t y = 1; y < 16; ++y) {
      for (int32_t x = 1; x < 272; ++x) {
        const bool filled = x <= 135;
        const uint32_t under = filled ? colors.fore : colors.back;
        if (mask->Pixel(x, y) != 0) {
          ASSERT_EQ(picture->Pixel(x, y), under ^ 0xFFFFFF) << x << "," << y;
          (filled ? overFilled : overEmpty)++;
        } else {
          ASSERT_EQ(picture->Pixel(x, y), under) << x << "," << y;
        }
      }
    }
    EXPECT_GT(overFilled, 0);
    EXPECT_GT(overEmpty, 0);
    ExpectFrameBlack(*picture);
  }
}

TEST(GaugePicture, TextWiderThanTheBarIsCentredTowardZeroAndCutAtTheFrame) {
  // "100%" is 24 pixels wide; R + 1 is 21 wide, so X = -3 div 2 = -1.
  PaintedGauge g(22, 17, 100);
  g.gauge.SetBackColor(0x00FF00);
  const auto picture = g.Paint();
  ASSERT_EQ(Extent(g.gauge, "100%").cx, 24);
  const auto mask = GlyphMask(g.gauge, TRect{1, 1, 21, 16}, -1, 1, "100%");
  const auto shifted = GlyphMask(g.gauge, TRect{1, 1, 21, 16}, -2, 1, "100%");
  bool differs = false;
  for (int32_t y = 0; y < 17; ++y) {
    for (int32_t x = 0; x < 22; ++x) {
      differs |= mask->Pixel(x, y) != shifted->Pixel(x, y);
      if (OnFrame(x, y, 22, 17)) continue;
      ASSERT_EQ(picture->Pixel(x, y), mask->Pixel(x, y) != 0 ? 0xFFFFFFu : 0x000000u)
          << x << "," << y;
    }
  }
  EXPECT_TRUE(differs);  // the test can tell -1 from -2
  ExpectFrameBlack(*picture);
}

TEST(GaugePicture, LargeTextNeverTouchesTheFrame) {
  for (int32_t progress : {0, 50, 100}) {
    PaintedGauge g(12, 9, progress);
    TFontSpec font = g.gauge.Font();
    font.height = -40;  // glyphs far larger than the gauge on every side
    font.bold = true;
    g.gauge.SetFont(font);
    const auto picture = g.Paint();
    ExpectFrameBlack(*picture);
    int inverted = 0;
    for (int32_t y = 1; y < 8; ++y) {
      for (int32_t x = 1; x < 11; ++x) {
        const uint32_t bar = x < BarLength(progress, 11) ? 0x000000 : 0xFFFFFF;
        inverted += picture->Pixel(x, y) == (bar ^ 0xFFFFFF);
      }
    }
    EXPECT_GT(inverted, 0) << progress;
  }
}

TEST(GaugePicture, WithoutBorderTheBarReachesEveryEdge) {
  PaintedGauge g(273, 17, 100);
  g.gauge.SetBorderStyle(bsNone);
  g.gauge.SetShowText(false);
  g.gauge.SetForeColor(0x0000FF);
  auto picture = g.Paint();
  for (int32_t y = 0; y < 17; ++y) {
    for (int32_t x = 0; x < 273; ++x) ASSERT_EQ(picture->Pixel(x, y), 0x0000FFu) << x << "," << y;
  }
  // At 50 %, W is 274 and the bar covers columns 0..136 on every row.
  g.gauge.SetProgress(50);
  picture = g.Paint();
  for (int32_t y = 0; y < 17; ++y) {
    for (int32_t x = 0; x < 273; ++x) {
      ASSERT_EQ(picture->Pixel(x, y), x <= 136 ? 0x0000FFu : 0xFFFFFFu) << x << "," << y;
    }
  }
}

TEST(GaugePicture, EqualBoundsShowAnEmptyBarAndZeroPercent) {
  PaintedGauge g(273, 17, 0);
  g.gauge.SetMaxValue(0);
  const auto picture = g.Paint();
  PaintedGauge zero(273, 17, 0);
  const auto expected = zero.Paint();
  for (int32_t y = 0; y < 17; ++y) {
    for (int32_t x = 0; x < 273; ++x) ASSERT_EQ(picture->Pixel(x, y), expected->Pixel(x, y));
  }
}

TEST(GaugePicture, RepaintRequestPaintsTheNewPercentAtOnce) {
  PaintedGauge g(273, 17, 0);
  g.gauge.SetMaxValue(1000);
  g.parent.repaints = 0;
  g.gauge.SetProgress(10);
  ASSERT_EQ(g.parent.repaints, 1);
  PaintedGauge onePercent(273, 17, 1);
  const auto expected = onePercent.Paint();
  for (int32_t y = 0; y < 17; ++y) {
    for (int32_t x = 0; x < 273; ++x) {
      ASSERT_EQ(g.parent.lastPicture->Pixel(x, y), expected->Pixel(x, y)) << x << "," << y;
    }
  }
}

TEST(BlackBitmap, TakesTheSizeAndABlackFill) {
  SoftBitmap target(1, 1);
  const auto bitmap = BlackBitmap(target.GetCanvas(), 7, 3);
  EXPECT_EQ(bitmap->Width(), 7);
  EXPECT_EQ(bitmap->Height(), 3);
  const auto& pixels = static_cast<const SoftBitmap&>(*bitmap);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 7; ++x) EXPECT_EQ(pixels.Pixel(x, y), 0u) << x << "," << y;
  }
}

TEST(SoftCanvas, CopyModesCombinePixelsExactly) {
  SoftBitmap source(2, 1);
  source.SetPixel(0, 0, 0x0F0F0F);
  source.SetPixel(1, 0, 0x00FF00);
  SoftBitmap dest(2, 1, 0xFF00FF);
  SoftCanvas& canvas = dest.GetCanvas();
  const TRect all{0, 0, 2, 1};
  canvas.SetCopyMode(cmSrcInvert);
  canvas.CopyRect(all, source.GetCanvas(), all);
  EXPECT_EQ(dest.Pixel(0, 0), 0xF00FF0u);
  EXPECT_EQ(dest.Pixel(1, 0), 0xFFFFFFu);
  canvas.SetCopyMode(cmSrcCopy);
  canvas.CopyRect(all, source.GetCanvas(), all);
  EXPECT_EQ(dest.Pixel(0, 0), 0x0F0F0Fu);
  canvas.SetCopyMode(cmBlackness);
  canvas.CopyRect(all, canvas, all);
  EXPECT_EQ(dest.Pixel(0, 0), 0u);
  EXPECT_EQ(dest.Pixel(1, 0), 0u);
}

}  // namespace
