#ifndef SHIFTSUM_EXPRESSION_H_
#define SHIFTSUM_EXPRESSION_H_

#include <string>
#include <string_view>

#include "time_values.h"

// Joins argv[1] .. argv[argc - 1] end to end, with nothing between them.
std::string join_arguments(int argc, const char* const* argv);

// Evaluates terms joined by '+' and '-', left to right, into total; false on any bad term.
bool evaluate_expression(std::string_view expression, ClockTime& total);

#endif  // SHIFTSUM_EXPRESSION_H_
