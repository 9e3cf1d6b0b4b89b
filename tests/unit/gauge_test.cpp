// TGauge's properties and arithmetic: defaults, clamping, range errors, loading,
// when a write repaints, percent done and the bar length.
#include <cstdint>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "gauge/gauges.h"
#include "gauge_fake_parent.h"

namespace {

struct Gauge {
  RecordingParent parent;
  TGauge gauge{&parent};
  Gauge() {
    gauge.SetBounds(56, 88, 273, 17);
    parent.marks.clear();
    parent.repaints = 0;
  }
};

TEST(Gauge, StartsWithItsDefaults) {
  RecordingParent parent;
  TGauge gauge(&parent);
  EXPECT_EQ(gauge.MinValue(), 0);
  EXPECT_EQ(gauge.MaxValue(), 100);
  EXPECT_EQ(gauge.Progress(), 0);
  EXPECT_EQ(gauge.Kind(), gkHorizontalBar);
  EXPECT_TRUE(gauge.ShowText());
  EXPECT_EQ(gauge.BorderStyle(), bsSingle);
  EXPECT_EQ(gauge.ForeColor(), clBlack);
  EXPECT_EQ(gauge.BackColor(), clWhite);
  EXPECT_EQ(gauge.Width(), 100);
  EXPECT_EQ(gauge.Height(), 100);
  EXPECT_TRUE(gauge.Opaque());
  ASSERT_EQ(parent.controls.size(), 1u);
  EXPECT_EQ(parent.controls[0], &gauge);
}

TEST(Gauge, LeavesItsParentWhenDestroyed) {
  RecordingParent parent;
  { TGauge gauge(&parent); }
  EXPECT_TRUE(parent.controls.empty());
}

TEST(Gauge, ProgressIsClampedIntoTheRange) {
  struct Case {
    int32_t min, max, value, stored;
  } cases[] = {
      {0, 100, -5, 0},     {0, 100, 250, 100}, {0, 100, 42, 42},
      {10, 10, 3, 10},     {10, 10, 99, 10},
  };
  for (const Case& c : cases) {
    Gauge g;
    g.gauge.SetMaxValue(c.max);
    g.gauge.SetMinValue(c.min);
    g.gauge.SetProgress(c.value);
    EXPECT_EQ(g.gauge.Progress(), c.stored) << c.min << ".." << c.max << " <- " << c.value;
  }
}

TEST(Gauge, LowerBoundWinsWhenALoadedRangeIsInverted) {
  Gauge g;
  g.gauge.BeginLoading();
  g.gauge.SetMinValue(150);
  g.gauge.EndLoading();
  g.gauge.SetProgress(120);
  EXPECT_EQ(g.gauge.Progress(), 150);
}

TEST(Gauge, ProgressWriteRepaintsOnlyWhenPercentDoneChanges) {
  Gauge g;
  g.gauge.SetMaxValue(1000);
  g.parent.repaints = 0;

  g.gauge.SetProgress(5);  // still 0 %
  EXPECT_EQ(g.gauge.Progress(), 5);
  EXPECT_EQ(g.parent.repaints, 0);

  g.gauge.SetProgress(10);  // 1 %
  EXPECT_EQ(g.parent.repaints, 1);

  g.gauge.SetProgress(10);  // same value
  g.gauge.SetProgress(1000);
  g.parent.repaints = 0;
  g.gauge.SetProgress(5000);  // clamps to the current value
  EXPECT_EQ(g.parent.repaints, 0);
  EXPECT_TRUE(g.parent.marks.empty());
}

TEST(Gauge, NothingIsPaintedWhileHiddenOrWithoutAWindow) {
  Gauge g;
  g.parent.windowExists = false;
  g.gauge.SetProgress(10);
  g.parent.windowExists = true;
  g.gauge.SetVisible(false);
  g.parent.marks.clear();
  g.gauge.SetProgress(20);
  g.gauge.SetShowText(false);
  EXPECT_EQ(g.gauge.Progress(), 20);
  EXPECT_EQ(g.parent.repaints, 0);
  EXPECT_TRUE(g.parent.marks.empty());
}

TEST(Gauge, ShowingOnlyMarksTheRectangleWithoutErase) {
  Gauge g;
  g.gauge.SetVisible(false);
  g.parent.marks.clear();
  g.gauge.SetVisible(true);
  EXPECT_EQ(g.parent.repaints, 0);
  ASSERT_EQ(g.parent.marks.size(), 1u);
  EXPECT_EQ(g.parent.marks[0].first, (TRect{56, 88, 329, 105}));
  EXPECT_FALSE(g.parent.marks[0].second);
}

TEST(Gauge, RangeSettersPullProgressAndAlwaysRepaint) {
  Gauge g;
  g.gauge.SetMaxValue(1000);
  g.gauge.SetProgress(5);  // 0 %
  g.parent.repaints = 0;
  g.gauge.SetMinValue(5);  // percent done stays 0, still repainted
  EXPECT_EQ(g.gauge.Progress(), 5);
  EXPECT_EQ(g.parent.repaints, 1);
  g.gauge.SetMinValue(40);
  EXPECT_EQ(g.gauge.Progress(), 40);

  g.gauge.SetProgress(800);
  g.gauge.SetMaxValue(500);
  EXPECT_EQ(g.gauge.Progress(), 500);
  g.parent.repaints = 0;
  g.gauge.SetMaxValue(500);
  g.gauge.SetMinValue(40);
  EXPECT_EQ(g.parent.repaints, 0);
}

TEST(Gauge, EqualBoundsAreAcceptedAndShowZeroPercent) {
  Gauge g;
  g.gauge.SetProgress(70);
  g.gauge.SetMinValue(100);
  EXPECT_EQ(g.gauge.MinValue(), 100);
  EXPECT_EQ(g.gauge.Progress(), 100);
  EXPECT_EQ(g.gauge.PercentDone(), 0);
  g.gauge.SetMinValue(0);
  g.gauge.SetMaxValue(0);
  EXPECT_EQ(g.gauge.MaxValue(), 0);
  EXPECT_EQ(g.gauge.Progress(), 0);
  EXPECT_EQ(g.gauge.PercentDone(), 0);
}

TEST(Gauge, InvertingTheRangeFailsWithTheAllowedSpan) {
  struct Case {
    bool setMin;
    int32_t value;
    const char* message;
  } cases[] = {
      {true, 150, "Value must be between -2147483647 and 99"},
      {false, -1, "Value must be between 1 and 2147483647"},
  };
  for (const Case& c : cases) {
    Gauge g;
    g.gauge.SetProgress(30);
    g.parent.repaints = 0;
    try {
      if (c.setMin) {
        g.gauge.SetMinValue(c.value);
      } else {
        g.gauge.SetMaxValue(c.value);
      }
      ADD_FAILURE() << "no error for " << c.value;
    } catch (const EInvalidOperation& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_EQ(g.gauge.MinValue(), 0);
    EXPECT_EQ(g.gauge.MaxValue(), 100);
    EXPECT_EQ(g.gauge.Progress(), 30);
    EXPECT_EQ(g.parent.repaints, 0);
  }
}

TEST(Gauge, ErrorMessageFollowsTheOtherBound) {
  Gauge g;
  g.gauge.SetMaxValue(500);
  g.gauge.SetMinValue(-20);
  try {
    g.gauge.SetMinValue(501);
    ADD_FAILURE();
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Value must be between -2147483647 and 499");
  }
  try {
    g.gauge.SetMaxValue(-21);
    ADD_FAILURE();
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Value must be between -19 and 2147483647");
  }
}

TEST(Gauge, LoadingTakesAnyRange) {
  Gauge g;
  g.gauge.BeginLoading();
  g.gauge.SetMinValue(150);
  g.gauge.SetMaxValue(-1);
  g.gauge.EndLoading();
  EXPECT_EQ(g.gauge.MinValue(), 150);
  EXPECT_EQ(g.gauge.MaxValue(), -1);
  EXPECT_THROW(g.gauge.SetMaxValue(-2), EInvalidOperation);
}

TEST(Gauge, PlainSettersRepaintOnlyOnChange) {
  Gauge g;
  g.gauge.SetShowText(true);
  g.gauge.SetBorderStyle(bsSingle);
  g.gauge.SetForeColor(clBlack);
  g.gauge.SetBackColor(clWhite);
  g.gauge.SetKind(gkHorizontalBar);
  g.gauge.SetFont(g.gauge.Font());
  EXPECT_EQ(g.parent.repaints, 0);
  g.gauge.SetShowText(false);
  g.gauge.SetBorderStyle(bsNone);
  g.gauge.SetForeColor(0x0000FF);
  g.gauge.SetBackColor(0x00FF00);
  TFontSpec font = g.gauge.Font();
  font.bold = true;
  g.gauge.SetFont(font);
  EXPECT_EQ(g.parent.repaints, 5);
}

TEST(PercentDone, TruncatesTowardZeroWithoutOverflow) {
  struct Case {
    int32_t min, max, progress, percent;
  } cases[] = {
      {0, 3, 1, 33},
      {0, 3, -1, -33},
      {0, 1000, 5, 0},
      {0, 1000, 10, 1},
      {0, 100, 100, 100},
      {7, 7, 7, 0},
      {0, 2147483647, 2147483647, 100},   // 100 x d needs more than 32 bits
      {0, 2147483647, 1073741824, 50},
      {-2147483647, 0, 0, 100},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PercentDone(c.min, c.max, c.progress), c.percent)
        << c.min << ".." << c.max << " at " << c.progress;
  }
}

TEST(BarLength, ExactWholeProductsCanFallOneShort) {
  EXPECT_EQ(BarLength(10, 10), 0);
  EXPECT_EQ(BarLength(20, 5), 0);
  EXPECT_EQ(BarLength(5, 20), 0);
  EXPECT_EQ(BarLength(100, 272), 272);
  EXPECT_EQ(BarLength(0, 272), 0);
  EXPECT_EQ(BarLength(50, 0), 0);
  EXPECT_EQ(BarLength(-50, 272), -136);
}

TEST(BarLength, ForTheFirstRunGaugeIsTheIntegerShare) {
  for (int32_t p = 0; p <= 100; ++p) EXPECT_EQ(BarLength(p, 272), 272 * p / 100) << p;
}

// Where long double is the x87 extended format (native x86 builds), the
// integer emulation must agree with the hardware everywhere.
TEST(BarLength, AgreesWithX87ExtendedArithmetic) {
  if (std::numeric_limits<long double>::digits != 64) GTEST_SKIP() << "no 80-bit long double";
  auto hardware = [](int32_t p, int32_t w) {
    const volatile long double fraction = static_cast<long double>(p) * 0.01L;
    const long double product = static_cast<long double>(w) * fraction;
    const long double limit = std::numeric_limits<int32_t>::max();
    if (product >= limit) return std::numeric_limits<int32_t>::max();
    if (product <= -limit - 1) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(product);
  };
  for (int32_t p = -300; p <= 300; ++p) {
    for (int32_t w = -50; w <= 1200; ++w) ASSERT_EQ(BarLength(p, w), hardware(p, w)) << p << " " << w;
  }
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int32_t> any(std::numeric_limits<int32_t>::min(),
                                             std::numeric_limits<int32_t>::max());
  for (int i = 0; i < 200000; ++i) {
    const int32_t p = any(random) >> (random() % 32);
    const int32_t w = any(random) >> (random() % 32);
    ASSERT_EQ(BarLength(p, w), hardware(p, w)) << p << " " << w;
  }
}

}  // namespace
