#include "shiftsheet/line_reader.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "core/term_reader.h"
#include "shiftsheet/utf8.h"

// A line is cut into tokens once, each character looked at once, and read by a parser that
// holds the token at hand and the two after it. Each fault is decided where the parser stops,
// with the words that say it.

namespace {

constexpr std::int64_t kMinutesPerHour = 60;
constexpr std::int64_t kNoon = 12 * kMinutesPerHour;
constexpr std::int64_t kDay = 24 * kMinutesPerHour;
// The longest break that "8:00 - 0:30" at an entry's start is taken to subtract.
constexpr std::int64_t kLongestBreak = 2 * kMinutesPerHour;
constexpr std::size_t kLongestField = 10;  // digits; more leave 32 bits in any case

enum class Kind {
  kEnd,
  kClock,     // 9:30, 9am, 9:30 pm
  kDuration,  // 8h, 45m, 7h30, 7.5h
  kNumber,    // digits with no colon and no unit: 45, 4.25, 7,5
  kWord,
  kPlus,
  kDash,
  kEnDash,
  kOpen,
  kClose,
  kComma,
  kForeign,  // a look-alike of a mark, or a control character
  kBad,      // a clock or a duration that cannot be read, with why in message
};

struct Token {
  Kind kind = Kind::kEnd;
  std::size_t begin = 0;
  std::size_t end = 0;
  bool blank_before = true;
  std::int64_t minutes = 0;  // a clock's time of day, or a duration's length
  std::int64_t hour = 0;     // a clock's hour as written
  bool meridiem = false;     // a clock written with am or pm
  bool whole_hours = false;  // a duration of hours alone, as 22h
  std::string message;
};

// A character that looks like one that terms are written with.
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
    // The same, as Windows-1252 saves them.
    {"\x96", "an en dash in Windows-1252", kOperator, "-"},
    {"\x97", "an em dash in Windows-1252", kOperator, "-"},
    {"\xA0", "a non-breaking space in Windows-1252", "a blank", "a plain space"},
    {"\xAD", "a soft hyphen in Windows-1252", kOperator, "-"},
}};
constexpr std::size_t kEnDash = 0;

// Words after a term that say what time it is, or hold one.
constexpr std::array<std::string_view, 4> kRangeWords = {"to", "bis", "until", "till"};
constexpr std::array<std::string_view, 13> kTimeWords = {
    "min",   "hour",   "hr",   "std",  "stunde",  "pause",  "break",
    "lunch", "mittag", "halb", "half", "quarter", "viertel"};

bool is_blank(char c)
{
  return c == ' ' || c == '\t';
}

bool is_digit(char c)
{
  return c >= '0' && c <= '9';
}

