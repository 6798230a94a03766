#include "shiftsum/expression.h"

#include <string>
#include <string_view>

#include "core/term_reader.h"

namespace {

// Reads term and adds it to, or subtracts it from, total.
bool apply_term(char op, std::string_view term, ClockTime& total)
{
  ClockTime value;
  if (!parse_term(term, value))
    return false;
  if (op == '-')
    return subtract_times(total, value, total);
  return add_times(total, value, total);
}

}  // namespace

bool evaluate_arguments(int argc, const char* const* argv, ClockTime& total)
{
  std::string joined;
  for (int i = 1; i < argc; ++i)
    joined += argv[i];

  std::string_view expression = joined;
  char op = '+';
  if (!expression.empty() && (expression.front() == '+' || expression.front() == '-')) {
    op = expression.front();
    expression.remove_prefix(1);
  }
  ClockTime sum;
  std::string_view term;
  std::string_view rest;
  char separator = 0;
  while (split_at_first(expression, '+', '-', term, rest, separator)) {
    if (!apply_term(op, term, sum))
      return false;
    op = separator;
    expression = rest;
  }
  if (!apply_term(op, expression, sum))
    return false;
  total = sum;
  return true;
}
