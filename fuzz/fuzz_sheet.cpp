// Reads any bytes as a timesheet and checks what holds for every one. Then writes a valid
// shiftsum expression, the input itself where shiftsum reads it, or else one built from the
// input, over lines at its operators, with blanks and comments around its terms, and checks
// that the timesheet totals what shiftsum gives for it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "checks.h"
#include "core/term_reader.h"
#include "shiftsheet/timesheet.h"
#include "shiftsum/expression.h"

namespace {

// Reads bytes, as the file "fuzz", into report; how many faults it named. The bytes are read
// from memory: a file per input would cost more than the reading.
std::size_t read_bytes(std::string bytes, Report& report)
{
  std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
  check(file != nullptr);
  Faults faults;
  read_timesheet(file, "fuzz", report, faults);
  std::fclose(file);
  if (report.spill != nullptr)
    std::fclose(report.spill);
  report.spill = nullptr;
  return faults.in_lines + faults.others;
}

std::string replace_all(std::string_view text, char from, std::string_view to)
{
  std::string replaced;
  for (char c : text) {
    if (c == from)
      replaced += to;
    else
      replaced += c;
  }
  return replaced;
}

// The total prints as one sign, hours, and minutes in two digits, and reads back as itself.
void check_figure(const Report& report)
{
  std::string figure = report_figure(report, report.exact);
  bool negative = figure[0] == '-';
  ClockTime read;
  check(parse_clock(std::string_view(figure).substr(negative ? 1 : 0), read));
  check(figure.size() - figure.find(':') == 3);
  std::int64_t minutes = report.exact;
  check(negative == (minutes < 0));
  check(to_minutes(read) == (negative ? -minutes : minutes));
}

void check_any_bytes(std::string_view bytes)
{
  Report report;
  report.options.each = true;
  std::size_t faults = read_bytes(std::string(bytes), report);
  check_figure(report);
  // No entry is below zero, and so neither is a total that was read whole.
  check(report.exact >= 0);

  // CR LF for LF makes the same lines, and so the same entries and faults. (In UTF-16, a
  // 0x0A byte may be half of any character.)
  std::string_view mark = bytes.substr(0, 2);
  if (bytes.find('\r') != std::string_view::npos || mark == "\xFF\xFE" || mark == "\xFE\xFF")
    return;
  Report crlf;
  crlf.options.each = true;
  check(read_bytes(replace_all(bytes, '\n', "\r\n"), crlf) == faults);
  check(crlf.exact == report.exact && crlf.lines == report.lines);
}

// A shiftsum expression, as terms and the operators between them.
struct Expression {
  char sign = 0;  // '+' or '-' before the first term, or none
  std::vector<std::string> terms;
  std::vector<char> operators;  // operators[i] stands before terms[i + 1]
};

std::string expression_text(const Expression& expression)
{
  std::string text;
  if (expression.sign != 0)
    text += expression.sign;
  for (std::size_t i = 0; i < expression.terms.size(); ++i) {
    if (i > 0)
      text += expression.operators[i - 1];
    text += expression.terms[i];
  }
  return text;
}

bool evaluate(const std::string& text, ClockTime& total)
{
  const char* argv[] = {"shiftsum", text.c_str()};
  return evaluate_arguments(2, argv, total);
}

// The input as an expression, where shiftsum reads it as one argument.
bool take_expression(std::string_view input, Expression& expression)
{
  ClockTime total;
  if (input.find('\0') != std::string_view::npos || !evaluate(std::string(input), total))
    return false;
  if (input[0] == '+' || input[0] == '-') {
    expression.sign = input[0];
    input.remove_prefix(1);
  }
  std::size_t at = 0;
  while ((at = input.find_first_of("+-")) != std::string_view::npos) {
    expression.terms.emplace_back(input.substr(0, at));
    expression.operators.push_back(input[at]);
    input.remove_prefix(at + 1);
  }
  expression.terms.emplace_back(input);
  return true;
}

// A clock's field: empty, small or zero-filled; where huge, also large enough to leave 32 bits.
std::string make_field(FuzzedDataProvider& data, bool huge)
{
  switch (data.ConsumeIntegralInRange(0, huge ? 4 : 3)) {
    case 0:
      return "";
    case 1:
      return std::to_string(data.ConsumeIntegralInRange(0, 59));
    case 2:
      return "0" + std::to_string(data.ConsumeIntegralInRange(0, 9));
    case 3:
      return std::to_string(data.ConsumeIntegralInRange(0, 99999));
    default:
      return std::to_string(data.ConsumeIntegral<std::uint32_t>());
  }
}

std::string make_clock(FuzzedDataProvider& data, bool huge)
{
  std::string hours = make_field(data, huge);
  return hours + ":" + make_field(data, huge);
}

Expression make_expression(FuzzedDataProvider& data)
{
  Expression expression;
  // One expression in four may hold fields past 32 bits, and so fail; the others always read.
  bool huge = data.ConsumeIntegralInRange(0, 3) == 0;
  expression.sign = "\0+-"[data.ConsumeIntegralInRange(0, 2)];
  int terms = data.ConsumeIntegralInRange(1, 16);
  for (int i = 0; i < terms; ++i) {
    if (i > 0)
      expression.operators.push_back(data.ConsumeBool() ? '+' : '-');
    std::string start = make_clock(data, huge);
    if (data.ConsumeBool())
      expression.terms.push_back(start);
    else
      expression.terms.push_back("(" + start + "," + make_clock(data, huge) + ")");
  }
  return expression;
}

// Whether a timesheet reads the expression's terms as shiftsum does: no clock that begins the
// entry or follows a + has a - and a clock after it, which make an interval, and no interval
// ends where or before it starts.
bool keeps_meaning(const Expression& expression)
{
  for (std::size_t i = 0; i < expression.terms.size(); ++i) {
    const std::string& term = expression.terms[i];
    char before = i == 0 ? expression.sign : expression.operators[i - 1];
    bool last = i + 1 == expression.terms.size();
    if (term[0] != '(' && before != '-' && !last && expression.operators[i] == '-' &&
        expression.terms[i + 1][0] != '(')
      return false;
    ClockTime start;
    ClockTime end;
    if (term[0] == '(' && parse_interval(term, start, end) && to_minutes(end) <= to_minutes(start))
      return false;
  }
  return true;
}

// None ends in a word of digits, which a term after a blank might be taken to go on.
constexpr const char* kLabels[] = {"Mon",    "Tue am", "2026-12-09 Wed",   "Week 50 Fri",
                                   "M\xE4r", "x",      "Caf\xC3\xA9 shift"};

// Writes an expression as a timesheet, in ways drawn from a seed: each operator beginning a
// line or staying on it, blanks around terms and operators and inside intervals, comments after
// terms, and blank and comment lines between. It also tells the label that --each shows.
class Layout {
 public:
  explicit Layout(std::uint32_t seed) : random_(seed)
  {
    const char* ends[] = {"\n", "\r\n", "\r"};
    end_ = ends[random_() % 3];
  }

