#include "core/time_values.h"

#include <array>
#include <cstdio>

namespace {

constexpr std::int32_t kMinutesPerHour = 60;

// Stores a minute total that was computed wide; false when it does not fit a 32-bit total.
bool store_minutes(std::int64_t total, ClockTime& result)
{
  if (!fits_32_bits(total))
    return false;
  result = from_minutes(static_cast<std::int32_t>(total));
  return true;
}

}  // namespace

std::int64_t to_minutes(const ClockTime& time)
{
  return std::int64_t{time.hours} * kMinutesPerHour + time.minutes;
}

ClockTime from_minutes(std::int32_t total)
{
  ClockTime time;
  time.hours = total / kMinutesPerHour;
  time.minutes = total % kMinutesPerHour;
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
  // Room for any two 32-bit fields, not only normalised ones.
  std::array<char, sizeof "-2147483648:-2147483648"> text{};
  std::snprintf(text.data(), text.size(), "%d:%d", time.hours, time.minutes);
  return text.data();
}