char lower(char c)
{
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool is_control(char c)
{
  auto byte = static_cast<unsigned char>(c);
  return (byte < ' ' && c != '\t') || byte == 0x7F;
}

// The look-alike at the front of text, or null. One of the first two bytes is never ASCII.
const LookAlike* look_alike_at(std::string_view text)
{
  if (static_cast<unsigned char>(text[0]) < 0x80)
    return nullptr;
  std::size_t length = utf8_length(text);
  std::string_view character = text.substr(0, length == 0 ? 1 : length);
  for (const LookAlike& look_alike : kLookAlikes) {
    if (character == look_alike.bytes)
      return &look_alike;
  }
  return nullptr;
}

// Whether a token ends before text[at]: at a blank, a mark, or the end.
bool ends_token(std::string_view text, std::size_t at)
{
  if (at >= text.size())
    return true;
  char c = text[at];
  if (is_blank(c) || c == '+' || c == '-' || c == '(' || c == ')' || c == ',' || is_control(c))
    return true;
  return look_alike_at(text.substr(at)) != nullptr;
}

std::size_t skip_digits(std::string_view text, std::size_t at)
{
  while (at < text.size() && is_digit(text[at]))
    ++at;
  return at;
}

std::size_t skip_blanks(std::string_view text, std::size_t at)
{
  while (at < text.size() && is_blank(text[at]))
    ++at;
  return at;
}

// The value of a field of at most kLongestField digits, the empty field being 0.
std::int64_t field_value(std::string_view digits)
{
  std::int64_t value = 0;
  for (char c : digits)
    value = value * 10 + (c - '0');
  return value;
}

std::string quote_at(std::string_view text, std::size_t begin, std::size_t end)
{
  return quote(text.substr(begin, end - begin));
}

// "H:MM", as a message suggests a clock or a time.
std::string clock_text(std::int64_t minutes)
{
  std::array<char, sizeof "-9223372036854775807:00"> text{};
  std::snprintf(text.data(), text.size(), "%lld:%02lld",
                static_cast<long long>(minutes / kMinutesPerHour),
                static_cast<long long>(minutes % kMinutesPerHour));
  return text.data();
}

// Where "am" or "pm" ends that follows text[at], blanks between or none; 0 where none does.
std::size_t meridiem_end(std::string_view text, std::size_t at, bool& pm)
{
  std::size_t from = skip_blanks(text, at);
  if (from + 2 > text.size() || lower(text[from + 1]) != 'm' || !ends_token(text, from + 2))
    return 0;
  char c = lower(text[from]);
  if (c != 'a' && c != 'p')
    return 0;
  pm = c == 'p';
  return from + 2;
}

void bad(Token& token, std::string_view text, std::string why)
{
  token.kind = Kind::kBad;
  token.message = quote_at(text, token.begin, token.end) + why;
}

// A clock, hours:minutes or hours alone, with am or pm where meridiem_at is not 0.
void lex_clock(std::string_view text, std::size_t colon, std::size_t end, Token& token)
{
  token.kind = Kind::kClock;
  ClockTime clock;
  std::string_view digits = text.substr(token.begin, end - token.begin);
  if (colon == std::string_view::npos) {
    clock.hours = static_cast<std::int32_t>(field_value(digits));
  } else if (!parse_clock(digits, clock)) {
    return bad(token, text, " is more than 2147483647 minutes");
  }
  token.hour = clock.hours;
  token.minutes = to_minutes(clock);
  if (!token.meridiem)
    return;
  if (clock.hours < 1 || clock.hours > 12 || clock.minutes >= kMinutesPerHour)
    return bad(token, text, " has am or pm, which only hours 1 to 12 take");
  bool pm = lower(text[skip_blanks(text, end)]) == 'p';
  token.minutes = (clock.hours % 12 + (pm ? 12 : 0)) * kMinutesPerHour + clock.minutes;
}

// Decimal hours, "7.5h" or "7.25h": tenths, or quarters as two places; else why not.
void lex_decimal_hours(std::string_view text, std::size_t mark, std::size_t end, Token& token)
{
  token.kind = Kind::kDuration;
  std::string_view fraction = text.substr(mark + 1, end - 1 - (mark + 1));
  std::int64_t hours = field_value(text.substr(token.begin, mark - token.begin));
  std::int64_t part = field_value(fraction);
  token.minutes = hours * kMinutesPerHour;
  if (fraction.size() == 1) {
    token.minutes += part * 6;
    return;
  }
  if (fraction.size() == 2 && part % 25 == 0) {
    token.minutes += part * kMinutesPerHour / 100;
    return;
  }
  std::string reading = "is not a whole number of minutes";
  if (fraction.size() == 2 && part * kMinutesPerHour % 100 == 0)
    reading = "is " + clock_text(token.minutes + part * kMinutesPerHour / 100);
  std::string as_written =
      std::string(text.substr(token.begin, mark - token.begin)) + "h" + std::string(fraction);
  bad(token, text,
      " could be read two ways: as decimal hours it " + reading + ", and as hours and minutes " +
          (fraction.size() == 2 && part < kMinutesPerHour
               ? "it is " + clock_text(hours * kMinutesPerHour + part) + " (write " + as_written +
                     ")"
               : "it is no time") +
          "; decimal hours take a tenth or a quarter, as 7.5h or 7.25h");
}

// A duration with units: 8h, 7h30, 7h30m, 45m.
void lex_duration(std::string_view text, std::size_t unit, Token& token)
{
  token.kind = Kind::kDuration;
  std::int64_t first = field_value(text.substr(token.begin, unit - token.begin));
  if (lower(text[unit]) == 'm') {
    token.minutes = first;
    return;
  }
  std::size_t digits_end = skip_digits(text, unit + 1);
  std::int64_t minutes = field_value(text.substr(unit + 1, digits_end - (unit + 1)));
  token.whole_hours = digits_end == unit + 1;
  token.minutes = first * kMinutesPerHour + minutes;
  if (minutes >= kMinutesPerHour)
    bad(token, text, " has more than 59 minutes after its hours");
}

// A token that begins with a digit or a colon.
void lex_number(std::string_view text, Token& token)
{
  std::size_t at = skip_digits(text, token.begin);
  std::size_t end = at;
  std::size_t colon = std::string_view::npos;
  token.kind = Kind::kNumber;
  if (at < text.size() && text[at] == ':') {
    colon = at;
    end = skip_digits(text, at + 1);
    token.kind = Kind::kClock;
  } else if (at + 1 < text.size() && (text[at] == '.' || text[at] == ',') &&
             is_digit(text[at + 1])) {
    end = skip_digits(text, at + 1);
    if (end < text.size() && lower(text[end]) == 'h' && text[at] == '.' &&
        ends_token(text, end + 1)) {
      token.end = end + 1;
      if (end - at > kLongestField || at - token.begin > kLongestField)
        return bad(token, text, " is more than 2147483647 minutes");
      return lex_decimal_hours(text, at, end + 1, token);
    }
  } else if (at < text.size() && at > token.begin &&
             (lower(text[at]) == 'h' || lower(text[at]) == 'm')) {
    std::size_t stop = at + 1;
    if (lower(text[at]) == 'h') {
      stop = skip_digits(text, stop);
      if (stop > at + 1 && stop < text.size() && lower(text[stop]) == 'm')
        ++stop;
    }
    if (ends_token(text, stop)) {
      token.end = stop;
      if (stop - token.begin > 2 * kLongestField || at - token.begin > kLongestField)
        return bad(token, text, " is more than 2147483647 minutes");
      lex_duration(text, at, token);
      if (token.kind == Kind::kDuration && !fits_32_bits(token.minutes))
        bad(token, text, " is more than 2147483647 minutes");
      return;
    }
  }
  bool pm = false;
  std::size_t meridiem = token.kind == Kind::kNumber && end == at ? meridiem_end(text, end, pm)
                         : token.kind == Kind::kClock             ? meridiem_end(text, end, pm)
                                                                  : 0;
  token.end = meridiem != 0 ? meridiem : end;
  if (!ends_token(text, token.end)) {
    token.kind = Kind::kWord;
    while (!ends_token(text, token.end))
      ++token.end;
    return;
  }
  if (meridiem == 0 && token.kind == Kind::kNumber)
    return;
  token.meridiem = meridiem != 0;
  if (colon == std::string_view::npos && at - token.begin > kLongestField)
    return bad(token, text, " is more than 2147483647 minutes");
  lex_clock(text, colon, end, token);
}

// The token that begins at or after text[at], past blanks.
Token lex(std::string_view text, std::size_t at)
{
  Token token;
  std::size_t from = skip_blanks(text, at);
  token.blank_before = from > at || at == 0;
  token.begin = from;
  token.end = from + 1;
  if (from == text.size()) {
    token.end = from;
    return token;
  }
  switch (text[from]) {
    case '+':
      token.kind = Kind::kPlus;
      return token;
    case '-':
      token.kind = Kind::kDash;
      return token;
    case '(':
      token.kind = Kind::kOpen;
      return token;
    case ')':
      token.kind = Kind::kClose;
      return token;
    case ',':
      token.kind = Kind::kComma;
      return token;
    default:
      break;
  }
  if (is_digit(text[from]) || text[from] == ':') {
    lex_number(text, token);
    return token;
  }
  const LookAlike* look_alike = look_alike_at(text.substr(from));
  if (look_alike != nullptr || is_control(text[from])) {
    token.kind = look_alike == &kLookAlikes[kEnDash] ? Kind::kEnDash : Kind::kForeign;
    token.end = from + (look_alike != nullptr ? look_alike->bytes.size() : 1);
    return token;
  }
  token.kind = Kind::kWord;
  while (!ends_token(text, token.end))
    ++token.end;
  return token;
}

// Why the look-alike or the control character at the front of text cannot stand there.
std::string describe_foreign(std::string_view text)
{
  const LookAlike* look_alike = look_alike_at(text);
  std::array<char, sizeof "the control character 0xFF"> name{};
  if (look_alike == nullptr || look_alike->bytes.size() == 1) {
    std::snprintf(name.data(), name.size(), "%s 0x%02X",
                  look_alike == nullptr ? "the control character" : "the byte",
                  static_cast<unsigned char>(text[0]));
  }
  if (look_alike == nullptr)
    return std::string(name.data()) + " cannot stand in a line; delete it";
  std::string shown = look_alike->bytes.size() == 1 ? name.data() : quote(look_alike->bytes);
  return shown + " (" + look_alike->name + ") is not " + look_alike->taken_for + "; write " +
         look_alike->meant;
}

// Where a term is expected: what the one before it says of how a dash after a clock reads.
enum class Place {
  kFirst,   // an entry's first term: "9:00-17:00" and "9:00 - 17:00" are intervals
  kBeside,  // beside an interval, with blanks or a comma between: only an interval may stand
  kPlus,    // after +: "9:00-12:00" is an interval, "9:00 - 12:00" could be either
  kMinus,   // after -: a clock is subtracted, and a dash after it is a minus
};

struct Reader {
  std::string_view text;  // the line without its comment
  bool overnight = false;
  std::array<Token, 3> tokens;  // the token at hand, then the two after it
  SheetLine* line = nullptr;
  LineFault* fault = nullptr;
  std::int64_t from = 0;  // the last interval read, in minutes from the start of its day
  std::int64_t to = 0;
};

const Token& at_hand(const Reader& reader)
{
  return reader.tokens[0];
}

void advance(Reader& reader)
{
  reader.tokens[0] = std::move(reader.tokens[1]);
  reader.tokens[1] = std::move(reader.tokens[2]);
  reader.tokens[2] = lex(reader.text, reader.tokens[1].end);
}

bool fail(Reader& reader, std::size_t offset, std::string message)
{
  reader.fault->column = column_at(reader.text, offset);
  reader.fault->message = std::move(message);
  return false;
}

std::string quote_token(const Reader& reader, const Token& token)
{
  return quote_at(reader.text, token.begin, token.end);
}

// The rest of the line from offset, without the blanks at its end.
std::string_view rest_of_line(const Reader& reader, std::size_t offset)
{
  std::string_view rest = reader.text.substr(offset);
  while (!rest.empty() && is_blank(rest.back()))
    rest.remove_suffix(1);
  return rest;
}

bool begins_with_word(std::string_view text, std::size_t at, std::string_view word)
{
  if (text.size() - at < word.size())
    return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (lower(text[at + i]) != word[i])
      return false;
  }
  return true;
}

