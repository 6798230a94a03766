#include "core/time_values.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(TimeValues, FromMinutesFormatsWithoutPadding)
{
  const struct {
    std::int32_t total;
    const char* text;
  } cases[] = {
      {485, "8:5"},   {0, "0:0"},      {908, "15:8"},        {-90, "-1:-30"},
      {-30, "0:-30"}, {-960, "-16:0"}, {kMax, "35791394:7"}, {kMin, "-35791394:-8"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(format_time(from_minutes(c.total)), c.text) << c.total;
}

TEST(TimeValues, ToMinutesTakesUnnormalisedFields)
{
  EXPECT_EQ(to_minutes(ClockTime{1, 75}), 135);
  EXPECT_EQ(to_minutes(ClockTime{kMax, kMax}), std::int64_t{kMax} * 61);
  // Formatting must not truncate even fields no arithmetic produces.
  EXPECT_EQ(format_time(ClockTime{kMin, kMin}), "-2147483648:-2147483648");
}

TEST(TimeValues, AddAndSubtractStayInsideThirtyTwoBits)
{
  const ClockTime max_total = from_minutes(kMax);
  const ClockTime min_total = from_minutes(kMin);
  const ClockTime one{0, 1};
  const struct {
    ClockTime a;
    char op;
    ClockTime b;
    bool ok;
    const char* text;
  } cases[] = {
      {{23, 50}, '+', {0, 20}, true, "24:10"},     // hours never wrap at 24
      {{9, 0}, '-', {17, 0}, true, "-8:0"},        // nor at midnight
      {{0, 0}, '-', {0, 30}, true, "0:-30"},       // minutes carry the sign
      {max_total, '+', {}, true, "35791394:7"},    // the largest total
      {max_total, '+', one, false, ""},            // one past it
      {min_total, '-', {}, true, "-35791394:-8"},  // the smallest
      {min_total, '-', one, false, ""},            // one below it
      {min_total, '+', max_total, true, "0:-1"},
  };
  for (const auto& c : cases) {
    ClockTime result{99, 99};
    bool ok = c.op == '+' ? add_times(c.a, c.b, result) : subtract_times(c.a, c.b, result);
    EXPECT_EQ(ok, c.ok) << format_time(c.a) << c.op << format_time(c.b);
    EXPECT_EQ(format_time(result), c.ok ? c.text : "99:99") << format_time(c.a) << c.op;
  }
}

}  // namespace
