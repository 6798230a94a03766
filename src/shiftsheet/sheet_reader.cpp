#include "shiftsheet/sheet_reader.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "core/term_reader.h"

namespace {

constexpr std::string_view kLargest = "2147483647 minutes";

bool is_blank(char c)
{
  return c == ' ' || c == '\t';
}

bool is_operator(char c)
{
  return c == '+' || c == '-';
}

bool is_digit(char c)
{
  return c >= '0' && c <= '9';
}

std::size_t skip_blanks(std::string_view text, std::size_t at)
{
  while (at < text.size() && is_blank(text[at]))
    ++at;
  return at;
}

bool has_blank(std::string_view text)
{
  for (char c : text) {
    if (is_blank(c))
      return true;
  }
  return false;
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

// The length of the UTF-8 character at the front of text, or 0 where there is none.
std::size_t utf8_length(std::string_view text)
{
  auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  if (lead < 0x80)
    length = 1;
  else if (lead >= 0xC2 && lead <= 0xDF)
    length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4;
  if (length == 0 || length > text.size())
    return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
      return 0;
  }
  return length;
}

// The code point of the UTF-8 character of the given length at the front of text.
std::uint32_t code_point(std::string_view text, std::size_t length)
{
  static constexpr std::array<unsigned, 5> kLeadBits = {0, 0x7F, 0x1F, 0x0F, 0x07};
  std::uint32_t c = static_cast<unsigned char>(text[0]) & kLeadBits[length];
  for (std::size_t i = 1; i < length; ++i)
    c = c << 6 | (static_cast<unsigned char>(text[i]) & 0x3F);
  return c;
}

// A character that shows on a terminal as it is: printable ASCII, a tab, or UTF-8 past the
// C1 controls. Its length, or 0 for one to be written as \xNN.
std::size_t shown_length(std::string_view text)
{
  auto c = static_cast<unsigned char>(text[0]);
  if (c == '\t' || (c >= 0x20 && c < 0x7F))
    return 1;
  std::size_t length = utf8_length(text);
  if (length < 2 || code_point(text, length) < 0xA0)
    return 0;
  return length;
}

// text in single quotes, each byte that a terminal might act on written as \xNN.
std::string quote(std::string_view text)
{
  std::string quoted = "'";
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t length = shown_length(text.substr(at));
    if (length > 0) {
      quoted += text.substr(at, length);
      at += length;
      continue;
    }
    std::array<char, 5> escaped{};
    std::snprintf(escaped.data(), escaped.size(), "\\x%02X", static_cast<unsigned char>(text[at]));
    quoted += escaped.data();
    ++at;
  }
  return quoted + "'";
}

// A character that looks like one of those that terms are written with.
struct LookAlike {
  std::string_view bytes;
  const char* name;
  const char* taken_for;
  const char* meant;
};

constexpr std::array<LookAlike, 14> kLookAlikes = {{
    {"\xE2\x80\x93", "an en dash", "an operator", "-"},
    {"\xE2\x80\x94", "an em dash", "an operator", "-"},
    {"\xE2\x88\x92", "a minus sign", "an operator", "-"},
    {"\xEF\xBC\x8D", "a full-width hyphen-minus", "an operator", "-"},
    {"\xEF\xBC\x8B", "a full-width plus sign", "an operator", "+"},
    {"\xEF\xBC\x9A", "a full-width colon", "a colon", ":"},
    {"\xE2\x88\xB6", "a ratio sign", "a colon", ":"},
    {"\xEF\xBC\x88", "a full-width parenthesis", "a parenthesis", "("},
    {"\xEF\xBC\x89", "a full-width parenthesis", "a parenthesis", ")"},
    {"\xEF\xBC\x8C", "a full-width comma", "a comma", ","},
    {"\xC2\xA0", "a non-breaking space", "a blank", "a plain space"},
    // The same, as Windows-1252 or Latin-1 saves them.
    {"\x96", "an en dash in Windows-1252", "an operator", "-"},
    {"\x97", "an em dash in Windows-1252", "an operator", "-"},
    {"\xA0", "a non-breaking space in Windows-1252", "a blank", "a plain space"},
}};

// The look-alike at the front of text, or null.
const LookAlike* look_alike_at(std::string_view text)
{
  for (const LookAlike& look_alike : kLookAlikes) {
    if (text.substr(0, look_alike.bytes.size()) == look_alike.bytes)
      return &look_alike;
  }
  return nullptr;
}

bool is_plain_ascii(char c)
{
  auto byte = static_cast<unsigned char>(c);
  return byte >= 0x20 && byte < 0x7F;
}

