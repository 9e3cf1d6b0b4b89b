#include <gtest/gtest.h>

#include <string>

#include "gauge/gauge_accessible.h"
#include "gauge_fake_parent.h"

namespace {

const std::string kLabel = "N\xC3\xA9h\xC3\xA1ny file biztons\xC3\xA1gi ment\xC3\xA9s\xC3\xA9nek elv\xC3\xA9gz\xC3\xA9se sz\xC3\xBCks\xC3\xA9ges!";

// Whatever the range, a screen reader hears a progress bar named by its label
// and the percent the gauge shows; busy and hidden show in its state.
TEST(GaugeAnswers, AProgressBarNamedByItsLabelSayingThePercentShown) {
  struct Case {
    int32_t min, max, progress;
    bool visible, busy;
    const char* value;
    uint32_t state;
  };
  const Case cases[] = {
      {0, 100, 0, true, true, "0%", kStateReadOnly | kStateBusy},
      {0, 100, 42, true, true, "42%", kStateReadOnly | kStateBusy},
      {0, 200, 85, true, true, "42%", kStateReadOnly | kStateBusy},  // truncated, as drawn
      {-50, 50, 0, true, false, "50%", kStateReadOnly},
      {0, 100, 100, true, false, "100%", kStateReadOnly},
      {0, 100, 7, false, false, "7%", kStateReadOnly | kStateInvisible},
      {5, 5, 5, true, true, "0%", kStateReadOnly | kStateBusy},  // an empty range
  };
  for (const Case& c : cases) {
    RecordingParent parent;
    TGauge gauge(&parent);
    gauge.BeginLoading();
    gauge.SetMinValue(c.min);
    gauge.SetMaxValue(c.max);
    gauge.EndLoading();
    gauge.SetProgress(c.progress);
    gauge.SetVisible(c.visible);
    const GaugeAnswers answers = AnswersFor(gauge, kLabel, c.busy);
    const std::string which = std::to_string(c.progress) + " of " + std::to_string(c.min) + ".." + std::to_string(c.max);
    EXPECT_EQ(answers.role, kRoleProgressBar) << which;
    EXPECT_EQ(answers.name, kLabel) << which;
    EXPECT_EQ(answers.value, c.value) << which;
    EXPECT_EQ(answers.state, c.state) << which;
  }
}

}  // namespace
