#include "core/term_reader.h"

#include <cstdint>

namespace {

// Converts a text of digits, the empty one being 0; false when its value leaves 32 bits.
bool to_int32(std::string_view digits, std::int32_t& value)
{
  std::int64_t number = 0;
  for (char c : digits) {
    number = number * 10 + (c - '0');
    if (!fits_32_bits(number))
      return false;
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
  for (char c : text) {
    if (c < '0' || c > '9')
      return false;
  }
  return true;
}

bool parse_clock(std::string_view text, ClockTime& clock)
{
  std::size_t colon = text.find(':');
  if (colon == std::string_view::npos)
    return false;
  std::string_view hours = text.substr(0, colon);
  std::string_view minutes = text.substr(colon + 1);
  if (!is_all_digits(hours) || !is_all_digits(minutes))
    return false;
  ClockTime read;
  if (!to_int32(hours, read.hours) || !to_int32(minutes, read.minutes))
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
