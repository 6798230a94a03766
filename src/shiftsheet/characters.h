#ifndef SHIFTSUM_SHIFTSHEET_CHARACTERS_H_
#define SHIFTSUM_SHIFTSHEET_CHARACTERS_H_

#include <string_view>

// The kinds of character that the lines of a timesheet are read by.

// A blank or a tab, which parts the words of a line.
inline bool is_blank(char c)
{
  return c == ' ' || c == '\t';
}

inline bool is_digit(char c)
{
  return c >= '0' && c <= '9';
}

inline bool is_operator(char c)
{
  return c == '+' || c == '-';
}

// A mark that people part hours and minutes with, where a clock has its colon: 9.30, 9h30.
inline bool is_clock_mark(char c)
{
  return c == '.' || c == ';' || c == 'h' || c == 'H';
}

// Printable ASCII, the only characters but blanks that a term may hold.
inline bool is_plain_ascii(char c)
{
  return c >= ' ' && c <= '~';
}

// Whether text holds a blank.
inline bool has_blank(std::string_view text)
{
  for (char c : text) {
    if (is_blank(c))
      return true;
  }
  return false;
}

#endif  // SHIFTSUM_SHIFTSHEET_CHARACTERS_H_
