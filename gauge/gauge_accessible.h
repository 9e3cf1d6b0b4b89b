// What a screen reader hears of a gauge: a progress bar named by the text
// shown beside it, whose value is the percent it shows. Portable, so that the
// answers are tested natively; gauge_accessible_win32.cpp hands them out
// through Microsoft Active Accessibility.
#pragma once
#include <cstdint>
#include <string>

#include "gauge/gauges.h"

// The values oleacc.h gives these names; the Windows side checks that they agree.
constexpr int32_t kRoleProgressBar = 0x30;     // ROLE_SYSTEM_PROGRESSBAR
constexpr uint32_t kStateReadOnly = 0x40;      // STATE_SYSTEM_READONLY
constexpr uint32_t kStateBusy = 0x800;         // STATE_SYSTEM_BUSY
constexpr uint32_t kStateInvisible = 0x8000;   // STATE_SYSTEM_INVISIBLE

struct GaugeAnswers {
  int32_t role = kRoleProgressBar;
  std::string name;   // UTF-8
  std::string value;  // the percent as the gauge shows it: "42%"
  uint32_t state = 0;
};

// name: the text shown beside the gauge; busy: the work it shows is under way.
// A gauge is read-only; a hidden one says so.
GaugeAnswers AnswersFor(const TGauge& gauge, const std::string& name, bool busy);
