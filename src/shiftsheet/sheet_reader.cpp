#include "shiftsheet/sheet_reader.h"

#include <utility>

#include "core/term_reader.h"
#include "shiftsheet/characters.h"
#include "shiftsheet/fault_text.h"
#include "shiftsheet/utf8.h"

namespace {

std::size_t skip_blanks(std::string_view text, std::size_t at)
{
  while (at < text.size() && is_blank(text[at]))
    ++at;
  return at;
}

// Where the word that begins at `at` ends: at a blank or the end of the text.
std::size_t word_end(std::string_view text, std::size_t at)
{
  while (at < text.size() && !is_blank(text[at]))
    ++at;
  return at;
}

// Where a clock that begins at `at` ends: at a blank, an operator or the end of the text.
std::size_t clock_end(std::string_view text, std::size_t at)
{
  while (at < text.size() && !is_blank(text[at]) && !is_operator(text[at]))
    ++at;
  return at;
}

// Where a clock written with blanks inside it, such as "9 : 30", ends, when its first
// digits or its colon begin at `at`.
std::size_t blanked_clock_end(std::string_view text, std::size_t at)
{
  std::size_t end = clock_end(text, at);
  std::size_t next = skip_blanks(text, end);
  if (text[end - 1] == ':' && next < text.size() && is_digit(text[next]))
    return clock_end(text, next);
  return end;
}

// The fault at text[offset].
bool fail(LineFault& fault, std::string_view text, std::size_t offset, std::string message)
{
  fault.column = column_at(text, offset);
  fault.message = std::move(message);
  return false;
}

// The interval without the blanks that may stand next to its parentheses and its comma, in
// compact. A blank anywhere else stands inside a clock: false, with that clock in clock.
bool compact_interval(std::string_view text, std::string& compact, std::string_view& clock)
{
  compact.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!is_blank(text[i])) {
      compact += text[i];
      continue;
    }
    std::size_t next = skip_blanks(text, i);
    // text begins with '(' and ends with ')', so neither side is ever missing.
    char before = compact.back();
    char after = text[next];
    if (before == '(' || before == ',' || after == ',' || after == ')') {
      i = next - 1;
      continue;
    }
    std::size_t from = skip_blanks(text, text.find_last_of("(,", i) + 1);
    std::size_t to = text.find_first_of(",)", i);
    while (is_blank(text[to - 1]))
      --to;
    clock = text.substr(from, to - from);
    return false;
  }
  return true;
}

// Where the term that begins at text[at] ends: an interval at its ')', or where it lacks one,
// at the operator or the end of the line that comes first; a clock at a blank, an operator or
// the end of the line.
std::size_t term_end(std::string_view text, std::size_t at)
{
  if (text[at] != '(')
    return clock_end(text, at);
  std::size_t close = at;
  while (close < text.size() && text[close] != ')' && !is_operator(text[close]))
    ++close;
  if (close == text.size() || text[close] != ')')
    return close;
  return clock_end(text, close + 1);
}

// Why the term text[start] .. text[end] does not read; the fault.
bool fail_term(std::string_view text, std::size_t start, std::size_t end, LineFault& fault)
{
  std::string_view term = text.substr(start, end - start);
  std::size_t foreign = find_foreign(term);
  if (foreign != std::string_view::npos)
    return fail(fault, text, start + foreign, describe_character(term.substr(foreign)));
  if (term.front() != '(') {
    std::string_view word = text.substr(start, word_end(text, start) - start);
    if (is_marked_label(word))
      return fail(fault, text, start, describe_marked_label(word));
    return fail(fault, text, start, describe_clock(term));
  }
  std::size_t close = term.find(')');
  // "(9:00-17:00)": a dash typed for the comma ends the interval early.
  std::size_t paren = text.find(')', end);
  if (close == std::string_view::npos && end < text.size() && paren != std::string_view::npos) {
    std::string shown = quote(text.substr(start, paren + 1 - start)) + " has '" + text[end];
    char before = text[text.find_last_not_of(" \t", end - 1)];
    if (before == ',' || before == '(')
      return fail(fault, text, end, shown + "' inside it, where no clock takes a sign");
    if (term.find(',') == std::string_view::npos)
      return fail(fault, text, end, shown + "' where its comma should be; write (start,end)");
  }
  if (term.find('(', 1) < close || close == std::string_view::npos) {
    std::size_t size = term.size();
    while (is_blank(term[size - 1]))
      --size;
    const char* what = close == std::string_view::npos
                           ? " has no closing parenthesis"
                           : " has a parenthesis inside it; write (start,end)";
    return fail(fault, text, start, quote(term.substr(0, size)) + what);
  }
  if (close + 1 != term.size())
    return fail(fault, text, start + close + 1,
                quote(term) + " goes on after its closing parenthesis");
  // With no comma, a blank stands where the comma should, not inside a clock.
  std::string compact;
  std::string_view clock;
  if (term.find(',') != std::string_view::npos && !compact_interval(term, compact, clock))
    return fail(fault, text, static_cast<std::size_t>(clock.data() - text.data()),
                describe_blank_inside(clock));
  return fail(fault, text, start, describe_interval(term));
}

