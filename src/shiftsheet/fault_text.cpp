#include "shiftsheet/fault_text.h"

#include <array>
#include <cstdio>

#include "core/term_reader.h"
#include "shiftsheet/characters.h"
#include "shiftsheet/utf8.h"

namespace {

constexpr std::string_view kTooLarge = " is more than 2147483647 minutes";
// The first code point past the C1 controls, which a terminal may act on.
constexpr std::uint32_t kFirstShown = 0xA0;

// The length of the character at the front of text if it shows on a terminal as it is:
// printable ASCII, a tab, or UTF-8 past the C1 controls; else 0.
std::size_t shown_length(std::string_view text)
{
  if (text[0] == '\t' || is_plain_ascii(text[0]))
    return 1;
  std::size_t length = utf8_length(text);
  if (length < 2 || code_point(text, length) < kFirstShown)
    return 0;
  return length;
}

// A character that looks like one of those that terms are written with.
struct LookAlike {
  std::string_view bytes;
  const char* name;
  const char* taken_for;
  const char* meant;
};

constexpr const char* kOperator = "an operator";

constexpr std::array<LookAlike, 18> kLookAlikes = {{
    {"\xE2\x80\x93", "an en dash", kOperator, "-"},
    {"\xE2\x80\x94", "an em dash", kOperator, "-"},
    {"\xE2\x88\x92", "a minus sign", kOperator, "-"},
    {"\xE2\x80\x90", "a hyphen", kOperator, "-"},
    {"\xE2\x80\x91", "a non-breaking hyphen", kOperator, "-"},
    {"\xE2\x80\x92", "a figure dash", kOperator, "-"},
    {"\xEF\xBC\x8D", "a full-width hyphen-minus", kOperator, "-"},
    {"\xEF\xBC\x8B", "a full-width plus sign", kOperator, "+"},
    {"\xEF\xBC\x9A", "a full-width colon", "a colon", ":"},
    {"\xE2\x88\xB6", "a ratio sign", "a colon", ":"},
    {"\xEF\xBC\x88", "a full-width parenthesis", "a parenthesis", "("},
    {"\xEF\xBC\x89", "a full-width parenthesis", "a parenthesis", ")"},
    {"\xEF\xBC\x8C", "a full-width comma", "a comma", ","},
    {"\xC2\xA0", "a non-breaking space", "a blank", "a plain space"},
    // The same, as Windows-1252 or Latin-1 saves them.
    {"\x96", "an en dash in Windows-1252", kOperator, "-"},
    {"\x97", "an em dash in Windows-1252", kOperator, "-"},
    {"\xA0", "a non-breaking space in Windows-1252", "a blank", "a plain space"},
    {"\xAD", "a soft hyphen in Windows-1252", kOperator, "-"},
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

// The character at the front of text as a message names it: quoted where it is UTF-8, and
// then with its code point where with_code asks for it; otherwise by its byte.
std::string name_character(std::string_view text, bool with_code)
{
  std::size_t length = utf8_length(text);
  if (length > 1) {
    std::string quoted = quote(text.substr(0, length));
    if (!with_code)
      return quoted;
    std::array<char, sizeof " (U+10FFFF)"> code{};
    std::snprintf(code.data(), code.size(), " (U+%04X)",
                  static_cast<unsigned>(code_point(text, length)));
    return quoted + code.data();
  }
  auto byte = static_cast<unsigned char>(text[0]);
  std::array<char, sizeof "the control character 0xFF"> name{};
  std::snprintf(name.data(), name.size(), "%s 0x%02X",
                length == 1 ? "the control character" : "the byte", byte);
  return name.data();
}

std::size_t count(std::string_view text, char c)
{
  std::size_t n = 0;
  for (char in : text)
    n += in == c ? 1 : 0;
  return n;
}

bool has_digit(std::string_view text)
{
  for (char c : text) {
    if (is_digit(c))
      return true;
  }
  return false;
}

std::string without_blanks(std::string_view text)
{
  std::string kept;
  for (char c : text) {
    if (!is_blank(c))
      kept += c;
  }
  return kept;
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
  return is_clock_mark(c) && is_digit(text[mark + 1]) && is_digit(text[mark + 2]);
}

}  // namespace

std::string quote(std::string_view text)
{
  return "'" + escape(text) + "'";
}

std::string escape(std::string_view text)
{
  std::string quoted;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t length = shown_length(text.substr(at));
    if (length > 0) {
      quoted += text.substr(at, length);
      at += length;
      continue;
    }
    std::array<char, sizeof "\\xFF"> escaped{};
    std::snprintf(escaped.data(), escaped.size(), "\\x%02X", static_cast<unsigned char>(text[at]));
    quoted += escaped.data();
    ++at;
  }
  return quoted;
}

std::size_t find_foreign(std::string_view text)
{
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!is_plain_ascii(text[i]))
      return i;
  }
  return std::string_view::npos;
}

