#ifndef SHIFTSUM_SHIFTSHEET_CHARACTERS_H_
#define SHIFTSUM_SHIFTSHEET_CHARACTERS_H_

// A blank or a tab, which parts the words of a line.
inline bool is_blank(char c)
{
  return c == ' ' || c == '\t';
}

inline bool is_digit(char c)
{
  return c >= '0' && c <= '9';
}

#endif  // SHIFTSUM_SHIFTSHEET_CHARACTERS_H_