// What words that may hold a time could be as a term, where the message can tell: "45 min"
// is 45m, "halbe Stunde" 30m; a break is subtracted.
std::string term_in_words(std::string_view words)
{
  std::string sign = "+ ";
  std::string amount;
  for (std::size_t at = 0; at < words.size(); ++at) {
    if (at > 0 && !is_blank(words[at - 1]) && words[at - 1] != '(')
      continue;
    for (std::string_view word : {"pause", "break", "lunch", "mittag"}) {
      if (begins_with_word(words, at, word))
        sign = "- ";
    }
    if (begins_with_word(words, at, "halb") || begins_with_word(words, at, "half"))
      amount = "30m";
    if (begins_with_word(words, at, "quarter") || begins_with_word(words, at, "viertel"))
      amount = "15m";
    std::size_t digits = skip_digits(words, at);
    if (digits == at || digits - at > kLongestField)
      continue;
    std::size_t unit = skip_blanks(words, digits);
    bool hours = begins_with_word(words, unit, "h") || begins_with_word(words, unit, "std") ||
                 begins_with_word(words, unit, "stunde");
    bool minutes = begins_with_word(words, unit, "m");
    if (hours || minutes)
      amount = std::string(words.substr(at, digits - at)) + (hours ? "h" : "m");
  }
  if (amount.empty())
    return "a term";
  return "a term, as " + sign + amount;
}

