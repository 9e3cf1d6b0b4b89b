#include <windows.h>

#include "fileset/system/win32_calls.h"
#include "fileset/words/time_zone.h"

namespace {

// Works through SYSTEMTIME, which reaches to the year 30827, so that a time
// past 2038 gets its own zone rules too.
class Win32TimeZone final : public TimeZone {
 public:
  int64_t OffsetAt(int64_t utcSeconds) const override {
    FILETIME utc{}, local{};
    SYSTEMTIME utcParts{}, localParts{};
    if (!ToFiletime(FileTime{utcSeconds, 0}, utc) || !FileTimeToSystemTime(&utc, &utcParts) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utcParts, &localParts) ||
        !SystemTimeToFileTime(&localParts, &local)) {
      return 0;
    }
    return FromFiletime(local).seconds - utcSeconds;
  }
};

}  // namespace

const TimeZone& SystemTimeZone() {
  static const Win32TimeZone zone;
  return zone;
}
