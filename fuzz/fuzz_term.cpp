// Reads the input as one term and checks the readers against what a term is.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "checks.h"
#include "core/term_reader.h"

namespace {

void check_split(std::string_view text)
{
  std::string_view left;
  std::string_view right;
  char separator = 0;
  if (!split_at_first(text, '+', '-', left, right, separator)) {
    check(text.find_first_of("+-") == std::string_view::npos);
    return;
  }
  // The pieces are views that rebuild the source around the first separator.
  check(left.find_first_of("+-") == std::string_view::npos);
  check(left.data() == text.data() && text[left.size()] == separator);
  check(right.data() == text.data() + left.size() + 1);
  check(left.size() + 1 + right.size() == text.size());
}

// A clock is digits, one colon, digits; small enough fields always fit in 32 bits.
void check_clock(std::string_view text)
{
  std::size_t colon = text.find(':');
  bool shaped = colon != std::string_view::npos && is_all_digits(text.substr(0, colon)) &&
                is_all_digits(text.substr(colon + 1));
  bool small = shaped && colon <= 5 && text.size() - colon - 1 <= 9;

  ClockTime clock;
  bool read = parse_clock(text, clock);
  check(!read || shaped);
  check(!small || read);
  if (!read)
    return;
  check(clock.hours >= 0 && clock.minutes >= 0);
  check(to_minutes(clock) <= std::numeric_limits<std::int32_t>::max());
  ClockTime again;
  check(parse_clock(format_time(clock), again) && same(again, clock));
}

void check_term(std::string_view text)
{
  ClockTime value;
  bool read = parse_term(text, value);
  if (text.empty() || text.front() != '(') {
    ClockTime clock;
    check(read == parse_clock(text, clock));
    check(!read || same(value, clock));
    return;
  }
  ClockTime start;
  ClockTime end;
  check(read == parse_interval(text, start, end));
  check(!read || to_minutes(value) == to_minutes(end) - to_minutes(start));
  check(!read || (value.minutes > -60 && value.minutes < 60));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  std::string_view text(reinterpret_cast<const char*>(data), size);
  check_split(text);
  check_clock(text);
  check_term(text);
  return 0;
}