// Whether a word of text begins with a word of time, as "Pause" or "min".
bool has_time_word(std::string_view words)
{
  for (std::size_t at = 0; at < words.size(); ++at) {
    if (at > 0 && !is_blank(words[at - 1]) && words[at - 1] != '(')
      continue;
    for (std::string_view word : kTimeWords) {
      if (begins_with_word(words, at, word))
        return true;
    }
  }
  return false;
}

bool may_hold_time(std::string_view words)
{
  for (char c : words) {
    if (is_digit(c))
      return true;
  }
  return has_time_word(words);
}

// The fault of words where a term or an operator should be: a note without its #, or a time
// in words.
bool fail_words(Reader& reader, std::size_t offset, std::string_view after)
{
  std::string_view words = rest_of_line(reader, offset);
  std::string where = after.empty() ? "" : " after " + quote(after);
  if (may_hold_time(words)) {
    return fail(reader, offset,
                quote(words) + where + " may hold a time: write it as " + term_in_words(words) +
                    ", and put # before it only if it is a note");
  }
  return fail(
      reader, offset,
      quote(words) + where + " is no term: put # before a note, as # " + std::string(words));
}

// Readings of an interval whose end, written as end_written, is not after its start.
bool fail_interval(Reader& reader, const Token& start, const Token& dash, const Token& end,
                   std::string_view written, bool paren)
{
  std::int64_t from = start.minutes;
  std::int64_t to = end.minutes;
  auto interval = [&](std::int64_t until) {
    return paren ? "(" + clock_text(from) + "," + clock_text(until) + ")"
                 : clock_text(from) + "-" + clock_text(until);
  };
  if (to == from) {
    return fail(reader, start.begin,
                quote(written) + " ends where it starts: for no time, leave it out; for 24 " +
                    "hours, write " + interval(to + kDay));
  }
  std::string readings;
  if (!paren && dash.blank_before && end.blank_before && to <= kLongestBreak) {
    readings += "for " + clock_text(from) + " less a break of " + clock_text(to) + ", write " +
                clock_text(from - to) + ", or - " + clock_text(to) + " on the next line; ";
  }
  if (!end.meridiem && end.hour >= 1 && end.hour < 12 && to + kNoon > from) {
    readings += "for an end at " + clock_text(to) + " pm, write " + interval(to + kNoon) + "; ";
  }
  readings += "for an end the next day, write " + interval(to + kDay);
  if (from >= kNoon && to < kNoon)
    readings += ", or give --overnight";
  return fail(reader, start.begin, quote(written) + " ends before it starts: " + readings);
}

// Reads the interval from start to end, written from text[begin] to text[stop], into term.
bool take_interval(Reader& reader, const Token& start, const Token& dash, const Token& end,
                   std::size_t stop, bool paren, SheetTerm& term)
{
  std::string_view written = reader.text.substr(start.begin, stop - start.begin);
  if (paren)
    written = reader.text.substr(start.begin - 1, stop + 1 - (start.begin - 1));
  if (start.meridiem != end.meridiem) {
    const Token& plain = start.meridiem ? end : start;
    if (plain.hour >= 1 && plain.hour <= 12) {
      std::string clock(reader.text.substr(plain.begin, plain.end - plain.begin));
      return fail(reader, start.begin,
                  quote(written) + " has am or pm at one end only: write " + quote(clock + "am") +
                      " or " + quote(clock + "pm") + " for " + quote(clock));
    }
  }
  std::int64_t to = end.minutes;
  if (reader.overnight && start.minutes >= kNoon && to < kNoon)
    to += kDay;
  if (to <= start.minutes) {
    Token moved = end;
    moved.minutes = to;
    return fail_interval(reader, start, dash, moved, written, paren);
  }
  if (!fits_32_bits(to - start.minutes))
    return fail(reader, start.begin, quote(written) + " is more than 2147483647 minutes");
  term.value = from_minutes(static_cast<std::int32_t>(to - start.minutes));
  reader.from = start.minutes;
  reader.to = to;
  return true;
}

