#include <ctime>

#include "fileset/time_zone.h"

namespace {

class PosixTimeZone final : public TimeZone {
 public:
  int64_t OffsetAt(int64_t utcSeconds) const override {
    const std::time_t t = static_cast<std::time_t>(utcSeconds);
    std::tm local{};
    if (!localtime_r(&t, &local)) return 0;
    return local.tm_gmtoff;
  }
};

}  // namespace

const TimeZone& SystemTimeZone() {
  static const PosixTimeZone zone;
  return zone;
}
