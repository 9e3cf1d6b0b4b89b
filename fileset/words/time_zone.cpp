#include "fileset/words/time_zone.h"

#include <cstdio>

namespace {

// Days since 1970-01-01 to a proleptic Gregorian date, for any day.
void CivilFromDays(int64_t days, int64_t& year, unsigned& month, unsigned& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  day = static_cast<unsigned>(dayOfYear - (153 * mp + 2) / 5 + 1);
  month = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
  year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}


}  // namespace

std::string LocalTimeText(const FileTime& time, const TimeZone& zone) {
  const int64_t local = time.seconds + zone.OffsetAt(time.seconds);
  int64_t days = local / 86400, rest = local % 86400;
  if (rest < 0) rest += 86400, --days;
  int64_t year = 0;
  unsigned month = 0, day = 0;
  CivilFromDays(days, year, month, day);
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "%04lld. %02u. %02u. %02u:%02u:%02u", static_cast<long long>(year), month, day,
                static_cast<unsigned>(rest / 3600), static_cast<unsigned>(rest / 60 % 60),
                static_cast<unsigned>(rest % 60));
  return stamp;
}