// An interval in parentheses as written, from its "(" to its ")" or the end of the line.
std::string quote_paren(const Reader& reader, std::size_t open)
{
  std::size_t close = reader.text.find(')', open);
  if (close == std::string_view::npos)
    return quote(rest_of_line(reader, open));
  return quote_at(reader.text, open, close + 1);
}

// Reads "(start,end)", the token at hand being its "(".
bool read_paren_interval(Reader& reader, SheetTerm& term)
{
  const std::size_t open = at_hand(reader).begin;
  advance(reader);
  const Token start = at_hand(reader);
  if (start.kind == Kind::kBad)
    return fail(reader, start.begin, start.message);
  if (start.kind == Kind::kWord || start.kind == Kind::kNumber)
    return fail_words(reader, open, {});
  if (start.kind != Kind::kClock)
    return fail(reader, open,
                quote_paren(reader, open) + " needs a start and an end, as (9:00,17:00)");
  advance(reader);
  const Token comma = at_hand(reader);
  if (comma.kind == Kind::kDash || comma.kind == Kind::kEnDash) {
    return fail(reader, comma.begin,
                quote_paren(reader, open) + " has " + quote_token(reader, comma) +
                    " where its comma should be; write (start,end), or the interval without "
                    "parentheses, as 9:00-17:00");
  }
  if (comma.kind != Kind::kComma) {
    return fail(reader, open,
                quote_paren(reader, open) + " needs a comma between its start and its end");
  }
  advance(reader);
  const Token end = at_hand(reader);
  if (end.kind == Kind::kBad)
    return fail(reader, end.begin, end.message);
  if (end.kind != Kind::kClock)
    return fail(reader, open, quote_paren(reader, open) + " needs a clock after its comma");
  advance(reader);
  if (at_hand(reader).kind != Kind::kClose)
    return fail(reader, open, quote_paren(reader, open) + " has no closing parenthesis");
  advance(reader);
  return take_interval(reader, start, comma, end, end.end, true, term);
}

// How to write the time from one hour to another, as a writer of "9-5" or "22h-6h" means.
std::string hour_range(std::int64_t from, std::int64_t to)
{
  std::string start = clock_text(from * kMinutesPerHour);
  if (to > from)
    return start + "-" + clock_text(to * kMinutesPerHour);
  if (to >= 1 && to < 12 && to + 12 > from)
    return start + "-" + clock_text((to + 12) * kMinutesPerHour) + " (" + std::to_string(to) +
           " pm)";
  return start + "-" + clock_text((to + 24) * kMinutesPerHour) + " (the next day)";
}

// The fault of two durations in whole hours with a dash between, as 9h-17h.
bool fail_hour_range(Reader& reader, const Token& first, const Token& second)
{
  std::int64_t from = first.minutes / kMinutesPerHour;
  std::int64_t to = second.minutes / kMinutesPerHour;
  std::string readings = "for the time from " + std::to_string(from) + " to " + std::to_string(to) +
                         " o'clock, write " + hour_range(from, to);
  if (from > to) {
    readings += "; for " + std::to_string(from) + " hours less " + std::to_string(to) + ", write " +
                std::to_string(from - to) + "h";
  }
  return fail(
      reader, first.begin,
      quote_at(reader.text, first.begin, second.end) + " could be read two ways: " + readings);
}

// Readings of a number with no colon and no unit, as 45, 930 or 4.25.
std::string number_readings(std::string_view number)
{
  std::size_t mark = number.find_first_of(".,");
  std::string whole(number.substr(0, mark));
  if (mark == std::string_view::npos) {
    if (number.size() == 3 || number.size() == 4) {
      return quote(number) + " is no clock: write hours:minutes, as " +
             whole.insert(number.size() - 2, ":");
    }
    return quote(number) + " has no unit: write " + whole + "h for hours, or " + whole +
           "m for minutes";
  }
  std::string fraction(number.substr(mark + 1));
  std::string minutes = fraction.size() == 1 ? fraction + "0" : fraction;
  return quote(number) + " could be read two ways: as decimal hours, write " + whole + "." +
         fraction + "h; as hours and minutes, write " + whole + ":" + minutes;
}

