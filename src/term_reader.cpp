#include "term_reader.h"

#include <algorithm>

namespace {

// Reads the digits at the front of text, dropping them from it, and stops at the first
// other character; false when their value does not fit in 32 bits.
bool read_digits(std::string_view& text, std::int32_t& value)
{
  std::int64_t number = 0;
  while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
    number = number * 10 + (text.front() - '0');
    if (!fits_32_bits(number))
      return false;
    text.remove_prefix(1);
  }
  value = static_cast<std::int32_t>(number);
  return true;
}

}  // namespace

bool split_at_first(std::string_view source, char a, char b, std::string_view& left,
                    std::string_view& right, char& separator)
{
  // One pass for both characters keeps a long expression linear to evaluate.
  std::size_t i = 0;
  while (i < source.size() && source[i] != a && source[i] != b)
    ++i;
  if (i == source.size())
    return false;
  left = source.substr(0, i);
  right = source.substr(i + 1);
  separator = source[i];
  return true;
}

bool is_all_digits(std::string_view text)
{
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool parse_clock(std::string_view text, ClockTime& clock)
{
  // Digits up to the first colon, then digits to the end, read in one pass: any other
  // character, or none of the colon, fails.
  ClockTime read;
  if (!read_digits(text, read.hours) || text.empty() || text.front() != ':')
    return false;
  text.remove_prefix(1);
  if (!read_digits(text, read.minutes) || !text.empty())
    return false;
  if (!fits_32_bits(to_minutes(read)))
    return false;
  clock = read;
  return true;
}

bool parse_interval(std::string_view text, ClockTime& start, ClockTime& end)
{
  if (text.empty() || text.front() != '(' || text.back() != ')')
    return false;
  std::string_view inner = text.substr(1, text.size() - 2);

  std::string_view start_text;
  std::string_view end_text;
  char comma = 0;
  if (!split_at_first(inner, ',', ',', start_text, end_text, comma))
    return false;
  return parse_clock(start_text, start) && parse_clock(end_text, end);
}

bool parse_term(std::string_view text, ClockTime& value)
{
  if (text.empty() || text.front() != '(')
    return parse_clock(text, value);

  ClockTime start;
  ClockTime end;
  if (!parse_interval(text, start, end))
    return false;
  return subtract_times(end, start, value);
}
