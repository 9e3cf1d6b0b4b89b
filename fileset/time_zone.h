// How far the user's clock is from UTC at a given moment, as Explorer shows
// file times: the offset of the zone's rules for that date, daylight saving
// included.
#pragma once
#include <cstdint>

class TimeZone {
 public:
  virtual ~TimeZone() = default;
  // Seconds to add to `utcSeconds` (since 1970-01-01 UTC) to get local time.
  virtual int64_t OffsetAt(int64_t utcSeconds) const = 0;
};

// The time zone the system is set to.
const TimeZone& SystemTimeZone();