// The fault of a term, or what follows one, that stands beside the term before it with no
// operator between; before_begin .. before_end is that term.
bool fail_beside(Reader& reader, std::size_t before_begin, std::size_t before_end)
{
  const Token& next = at_hand(reader);
  std::string before = quote_at(reader.text, before_begin, before_end);
  std::string_view prior = reader.text.substr(before_begin, before_end - before_begin);
  bool open_clock = prior.back() == ':' && prior.find(':') == prior.size() - 1;
  // "Week 50: 9:00": the colon is a label's; "9: 30": a blank inside a clock.
  if (open_clock && reader.line->terms.size() == 1 && !reader.line->label.empty() &&
      next.kind != Kind::kNumber) {
    auto from = static_cast<std::size_t>(reader.line->label.data() - reader.text.data());
    std::string label(reader.text.substr(from, before_end - 1 - from));
    return fail(reader, from,
                quote_at(reader.text, from, before_end) + " is no clock, and a label " +
                    "cannot hold ':'; write " + quote(label));
  }
  if (open_clock && next.kind == Kind::kNumber && next.end - next.begin <= 2) {
    return fail(reader, before_begin,
                quote_at(reader.text, before_begin, next.end) +
                    " has a blank inside a clock; write " + std::string(prior) +
                    std::string(reader.text.substr(next.begin, next.end - next.begin)));
  }
  if (next.kind == Kind::kNumber) {
    return fail(reader, next.begin,
                "after " + before + ", " +
                    number_readings(reader.text.substr(next.begin, next.end - next.begin)) +
                    "; and + or - before it");
  }
  return fail(reader, next.begin,
              before + " and " + quote_token(reader, next) +
                  " need + or - between them: only intervals stand side by side");
}

// Whether the tokens at hand are a clock, a dash and a clock: an interval, where the place
// lets them be one.
bool is_dash_interval(const Reader& reader)
{
  const auto& t = reader.tokens;
  return t[0].kind == Kind::kClock && (t[1].kind == Kind::kDash || t[1].kind == Kind::kEnDash) &&
         t[2].kind == Kind::kClock;
}

// Whether the tokens at hand begin an interval, of either form.
bool begins_interval(const Reader& reader)
{
  return at_hand(reader).kind == Kind::kOpen || is_dash_interval(reader);
}

// Reads the term at hand, in place, into term; interval says whether it was one.
bool read_term(Reader& reader, Place place, SheetTerm& term, bool& interval)
{
  const Token& token = at_hand(reader);
  term.offset = token.begin;
  interval = false;
  switch (token.kind) {
    case Kind::kOpen:
      interval = true;
      return read_paren_interval(reader, term);
    case Kind::kBad:
      return fail(reader, token.begin, token.message);
    case Kind::kNumber:
      return fail(reader, token.begin,
                  number_readings(reader.text.substr(token.begin, token.end - token.begin)));
    case Kind::kWord:
      return fail_words(reader, token.begin, {});
    case Kind::kForeign:
    case Kind::kEnDash:
      return fail(reader, token.begin, describe_foreign(reader.text.substr(token.begin)));
    case Kind::kClock:
    case Kind::kDuration:
      break;
    default:
      return fail(reader, token.begin, quote_token(reader, token) + " stands where a term should");
  }
  const Token& dash = reader.tokens[1];
  const Token& next = reader.tokens[2];
  if (token.kind == Kind::kDuration && dash.kind == Kind::kDash && next.kind == Kind::kDuration &&
      token.whole_hours && next.whole_hours)
    return fail_hour_range(reader, token, next);
  if (is_dash_interval(reader)) {
    bool blanks = dash.blank_before || next.blank_before;
    if (place == Place::kPlus && blanks && dash.kind == Kind::kDash) {
      std::string first(reader.text.substr(token.begin, token.end - token.begin));
      std::string second(reader.text.substr(next.begin, next.end - next.begin));
      return fail(reader, token.begin,
                  quote_at(reader.text, token.begin, next.end) +
                      " could be read two ways: " + "for the time from " + first + " to " + second +
                      ", write " + first + "-" + second + "; to subtract " + second + ", put - " +
                      second + " on a line of its own");
    }
    if (place != Place::kMinus || dash.kind == Kind::kEnDash) {
      interval = true;
      const Token start = token;
      const Token dash_token = dash;
      const Token end = next;
      advance(reader);
      advance(reader);
      advance(reader);
      return take_interval(reader, start, dash_token, end, end.end, false, term);
    }
  }
  if (place == Place::kBeside)
    return fail_beside(reader, term.offset, term.offset);
  term.value = from_minutes(static_cast<std::int32_t>(token.minutes));
  advance(reader);
  return true;
}

