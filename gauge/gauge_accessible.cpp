#include "gauge/gauge_accessible.h"

GaugeAnswers AnswersFor(const TGauge& gauge, const std::string& name, bool busy) {
  GaugeAnswers answers;
  answers.name = name;
  answers.value = std::to_string(gauge.PercentDone()) + "%";
  answers.state = kStateReadOnly | (busy ? kStateBusy : 0) | (gauge.Visible() ? 0 : kStateInvisible);
  return answers;
}