// The character at the front of text, as a message names it.
std::string name_character(std::string_view text, bool with_code)
{
  auto byte = static_cast<unsigned char>(text[0]);
  std::size_t length = utf8_length(text);
  std::array<char, 32> name{};
  if (length > 1) {
    std::string quoted = quote(text.substr(0, length));
    if (!with_code)
      return quoted;
    std::snprintf(name.data(), name.size(), " (U+%04X)",
                  static_cast<unsigned>(code_point(text, length)));
    return quoted + name.data();
  }
  const char* kind = byte < 0x80 ? "the control character" : "the byte";
  std::snprintf(name.data(), name.size(), "%s 0x%02X", kind, byte);
  return name.data();
}

// What is wrong with the character at the front of text, which no term may hold.
std::string describe_character(std::string_view text)
{
  const LookAlike* look_alike = look_alike_at(text);
  if (look_alike == nullptr) {
    return name_character(text, true) +
           " cannot stand in a term; write terms in digits and : ( ) , + -";
  }
  return name_character(text, false) + " (" + look_alike->name + ") is not " +
         look_alike->taken_for + "; write " + look_alike->meant;
}

// Where text holds a byte that no term may hold, or npos.
std::size_t find_foreign(std::string_view text)
{
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!is_plain_ascii(text[i]))
      return i;
  }
  return std::string_view::npos;
}

// text less its blanks.
std::string without_blanks(std::string_view text)
{
  std::string kept;
  for (char c : text) {
    if (!is_blank(c))
      kept += c;
  }
  return kept;
}

std::string blank_inside(std::string_view clock)
{
  return quote(clock) + " has a blank inside a clock; write " + without_blanks(clock);
}

// Whether text is digits, one of the marks people part hours and minutes with, and two digits.
bool is_misparted_clock(std::string_view text)
{
  std::size_t mark = 0;
  while (mark < text.size() && is_digit(text[mark]))
    ++mark;
  if (mark == 0 || text.size() != mark + 3)
    return false;
  char c = text[mark];
  return (c == '.' || c == ';' || c == 'h' || c == 'H') && is_digit(text[mark + 1]) &&
         is_digit(text[mark + 2]);
}

// Why text, which is no interval, does not read as a clock.
std::string describe_clock(std::string_view text)
{
  if (text.find('(') != std::string_view::npos)
    return quote(text) + " needs a blank before its '('";
  if (text.find(')') != std::string_view::npos)
    return quote(text) + " has a ')' with no '(' before it";
  if (text.find(',') != std::string_view::npos)
    return quote(text) + " is not a clock; write an interval in parentheses, as (9:00,17:00)";
  std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    std::string example = "9:30";
    if (is_misparted_clock(text)) {
      example.assign(text);
      example[text.size() - 3] = ':';
    }
    return quote(text) + " is not a clock; write hours:minutes, as " + example;
  }
  if (text.find(':', colon + 1) != std::string_view::npos)
    return quote(text) + " has more than one colon; write hours:minutes, as 9:30";
  if (!is_all_digits(text.substr(0, colon)) || !is_all_digits(text.substr(colon + 1)))
    return quote(text) + " is not a clock; write hours and minutes in the digits 0 to 9";
  return quote(text) + " is more than " + std::string(kLargest);
}

std::size_t count(std::string_view text, char c)
{
  std::size_t n = 0;
  for (char in : text)
    n += in == c ? 1 : 0;
  return n;
}

// Why text, "(" to ")" with no blank left but inside a clock, does not read as an interval.
std::string describe_interval(std::string_view text)
{
  std::string_view inner = text.substr(1, text.size() - 2);
  if (inner.find_first_of("()") != std::string_view::npos)
    return quote(text) + " has a parenthesis inside it; write (start,end)";
  std::size_t commas = count(inner, ',');
  if (commas != 1) {
    return quote(text) + (commas == 0 ? " needs a start and an end, as (9:00,17:00)"
                                      : " has more than one comma; write (start,end)");
  }
  std::size_t comma = inner.find(',');
  std::string_view start = inner.substr(0, comma);
  std::string_view end = inner.substr(comma + 1);
  if (start.empty() || end.empty())
    return quote(text) + (start.empty() ? " has no start" : " has no end") + ", as (9:00,17:00)";
  ClockTime clock;
  if (!parse_clock(start, clock))
    return describe_clock(start);
  if (!parse_clock(end, clock))
    return describe_clock(end);
  return quote(text) + " is more than " + std::string(kLargest);
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
    std::size_t from = text.find_last_of("(,", i) + 1;
    std::size_t to = text.find_first_of(",)", i);
    from = skip_blanks(text, from);
    while (is_blank(text[to - 1]))
      --to;
    clock = text.substr(from, to - from);
    return false;
  }
  return true;
}