// An interval of a line: its time of day, and where it is written.
struct Span {
  std::int64_t from = 0;
  std::int64_t to = 0;
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The fault of the last interval of run, where it overlaps one beside it.
bool fail_overlap(Reader& reader, const std::vector<Span>& run)
{
  const Span& last = run.back();
  for (std::size_t i = 0; i + 1 < run.size(); ++i) {
    if (last.from >= run[i].to || run[i].from >= last.to)
      continue;
    std::string_view first = reader.text.substr(run[i].begin, run[i].end - run[i].begin);
    std::string second = "(" + clock_text(last.from) + "," + clock_text(last.to) + ")";
    return fail(reader, last.begin,
                quote(first) + " and " + quote_at(reader.text, last.begin, last.end) +
                    " overlap: to subtract the second, write " + std::string(first) + " - " +
                    second + "; to add both, write " + std::string(first) + " + " + second);
  }
  return true;
}

// Reads the terms of a line from the token at hand, the first in place, with op before it.
bool read_terms(Reader& reader, Place place, char op)
{
  std::vector<Span> run;  // the intervals side by side so far, past the first
  Span first;
  for (;;) {
    SheetTerm term;
    term.op = op;
    bool interval = false;
    if (!read_term(reader, place, term, interval))
      return false;
    std::size_t stop = reader.tokens[0].begin;
    while (stop > term.offset && is_blank(reader.text[stop - 1]))
      --stop;
    reader.line->terms.push_back(term);
    Span span{reader.from, reader.to, term.offset, stop};
    if (place != Place::kBeside) {
      run.clear();
      first = span;
    } else {
      if (run.empty())
        run.push_back(first);
      run.push_back(span);
      if (!fail_overlap(reader, run))
        return false;
    }
    const Token& next = at_hand(reader);
    switch (next.kind) {
      case Kind::kEnd:
        return true;
      case Kind::kPlus:
      case Kind::kDash: {
        op = next.kind == Kind::kPlus ? '+' : '-';
        const Token sign = next;
        advance(reader);
        const Token& after = at_hand(reader);
        if (after.kind == Kind::kEnd)
          return fail(reader, sign.begin,
                      quote_token(reader, sign) + " has no term after it on its line");
        if (after.kind == Kind::kPlus || after.kind == Kind::kDash) {
          return fail(reader, after.begin,
                      quote_token(reader, sign) + " and " + quote_token(reader, after) +
                          " need a term between them");
        }
        place = op == '+' ? Place::kPlus : Place::kMinus;
        continue;
      }
      case Kind::kComma:
        if (interval) {
          advance(reader);
          if (begins_interval(reader)) {
            place = Place::kBeside;
            op = '+';
            continue;
          }
          return fail(reader, next.begin,
                      "',' after " + quote_at(reader.text, term.offset, stop) +
                          " parts intervals, and no interval follows it");
        }
        return fail(reader, next.begin,
                    "',' after " + quote_at(reader.text, term.offset, stop) +
                        " is no operator: write + or -, or a note after #");
      case Kind::kOpen:
      case Kind::kClock:
        if (interval && begins_interval(reader)) {
          place = Place::kBeside;
          op = '+';
          continue;
        }
        break;
      case Kind::kWord:
        for (std::string_view word : kRangeWords) {
          if (next.end - next.begin == word.size() &&
              begins_with_word(reader.text, next.begin, word) && !interval &&
              reader.tokens[1].kind == Kind::kClock) {
            const Token& end = reader.tokens[1];
            return fail(reader, next.begin,
                        quote_token(reader, next) + " is no operator: for the time from " +
                            quote_at(reader.text, term.offset, stop) + " to " +
                            quote_token(reader, end) + ", write " +
                            std::string(reader.text.substr(term.offset, stop - term.offset)) + "-" +
                            std::string(reader.text.substr(end.begin, end.end - end.begin)));
          }
        }
        return fail_words(reader, next.begin, reader.text.substr(term.offset, stop - term.offset));
      case Kind::kForeign:
      case Kind::kEnDash:
        return fail(reader, next.begin, describe_foreign(reader.text.substr(next.begin)));
      case Kind::kClose:
        return fail(
            reader, next.begin,
            "')' after " + quote_at(reader.text, term.offset, stop) + " has no '(' before it");
      default:
        break;
    }
    return fail_beside(reader, term.offset, stop);
  }
}

// Whether every word of text is digits.
bool is_digits_and_blanks(std::string_view text)
{
  for (char c : text) {
    if (!is_digit(c) && !is_blank(c))
      return false;
  }
  return true;
}

// The fault of a label that no term follows, the token at hand being the end or a mark: its
// last word was probably meant as a term.
bool fail_label_alone(Reader& reader, std::size_t begin, std::size_t last_word, std::size_t end)
{
  std::string_view label = reader.text.substr(begin, end - begin);
  std::string_view word = reader.text.substr(last_word, end - last_word);
  std::size_t dash = word.find('-');
  if (dash != std::string_view::npos && dash > 0 && dash + 1 < word.size() &&
      is_digits_and_blanks(word.substr(0, dash)) && is_digits_and_blanks(word.substr(dash + 1))) {
    std::string from(word.substr(0, dash));
    std::string to(word.substr(dash + 1));
    if (from.size() >= 3 && to.size() >= 3) {
      return fail(reader, last_word,
                  quote(word) + " is no interval: write hours:minutes, as " +
                      from.insert(from.size() - 2, ":") + "-" + to.insert(to.size() - 2, ":"));
    }
    std::int64_t first = field_value(from);
    std::int64_t second = field_value(to);
    std::string readings =
        "for the time from " + from + " to " + to + " o'clock, write " + hour_range(first, second);
    if (first > second) {
      readings +=
          "; for " + from + " hours less " + to + ", write " + std::to_string(first - second) + "h";
    }
    return fail(reader, last_word, quote(word) + " could be read two ways: " + readings);
  }
  if (!word.empty() && is_digit(word[0]) &&
      word.find_first_not_of("0123456789.,") == std::string_view::npos &&
      word.find_first_of(".,") == word.find_last_of(".,") && is_digit(word.back()))
    return fail(reader, last_word, number_readings(word));
  if (has_time_word(label))
    return fail_words(reader, begin, {});
  const Token& next = at_hand(reader);
  if (next.kind == Kind::kEnd)
    return fail(reader, begin, "the label " + quote(label) + " has no term after it");
  return fail(reader, next.begin,
              "the label " + quote(label) + " is followed by " + quote_token(reader, next) +
                  ", not by a term");
}

// Reads the label, if any, that begins at the token at hand: the words before the first term.
bool read_label(Reader& reader)
{
  const std::size_t begin = at_hand(reader).begin;
  std::size_t end = begin;
  std::size_t last_word = begin;
  for (;;) {
    const Token& token = at_hand(reader);
    bool inside_word =
        token.kind == Kind::kDash && !token.blank_before && end > begin &&
        !reader.tokens[1].blank_before &&
        (reader.tokens[1].kind == Kind::kWord || reader.tokens[1].kind == Kind::kNumber);
    if (token.kind != Kind::kWord && token.kind != Kind::kNumber && !inside_word)
      break;
    if (token.blank_before)
      last_word = token.begin;
    end = token.end;
    advance(reader);
  }
  const Token& next = at_hand(reader);
  if (next.kind == Kind::kForeign || next.kind == Kind::kEnDash)
    return fail(reader, next.begin, describe_foreign(reader.text.substr(next.begin)));
  if (end == begin)
    return true;
  std::string_view label = reader.text.substr(begin, end - begin);
  // "Mon, 9:00-17:00": a comma that parts the label from the terms belongs to neither.
  if (next.kind == Kind::kComma && !next.blank_before) {
    end = next.end;
    advance(reader);
  }
  reader.line->label = reader.text.substr(begin, end - begin);
  label = reader.line->label;
  if (next.kind != Kind::kClock && next.kind != Kind::kDuration && next.kind != Kind::kOpen &&
      next.kind != Kind::kBad)
    return fail_label_alone(reader, begin, last_word, end);
  std::size_t mark = label.find_first_of(":,");
  if (mark != std::string_view::npos) {
    std::string kept(label);
    for (char& c : kept)
      c = c == ':' || c == ',' ? ' ' : c;
    while (!kept.empty() && kept.back() == ' ')
      kept.pop_back();
    return fail(reader, begin,
                quote(label) + " is no clock, and a label cannot hold '" + label[mark] +
                    "'; write " + quote(kept));
  }
  if (!is_digits_and_blanks(label))
    return true;
  if (next.kind == Kind::kClock && reader.text[next.begin] == ':' && next.blank_before) {
    return fail(reader, last_word,
                quote_at(reader.text, last_word, next.end) + " has a blank inside a clock; write " +
                    std::string(reader.text.substr(last_word, end - last_word)) +
                    std::string(reader.text.substr(next.begin, next.end - next.begin)));
  }
  return fail(reader, begin,
              "the label " + quote(label) +
                  " is digits alone, as a mistyped clock would be; add a word, as Day " +
                  std::string(label));
}

// The first word of text that begins with @, or empty.
std::string_view first_tag(std::string_view text)
{
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '@' || (at > 0 && !is_blank(text[at - 1])))
      continue;
    std::size_t end = at;
    while (end < text.size() && !is_blank(text[end]))
      ++end;
    if (end > at + 1)
      return text.substr(at, end - at);
  }
  return {};
}

}  // namespace

