// Stand-ins for what the core reports to or asks of its surroundings where a
// test looks at neither: a gauge nobody watches, and a clock on UTC.
#pragma once
#include <cstdint>

#include "fileset/act/file_copy.h"
#include "fileset/words/time_zone.h"

class NoGauge final : public ProgressSink {
 public:
  void SetProgress(int32_t) override {}
};

class Utc final : public TimeZone {
 public:
  int64_t OffsetAt(int64_t) const override { return 0; }
};
