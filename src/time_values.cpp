#include "time_values.h"

#include <cstdio>
#include <limits>

namespace {

// Stores a minute total that was computed wide; false when it does not fit a 32-bit total.
bool store_minutes(std::int64_t total, ClockTime& result)
{
  if (total < std::numeric_limits<std::int32_t>::min() ||
      total > std::numeric_limits<std::int32_t>::max())
    return false;
  result = from_minutes(static_cast<std::int32_t>(total));
  return true;
}

}  // namespace

std::int64_t to_minutes(const ClockTime& time)
{
  return std::int64_t{time.hours} * 60 + time.minutes;
}

ClockTime from_minutes(std::int32_t total)
{
  ClockTime time;
  time.hours = total / 60;
  time.minutes = total % 60;
  return time;
}

bool add_times(const ClockTime& a, const ClockTime& b, ClockTime& result)
{
  return store_minutes(to_minutes(a) + to_minutes(b), result);
}

bool subtract_times(const ClockTime& a, const ClockTime& b, ClockTime& result)
{
  return store_minutes(to_minutes(a) - to_minutes(b), result);
}

std::string format_time(const ClockTime& time)
{
  // Room for any two 32-bit fields ("-2147483648:-2147483648"), not only normalised ones.
  char text[24];
  std::snprintf(text, sizeof text, "%d:%d", time.hours, time.minutes);
  return text;
}