// Reads the term that begins at text[at], not a blank nor an operator, and adds it to line
// with op before it; at moves past it.
bool read_term(std::string_view text, std::size_t& at, char op, SheetLine& line, LineFault& fault)
{
  SheetTerm read;
  read.op = op;
  read.offset = at;
  at = term_end(text, at);
  std::string_view term = text.substr(read.offset, at - read.offset);
  // Blanks may stand inside an interval, next to its parentheses and its comma.
  std::string compact;
  std::string_view clock;
  if (term.front() == '(' && has_blank(term) && term.back() == ')' &&
      compact_interval(term, compact, clock))
    term = compact;
  if (!parse_term(term, read.value))
    return fail_term(text, read.offset, at, fault);
  line.terms.push_back(read);
  return true;
}

// The fault of the word at text[at], which follows the term text[term_start] .. text[term_stop]
// with no operator between them; label is the line's, where that term is its first.
bool fail_after_term(std::string_view text, std::size_t term_start, std::size_t term_stop,
                     std::size_t at, std::string_view label, LineFault& fault)
{
  std::string_view term = text.substr(term_start, term_stop - term_start);
  std::string_view word = text.substr(at, term_end(text, at) - at);
  // "Week 50: (9:00,17:00)" or "Week 50: 8:00": the colon belongs to the label, not to a
  // clock 50:.
  bool begins_term = word.front() == '(' || word.find(':') != std::string_view::npos;
  if (term.back() == ':' && begins_term && !label.empty()) {
    auto from = static_cast<std::size_t>(label.data() - text.data());
    std::string_view marked = text.substr(from, term_stop - from);
    return fail(fault, text, from, describe_marked_label(marked));
  }
  if (term.back() == ':' && is_digit(word.front())) {
    std::string_view clock = text.substr(term_start, at + word.size() - term_start);
    return fail(fault, text, term_start, describe_blank_inside(clock));
  }
  if (!is_plain_ascii(word.front()))
    return fail(fault, text, at, describe_character(word));
  if (is_digit(word.front()) || word.front() == ':' || word.front() == '(')
    return fail(fault, text, at,
                quote(term) + " and " + quote(word) + " need a + or - between them");
  return fail(fault, text, at,
              quote(word) + " after " + quote(term) +
                  " is not an operator; write + or - before a term, or # before a comment");
}

bool is_digits_and_blanks(std::string_view text)
{
  for (char c : text) {
    if (!is_digit(c) && !is_blank(c))
      return false;
  }
  return true;
}

// Whether a word is digits and the marks that people part hours and minutes with.
bool looks_like_clock(std::string_view word)
{
  bool digits = false;
  for (char c : word) {
    if (is_digit(c))
      digits = true;
    else if (!is_clock_mark(c))
      return false;
  }
  return digits;
}

// Where the label word that begins at text[at] ends, or npos where the word there is none: it
// begins with an operator, or holds one of : ( ) , as terms do.
std::size_t label_word_end(std::string_view text, std::size_t at)
{
  if (is_operator(text[at]))
    return std::string_view::npos;
  for (; at < text.size() && !is_blank(text[at]); ++at) {
    char c = text[at];
    if (c == ':' || c == '(' || c == ')' || c == ',')
      return std::string_view::npos;
  }
  return at;
}

