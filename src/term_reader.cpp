#include "term_reader.h"

#include <charconv>
#include <limits>

namespace {

// Reads a text that is all digits; the empty text is 0, and a value past 32 bits fails.
bool read_number(std::string_view digits, std::int32_t& value)
{
  value = 0;
  if (digits.empty())
    return true;
  std::from_chars_result read = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return read.ec == std::errc();
}

}  // namespace

bool split_at_first(std::string_view source, char a, char b, std::string_view& left,
                    std::string_view& right, char& separator)
{
  // One pass for both characters keeps a long expression linear to evaluate.
  for (std::size_t i = 0; i < source.size(); ++i) {
    char c = source[i];
    if (c != a && c != b)
      continue;
    left = source.substr(0, i);
    right = source.substr(i + 1);
    separator = c;
    return true;
  }
  return false;
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
  if (!read_number(hours, read.hours) || !read_number(minutes, read.minutes))
    return false;
  // Every clock must have a minute total that 32 bits can hold.
  if (to_minutes(read) > std::numeric_limits<std::int32_t>::max())
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
