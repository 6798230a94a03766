#ifndef SHIFTSUM_CORE_TIME_VALUES_H_
#define SHIFTSUM_CORE_TIME_VALUES_H_

#include <cstdint>
#include <limits>
#include <string>

// Hours and minutes; as read from text, or normalised by the arithmetic below.
struct ClockTime {
  std::int32_t hours = 0;
  std::int32_t minutes = 0;
};

// True when value fits a signed 32-bit integer, as every field and every minute total must.
inline bool fits_32_bits(std::int64_t value)
{
  return value >= std::numeric_limits<std::int32_t>::min() &&
         value <= std::numeric_limits<std::int32_t>::max();
}

// hours * 60 + minutes, widened so that no ClockTime can overflow it.
std::int64_t to_minutes(const ClockTime& time);

// Splits a minute total into hours and minutes, both truncated toward zero.
ClockTime from_minutes(std::int32_t total);

// a + b into result; false, result untouched, when the minute total would leave 32 bits.
bool add_times(const ClockTime& a, const ClockTime& b, ClockTime& result);

// a - b into result; false, result untouched, when the minute total would leave 32 bits.
bool subtract_times(const ClockTime& a, const ClockTime& b, ClockTime& result);

// "hours:minutes" with no zero-filling, e.g. 8:5 or -1:-30.
std::string format_time(const ClockTime& time);

#endif  // SHIFTSUM_CORE_TIME_VALUES_H_