// The fault of a label that no term follows, text[at] being the end of the line or an
// operator: its last word was probably meant as a term.
bool fail_label_alone(std::string_view text, std::size_t start, std::size_t last_word,
                      std::size_t at, std::string_view label, LineFault& fault)
{
  std::string_view word = text.substr(last_word, start + label.size() - last_word);
  std::size_t foreign = find_foreign(word);
  if (foreign != std::string_view::npos && begins_with_look_alike(word.substr(foreign)))
    return fail(fault, text, last_word + foreign, describe_character(word.substr(foreign)));
  if (looks_like_clock(word))
    return fail(fault, text, last_word, describe_clock(word));
  if (at == text.size())
    return fail(fault, text, start, "the label " + quote(label) + " has no term after it");
  return fail(fault, text, at,
              "the label " + quote(label) + " is followed by '" + text[at] + "', not by a term");
}

// Reads the label, if any, that begins at text[at] into line; at moves to what follows it,
// which must begin a term.
bool read_label(std::string_view text, std::size_t& at, SheetLine& line, LineFault& fault)
{
  const std::size_t start = at;
  std::size_t last_word = at;
  std::size_t end = at;
  while (at < text.size()) {
    std::size_t stop = label_word_end(text, at);
    if (stop == std::string_view::npos)
      break;
    // A word that begins with an operator's look-alike is no label word, but a mistyped
    // operator.
    if (!is_plain_ascii(text[at]) && begins_with_operator_look_alike(text.substr(at)))
      return fail(fault, text, at, describe_character(text.substr(at)));
    last_word = at;
    end = stop;
    at = skip_blanks(text, stop);
  }
  if (end == start)
    return true;
  line.label = text.substr(start, end - start);
  if (at == text.size() || is_operator(text[at]))
    return fail_label_alone(text, start, last_word, at, line.label, fault);
  // Digits before a colon, such as "9 :30", are a clock with a blank inside it.
  if (text[at] == ':' && is_all_digits(text.substr(last_word, end - last_word))) {
    std::string_view clock = text.substr(last_word, blanked_clock_end(text, at) - last_word);
    return fail(fault, text, last_word, describe_blank_inside(clock));
  }
  if (!is_digits_and_blanks(line.label))
    return true;
  return fail(fault, text, start,
              "the label " + quote(line.label) +
                  " is digits alone, as a mistyped clock would be; add a word, as Day " +
                  std::string(line.label));
}

}  // namespace

bool read_sheet_line(std::string_view text, SheetLine& line, LineFault& fault)
{
  line.kind = LineKind::kBlank;
  line.label = {};
  line.terms.clear();
  text = text.substr(0, text.find('#'));
  std::size_t at = skip_blanks(text, 0);
  if (at == text.size())
    return true;

  char op = '+';
  std::size_t op_at = std::string_view::npos;
  if (is_operator(text[at])) {
    line.kind = LineKind::kContinuation;
    op = text[at];
    op_at = at++;
  } else {
    line.kind = LineKind::kEntry;
    if (!read_label(text, at, line, fault))
      return false;
  }
  for (;;) {
    at = skip_blanks(text, at);
    if (op_at != std::string_view::npos) {
      if (at == text.size())
        return fail(fault, text, op_at,
                    std::string("'") + op + "' has no term after it on its line");
      if (is_operator(text[at])) {
        return fail(fault, text, at,
                    std::string("'") + op + "' and '" + text[at] + "' need a term between them");
      }
    }
    const std::size_t term_start = at;
    if (!read_term(text, at, op, line, fault))
      return false;
    const std::size_t term_stop = at;
    at = skip_blanks(text, at);
    if (at == text.size())
      return true;
    if (!is_operator(text[at])) {
      std::string_view label = line.terms.size() == 1 ? line.label : std::string_view();
      return fail_after_term(text, term_start, term_stop, at, label, fault);
    }
    op = text[at];
    op_at = at++;
  }
}
