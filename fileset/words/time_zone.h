// How far the user's clock is from UTC at a given moment, as Explorer shows
// file times: the offset of the zone's rules for that date, daylight saving
// included.
#pragma once
#include <cstdint>
#include <string>

#include "fileset/system/file_ops.h"

class TimeZone {
 public:
  virtual ~TimeZone() = default;
  // Seconds to add to `utcSeconds` (since 1970-01-01 UTC) to get local time.
  virtual int64_t OffsetAt(int64_t utcSeconds) const = 0;
};

// The time zone the system is set to.
const TimeZone& SystemTimeZone();

// "2040. 01. 02. 03:04:05": a file time in the zone's local time, as the
// folder's listing shows it, for any year.
std::string LocalTimeText(const FileTime& time, const TimeZone& zone);
