#ifndef SHIFTSUM_FUZZ_CHECKS_H_
#define SHIFTSUM_FUZZ_CHECKS_H_

#include <cstdlib>

#include "core/time_values.h"

// A check that fails the fuzz run, in release builds too.
inline void check(bool condition)
{
  if (!condition)
    std::abort();
}

inline bool same(const ClockTime& a, const ClockTime& b)
{
  return a.hours == b.hours && a.minutes == b.minutes;
}

#endif  // SHIFTSUM_FUZZ_CHECKS_H_
