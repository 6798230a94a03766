#include "shiftsum/expression.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Evaluates words as the arguments after the command name; "" where they fail.
std::string evaluate(const std::vector<std::string>& words)
{
  std::vector<const char*> argv{"shiftsum"};
  for (const std::string& word : words)
    argv.push_back(word.c_str());
  ClockTime total{99, 99};
  if (!evaluate_arguments(static_cast<int>(argv.size()), argv.data(), total))
    return format_time(total) == "99:99" ? "" : "failed, but changed the total";
  return format_time(total);
}

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
  for (const auto& c : cases)
    EXPECT_EQ(evaluate({c.expression}), c.total) << c.expression;
}

// Arguments join end to end, so terms, operators and signs may fall anywhere among them.
TEST(Expression, JoinsArgumentsWithNothingBetween)
{
  const struct {
    std::vector<std::string> words;
    const char* total;
  } cases[] = {
      {{}, ""},
      {{""}, ""},
      {{"", "", "1:00"}, "1:0"},
      {{"1:", "30"}, "1:30"},
      {{"1", ":", "0", "", "5"}, "1:5"},
      {{"(9:23,", "17:35)", "-0:30"}, "7:42"},
      {{"(1", ":00,", "2:0", "0)"}, "1:0"},
      {{"1:00+", "2:00"}, "3:0"},
      {{"1:00", "+2:00"}, "3:0"},
      {{"1:00-", "", "(1:00,", "", "1:30)"}, "0:30"},
      {{"", "-", "1:00"}, "-1:0"},
      {{"+", "1:00"}, "1:0"},
      {{"-", "-1:00"}, ""},
      {{"1:00+", "+2:00"}, ""},
      {{"1:00", "+"}, ""},
      {{"1:0", "0 "}, ""},
      {{"1:0", "x+1:00"}, ""},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& word : c.words)
      shown += "[" + word + "]";
    EXPECT_EQ(evaluate(c.words), c.total) << shown;
  }
  // Not even the command name: there is nothing to read, and nothing past the vector.
  const char* const no_name[] = {nullptr};
  ClockTime total;
  EXPECT_FALSE(evaluate_arguments(0, no_name, total));
}

}  // namespace
