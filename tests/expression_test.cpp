#include "expression.h"

#include <gtest/gtest.h>

namespace {

// The printed total of each expression, or "" where it fails.
TEST(Expression, EvaluatesLeftToRight)
{
  const struct {
    const char* expression;
    const char* total;
  } cases[] = {
      {"(9:23,17:35)-0:30+(10:11,18:17)-0:40", "15:8"},
      {"(9:23,17:35)-0:30", "7:42"},
      {"9:00", "9:0"},
      {"1:00+2:30", "3:30"},
      {"-1:00", "-1:0"},
      {"+1:00", "1:0"},
      {"1:00-2:30", "-1:-30"},
      {"0:30-1:00", "0:-30"},
      {"1:00-2:00+3:00", "2:0"},
      {"-(1:00,2:00)+0:30", "0:-30"},
      {"(19:00,27:00)", "8:0"},
      {"(22:00,6:00)", "-16:0"},
      {"0:45+0:45", "1:30"},
      {"0:90", "1:30"},
      // The total may reach either end of the 32-bit range, but not pass it.
      {"35791394:7", "35791394:7"},
      {"35791394:7+0:1", ""},
      {"-35791394:7-0:1", "-35791394:-8"},
      {"-35791394:7-0:2", ""},
      {"35791394:7+0:1-0:1", ""},
      {"", ""},
      {"1:00 + 2:00", ""},
      {"1:00+", ""},
      {"1:00++2:00", ""},
      {"--1:00", ""},
      {"-", ""},
      {"+", ""},
      {"1:00+x+2:00", ""},
  };
  for (const auto& c : cases) {
    ClockTime total{99, 99};
    bool ok = evaluate_expression(c.expression, total);
    EXPECT_EQ(ok, *c.total != '\0') << c.expression;
    EXPECT_EQ(format_time(total), ok ? c.total : "99:99") << c.expression;
  }
}

TEST(Expression, JoinsArgumentsWithNothingBetween)
{
  const char* const argv[] = {"shiftsum", "", "(9:23,", "17:35)", "", "-", "0:30", ""};
  EXPECT_EQ(join_arguments(8, argv), "(9:23,17:35)-0:30");
  EXPECT_EQ(join_arguments(1, argv), "");
  EXPECT_EQ(join_arguments(0, argv), "");
}

}  // namespace