bool begins_with_look_alike(std::string_view text)
{
  return look_alike_at(text) != nullptr;
}

bool begins_with_operator_look_alike(std::string_view text)
{
  const LookAlike* look_alike = look_alike_at(text);
  return look_alike != nullptr && std::string_view(look_alike->taken_for) == kOperator;
}

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

bool is_marked_label(std::string_view word)
{
  if (word.find_first_of("()") != std::string_view::npos)
    return false;
  std::size_t mark = word.find_first_of(":,");
  if (mark == std::string_view::npos || word.find_first_not_of(":,") == std::string_view::npos)
    return false;
  if (!has_digit(word))
    return true;
  // With digits, only a mark at the end: "9:00,17:00" is an interval without parentheses.
  std::string_view rest = word.substr(0, word.size() - 1);
  return mark == word.size() - 1 && !is_all_digits(rest);
}

std::string describe_marked_label(std::string_view word)
{
  // Each mark becomes a blank, and those at the end go.
  std::string kept;
  char mark = 0;
  for (char c : word) {
    bool is_mark = c == ':' || c == ',';
    if (is_mark && mark == 0)
      mark = c;
    kept += is_mark ? ' ' : c;
  }
  while (kept.back() == ' ')
    kept.pop_back();
  return quote(word) + " is no clock, and a label cannot hold '" + mark + "'; write " + quote(kept);
}

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
  return quote(text) + std::string(kTooLarge);
}

std::string describe_interval(std::string_view text)
{
  std::string compact = without_blanks(text);
  std::string_view inner = std::string_view(compact).substr(1, compact.size() - 2);
  std::size_t commas = count(inner, ',');
  if (commas > 1)
    return quote(text) + " has more than one comma; write (start,end)";
  if (commas == 0) {
    // "(9:00 17:00)": a blank stands where the comma should.
    std::string_view written = text.substr(1, text.size() - 2);
    std::size_t first = written.find_first_not_of(" \t");
    std::size_t last = written.find_last_not_of(" \t");
    if (first != std::string_view::npos && has_blank(written.substr(first, last - first)))
      return quote(text) + " needs a comma between its start and its end";
    return quote(text) + " needs a start and an end, as (9:00,17:00)";
  }
  std::size_t comma = inner.find(',');
  std::string_view start = inner.substr(0, comma);
  std::string_view end = inner.substr(comma + 1);
  if (start.empty() || end.empty())
    return quote(text) + (start.empty() ? " has no start" : " has no end") + ", as (9:00,17:00)";
  ClockTime clock;
  if (!parse_clock(start, clock))
    return describe_clock(start);
  return describe_clock(end);
}

std::string describe_blank_inside(std::string_view clock)
{
  if (count(clock, ':') > 1)
    return quote(clock) + " is two clocks with only a blank between them";
  std::string meant = without_blanks(clock);
  ClockTime read;
  if (!parse_clock(meant, read))
    return quote(clock) + " has a blank inside a clock";
  return quote(clock) + " has a blank inside a clock; write " + meant;
}
