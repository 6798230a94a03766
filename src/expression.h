#ifndef SHIFTSUM_EXPRESSION_H_
#define SHIFTSUM_EXPRESSION_H_

#include "time_values.h"

// Evaluates argv[1] .. argv[argc - 1], joined end to end, as terms joined by '+' and '-',
// left to right, into total; false, total untouched, on any term that does not read.
bool evaluate_arguments(int argc, const char* const* argv, ClockTime& total);

#endif  // SHIFTSUM_EXPRESSION_H_