bool parse_line(std::string_view text, bool overnight, SheetLine& line, LineFault& fault)
{
  line.kind = LineKind::kBlank;
  line.label = {};
  line.tag = {};
  line.terms.clear();
  std::size_t hash = text.find('#');
  Reader reader;
  reader.text = text.substr(0, hash);
  reader.overnight = overnight;
  reader.line = &line;
  reader.fault = &fault;
  reader.tokens[0] = lex(reader.text, 0);
  reader.tokens[1] = lex(reader.text, reader.tokens[0].end);
  reader.tokens[2] = lex(reader.text, reader.tokens[1].end);
  const Token& first = at_hand(reader);
  if (first.kind == Kind::kEnd)
    return true;
  if (first.kind == Kind::kPlus || first.kind == Kind::kDash) {
    line.kind = LineKind::kContinuation;
    char op = first.kind == Kind::kPlus ? '+' : '-';
    const Token sign = first;
    advance(reader);
    const Token& after = at_hand(reader);
    if (after.kind == Kind::kEnd)
      return fail(reader, sign.begin,
                  quote_token(reader, sign) + " has no term after it on its line");
    if (after.kind == Kind::kPlus || after.kind == Kind::kDash) {
      return fail(reader, after.begin,
                  quote_token(reader, sign) + " and " + quote_token(reader, after) +
                      " need a term between them");
    }
    if (!read_terms(reader, op == '+' ? Place::kPlus : Place::kMinus, op))
      return false;
  } else {
    line.kind = LineKind::kEntry;
    if (!read_label(reader) || !read_terms(reader, Place::kFirst, '+'))
      return false;
  }
  line.tag = first_tag(line.label);
  if (line.tag.empty() && hash != std::string_view::npos)
    line.tag = first_tag(text.substr(hash + 1));
  return true;
}
