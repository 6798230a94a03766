// Evaluates argument vectors cut from the input and checks what holds for every one of them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "checks.h"
#include "shiftsum/expression.h"

namespace {

bool is_expression_char(char c)
{
  return (c >= '0' && c <= '9') || c == ':' || c == '(' || c == ')' || c == ',' || c == '+' ||
         c == '-';
}

// Evaluates words as the arguments after the command name.
bool evaluate(const std::vector<std::string>& words, ClockTime& total)
{
  std::vector<const char*> argv{"shiftsum"};
  for (const std::string& word : words)
    argv.push_back(word.c_str());
  return evaluate_arguments(static_cast<int>(argv.size()), argv.data(), total);
}

bool evaluates_to(const std::vector<std::string>& words, const ClockTime& expected)
{
  ClockTime total;
  return evaluate(words, total) && total.hours == expected.hours &&
         total.minutes == expected.minutes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size == 0)
    return 0;
  // The first byte says where the rest is cut into arguments, so that empty arguments and
  // terms split across arguments come up. A zero byte ends an argument, as it does in argv.
  const char cut = static_cast<char>(data[0]);
  std::vector<std::string> words(1);
  std::string expression;
  for (std::size_t i = 1; i < size; ++i) {
    char c = static_cast<char>(data[i]);
    if (c == cut || c == '\0') {
      words.emplace_back();
      continue;
    }
    words.back() += c;
    expression += c;
  }

  const ClockTime untouched{12345, 678};
  ClockTime total = untouched;
  bool read = evaluate(words, total);
  // However the expression is cut into arguments, it reads the same.
  ClockTime whole = untouched;
  check(evaluate({expression}, whole) == read);
  check(whole.hours == total.hours && whole.minutes == total.minutes);
  if (!read) {
    check(total.hours == untouched.hours && total.minutes == untouched.minutes);
    return 0;
  }

  for (char c : expression)
    check(is_expression_char(c));
  // The total is normalised: minutes within an hour, never against the sign of the hours.
  check(total.minutes >= -59 && total.minutes <= 59);
  check(total.hours == 0 || total.minutes == 0 || (total.hours < 0) == (total.minutes < 0));
  std::string text = format_time(total);
  check(text.size() <= 13);

  // A zero term changes nothing, at either end.
  words.emplace_back("+0:0");
  check(evaluates_to(words, total));
  bool has_sign = expression[0] == '+' || expression[0] == '-';
  check(evaluates_to({has_sign ? "0:0" : "0:0+", expression}, total));
  // A total that is not negative reads back as the one clock it prints.
  if (total.hours >= 0 && total.minutes >= 0)
    check(evaluates_to({text}, total));
  return 0;
}