// The fault at text[offset].
bool fail(LineFault& fault, std::string_view text, std::size_t offset, std::string message)
{
  fault.column = column_at(text, offset);
  fault.message = std::move(message);
  return false;
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
  if (term.front() != '(')
    return fail(fault, text, start, describe_clock(term));
  std::size_t close = term.find(')');
  if (close == std::string_view::npos) {
    std::size_t size = term.size();
    while (is_blank(term[size - 1]))
      --size;
    return fail(fault, text, start, quote(term.substr(0, size)) + " has no closing parenthesis");
  }
  if (close + 1 != term.size())
    return fail(fault, text, start + close + 1,
                quote(term) + " goes on after its closing parenthesis");
  std::string compact;
  std::string_view clock;
  if (!compact_interval(term, compact, clock))
    return fail(fault, text, static_cast<std::size_t>(clock.data() - text.data()),
                blank_inside(clock));
  return fail(fault, text, start, describe_interval(compact));
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

// Why word may not follow term with no operator between them.
std::string describe_after_term(std::string_view term, std::string_view word)
{
  if (!is_plain_ascii(word.front()))
    return describe_character(word);
  if (is_digit(word.front()) || word.front() == ':' || word.front() == '(')
    return quote(term) + " and " + quote(word) + " need a + or - between them";
  return quote(word) + " after " + quote(term) +
         " is not an operator; write + or - before a term, or # before a comment";
}

// The fault of the word at text[at], which follows the term text[term_start] .. text[term_end]
// with no operator between them.
bool fail_after_term(std::string_view text, std::size_t term_start, std::size_t term_end,
                     std::size_t at, LineFault& fault)
{
  std::string_view term = text.substr(term_start, term_end - term_start);
  std::string_view word = text.substr(at, word_end(text, at) - at);
  if (term.back() == ':' && is_digit(word.front())) {
    return fail(fault, text, term_start,
                blank_inside(text.substr(term_start, at + word.size() - term_start)));
  }
  return fail(fault, text, at, describe_after_term(term, word));
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
    else if (c != '.' && c != ';' && c != 'h' && c != 'H')
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

// A word that begins with an operator's look-alike is no label word, but a mistyped operator.
bool begins_with_operator_look_alike(std::string_view word)
{
  if (is_plain_ascii(word.front()))
    return false;
  const LookAlike* look_alike = look_alike_at(word);
  return look_alike != nullptr && std::string_view(look_alike->taken_for) == "an operator";
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
    std::string_view word = text.substr(at, stop - at);
    if (begins_with_operator_look_alike(word))
      return fail(fault, text, at, describe_character(word));
    last_word = at;
    end = stop;
    at = skip_blanks(text, stop);
  }
  if (end == start)
    return true;
  line.label = text.substr(start, end - start);
  if (at == text.size() || is_operator(text[at])) {
    // The last word was probably meant as a term.
    std::string_view word = text.substr(last_word, end - last_word);
    std::size_t foreign = find_foreign(word);
    if (foreign != std::string_view::npos && look_alike_at(word.substr(foreign)) != nullptr)
      return fail(fault, text, last_word + foreign, describe_character(word.substr(foreign)));
    if (looks_like_clock(word))
      return fail(fault, text, last_word, describe_clock(word));
    if (at == text.size())
      return fail(fault, text, start, "the label " + quote(line.label) + " has no term after it");
    return fail(
        fault, text, at,
        "the label " + quote(line.label) + " is followed by '" + text[at] + "', not by a term");
  }
  if (!is_digits_and_blanks(line.label))
    return true;
  if (text[at] == ':')
    return fail(fault, text, last_word,
                blank_inside(text.substr(last_word, word_end(text, at) - last_word)));
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
    const std::size_t term_end = at;
    at = skip_blanks(text, at);
    if (at == text.size())
      return true;
    if (!is_operator(text[at]))
      return fail_after_term(text, term_start, term_end, at, fault);
    op = text[at];
    op_at = at++;
  }
}

std::size_t column_at(std::string_view text, std::size_t offset)
{
  std::size_t column = 1;
  std::size_t at = 0;
  while (at < offset) {
    std::size_t length = utf8_length(text.substr(at));
    at += length == 0 ? 1 : length;
    ++column;
  }
  return column;
}
