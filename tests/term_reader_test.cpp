#include "core/term_reader.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(TermReader, SplitAtFirstOfTwo)
{
  const struct {
    const char* source;
    bool found;
    const char* left;
    const char* right;
    char separator;
  } cases[] = {
      {"1:00+2:00-3:00", true, "1:00", "2:00-3:00", '+'},
      {"1:00-2:00+3:00", true, "1:00", "2:00+3:00", '-'},
      {"+2:00", true, "", "2:00", '+'},
      {"2:00-", true, "2:00", "", '-'},
      {"2:00", false, "old", "old", '?'},
      {"", false, "old", "old", '?'},
  };
  for (const auto& c : cases) {
    std::string_view left = "old";
    std::string_view right = "old";
    char separator = '?';
    EXPECT_EQ(split_at_first(c.source, '+', '-', left, right, separator), c.found) << c.source;
    EXPECT_EQ(left, c.left) << c.source;
    EXPECT_EQ(right, c.right) << c.source;
    EXPECT_EQ(separator, c.separator) << c.source;
  }
}

TEST(TermReader, IsAllDigits)
{
  EXPECT_TRUE(is_all_digits(""));
  EXPECT_TRUE(is_all_digits("0123456789"));
  EXPECT_FALSE(is_all_digits("0 "));
  EXPECT_FALSE(is_all_digits("/"));
  EXPECT_FALSE(is_all_digits(":"));
  EXPECT_FALSE(is_all_digits("\xb9"));  // superscript one in Latin-1
}

// Each term with its value in minutes; a failing term has none.
TEST(TermReader, ParseTerm)
{
  const struct {
    const char* text;
    bool ok;
    long long minutes;
  } cases[] = {
      {"9:23", true, 563},
      {"09:05", true, 545},
      {"1:75", true, 135},
      {"27:00", true, 1620},
      {":", true, 0},
      {"5:", true, 300},
      {":7", true, 7},
      {"(9:23,17:35)", true, 492},
      {"(10:11,18:17)", true, 486},
      {"(19:00,3:00)", true, -960},
      {"(19:00,27:00)", true, 480},
      {"(:,:)", true, 0},
      // Largest values that still fit in 32 bits, and one past each.
      {"0:2147483647", true, 2147483647},
      {"0:2147483648", false, 0},
      {"2147483648:", false, 0},
      {"35791394:7", true, 2147483647},
      {"35791394:8", false, 0},
      {"2147483647:0", false, 0},
      {"0:99999999999999999999", false, 0},
      {"(0:0,35791394:7)", true, 2147483647},
      {"(35791394:7,0:0)", true, -2147483647},
      {"(35791394:8,0:0)", false, 0},
      {"", false, 0},
      {"930", false, 0},
      {"1:2:3", false, 0},
      {"9.30", false, 0},  // only the colon itself, not a character sorting before it,
      {"9;30", false, 0},  // nor one after it, parts a clock
      {"a:00", false, 0},
      {"1:-5", false, 0},
      {" 1:00", false, 0},
      {"1:00 ", false, 0},
      {"1: 00", false, 0},
      {"(9:00,17:00", false, 0},
      {"(9:00,17:00(", false, 0},  // only the closing parenthesis ends an interval,
      {"(9:00,17:00*", false, 0},  // not a character sorting before or after it
      {"()", false, 0},
      {"(", false, 0},
      {"(9:00)", false, 0},
      {"(,)", false, 0},
      {"((1:00,2:00))", false, 0},
      {"(1:00,2:00,3:00)", false, 0},
      {"1:00)", false, 0},
      {"1:(00", false, 0},
  };
  for (const auto& c : cases) {
    ClockTime value{99, 99};
    EXPECT_EQ(parse_term(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(to_minutes(value), c.minutes) << c.text;
    }
  }
}

TEST(TermReader, ClockKeepsFieldsAsWritten)
{
  ClockTime clock;
  ASSERT_TRUE(parse_clock("1:75", clock));
  EXPECT_EQ(clock.hours, 1);
  EXPECT_EQ(clock.minutes, 75);
}

// The interval reader checks its own parentheses, whoever calls it.
TEST(TermReader, IntervalNeedsParentheses)
{
  ClockTime start;
  ClockTime end;
  for (const char* text : {"", "9:00,17:00", "9:00,17:00)", "'9:00,17:00)", ")9:00,17:00)"})
    EXPECT_FALSE(parse_interval(text, start, end)) << text;
  ASSERT_TRUE(parse_interval("(9:00,17:05)", start, end));
  EXPECT_EQ(format_time(start), "9:0");
  EXPECT_EQ(format_time(end), "17:5");
}

}  // namespace
