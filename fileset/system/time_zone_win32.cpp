#include <windows.h>

#include "fileset/system/file_ops.h"
#include "fileset/words/time_zone.h"

namespace {

constexpr int64_t kTicksPerSecond = 10000000;

// Works through SYSTEMTIME, which reaches to the year 30827, so that a time
// past 2038 gets its own zone rules too.
class Win32TimeZone final : public TimeZone {
 public:
  int64_t OffsetAt(int64_t utcSeconds) const override {
    const uint64_t ticks = static_cast<uint64_t>((utcSeconds + kFiletimeEpochToUnixSeconds) * kTicksPerSecond);
    FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utcParts{}, localParts{};
    FILETIME local{};
    if (!FileTimeToSystemTime(&utc, &utcParts) || !SystemTimeToTzSpecificLocalTime(nullptr, &utcParts, &localParts) ||
        !SystemTimeToFileTime(&localParts, &local)) {
      return 0;
    }
    const uint64_t localTicks = (static_cast<uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
    return (static_cast<int64_t>(localTicks) - static_cast<int64_t>(ticks)) / kTicksPerSecond;
  }
};

}  // namespace

const TimeZone& SystemTimeZone() {
  static const Win32TimeZone zone;
  return zone;
}