  std::string write(const Expression& expression)
  {
    std::string text = lines_between();
    text += blanks(0);
    label_ = "fuzz:" + std::to_string(lines_ + 1);
    if (expression.sign == 0 && chance(3)) {
      label_ = kLabels[random_() % (sizeof kLabels / sizeof kLabels[0])];
      text += label_ + blanks(1);
    }
    if (expression.sign != 0)
      text += expression.sign + blanks(0);
    text += term(expression.terms[0]);
    for (std::size_t i = 1; i < expression.terms.size(); ++i) {
      if (chance(2))
        text += maybe_comment() + line_end() + lines_between();
      text += blanks(0) + expression.operators[i - 1] + blanks(0) + term(expression.terms[i]);
    }
    text += maybe_comment();
    if (chance(4))
      return text;  // no line end after the last line
    return text + line_end() + lines_between();
  }

  const std::string& label() const
  {
    return label_;
  }

 private:
  bool chance(unsigned in)
  {
    return random_() % in == 0;
  }

  std::string blanks(unsigned least)
  {
    std::string text;
    for (unsigned n = least + random_() % 3; n > 0; --n)
      text += chance(2) ? ' ' : '\t';
    return text;
  }

  std::string line_end()
  {
    ++lines_;
    return end_;
  }

  // A comment of any bytes but those that end a line, and NUL.
  std::string comment()
  {
    std::string text = blanks(0) + "#";
    for (unsigned n = random_() % 8; n > 0; --n) {
      char c = static_cast<char>(random_() % 256);
      text += c == '\0' || c == '\n' || c == '\r' ? '.' : c;
    }
    return text;
  }

