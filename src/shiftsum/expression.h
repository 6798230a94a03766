#ifndef SHIFTSUM_SHIFTSUM_EXPRESSION_H_
#define SHIFTSUM_SHIFTSUM_EXPRESSION_H_

#include "core/time_values.h"

// Evaluates argv[1] .. argv[argc - 1], joined end to end, as terms joined by '+' and '-',
// left to right, into total; false, total untouched, on a term that does not read or a
// running total that leaves 32 bits.
bool evaluate_arguments(int argc, const char* const* argv, ClockTime& total);

#endif  // SHIFTSUM_SHIFTSUM_EXPRESSION_H_