  std::string maybe_comment()
  {
    return chance(3) ? comment() : "";
  }

  // Blank lines and lines of a comment alone.
  std::string lines_between()
  {
    std::string text;
    while (chance(3))
      text += (chance(2) ? blanks(0) : comment()) + line_end();
    return text;
  }

  // A clock as it is; an interval with blanks next to its parentheses and its comma.
  std::string term(const std::string& text)
  {
    if (text[0] != '(')
      return text;
    std::string spaced;
    for (char c : text) {
      if (c == ')' || c == ',')
        spaced += blanks(0);
      spaced += c;
      if (c == '(' || c == ',')
        spaced += blanks(0);
    }
    return spaced;
  }

  std::minstd_rand random_;
  std::string end_;
  std::size_t lines_ = 0;
  std::string label_;
};

// Saves text as one of the ways that systems save a file: as it is, after a UTF-8 mark, or
// in UTF-16 of either byte order with its mark (its bytes taken as Latin-1).
std::string save(const std::string& text, unsigned how)
{
  if (how == 0)
    return text;
  if (how == 1)
    return "\xEF\xBB\xBF" + text;
  bool big_endian = how == 2;
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : text) {
    bytes += big_endian ? '\0' : c;
    bytes += big_endian ? c : '\0';
  }
  return bytes;
}

// Latin-1 as UTF-8, as a file saved in UTF-16 is read.
std::string latin1_as_utf8(const std::string& text)
{
  std::string utf8;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
      continue;
    }
    utf8 += static_cast<char>(0xC0 | byte >> 6);
    utf8 += static_cast<char>(0x80 | (byte & 0x3F));
  }
  return utf8;
}

std::uint32_t hash(std::string_view bytes)
{
  std::uint32_t h = 2166136261U;
  for (char c : bytes)
    h = (h ^ static_cast<unsigned char>(c)) * 16777619U;
  return h;
}

void check_expression(std::string_view input)
{
  Expression expression;
  if (!take_expression(input, expression)) {
    FuzzedDataProvider data(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    expression = make_expression(data);
  }
  ClockTime expected;
  bool valid = evaluate(expression_text(expression), expected);

  std::uint32_t seed = hash(input);
  Layout layout(seed);
  std::string text = layout.write(expression);
  unsigned how = seed >> 24 & 3;
  Report report;
  report.options.each = true;
  std::size_t faults = read_bytes(save(text, how), report);
  if (!keeps_meaning(expression))
    return;
  // A term that leaves 32 bits, or a running total that does, fails both; and a timesheet
  // totals no entry below zero.
  if (!valid || to_minutes(expected) < 0) {
    check(faults > 0);
    return;
  }
  check(faults == 0);
  check(report.exact == to_minutes(expected));
  std::string label = how >= 2 ? latin1_as_utf8(layout.label()) : layout.label();
  check(report.lines == label + " " + report_figure(report, to_minutes(expected)) + "\n");
}

}  // namespace

// The reader reports each bad line on standard error, which would bury libFuzzer's own
// output. Unless the command line says otherwise, libFuzzer is asked to discard the target's
// standard error; it keeps its own messages and the sanitizers' reports on a copy.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
  static std::vector<char*> args(*argv, *argv + *argc);
  static char quiet[] = "-close_fd_mask=2";
  for (char* arg : args) {
    if (std::strncmp(arg, "-close_fd_mask=", 15) == 0)
      return 0;
  }
  args.insert(args.begin() + 1, quiet);
  *argc = static_cast<int>(args.size());
  args.push_back(nullptr);
  *argv = args.data();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  std::string_view input(reinterpret_cast<const char*>(data), size);
  check_any_bytes(input);
  check_expression(input);
  return 0;
}
