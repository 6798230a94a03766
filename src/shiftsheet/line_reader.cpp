#include "shiftsheet/line_reader.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "shiftsheet/characters.h"
#include "shiftsheet/utf8.h"

// A line is cut into tokens, each character looked at once, and read by a parser that holds
// the token at hand and the two after it. A fault is decided where the parser stops, and
// recorded as what it found there; describe_fault puts it into words when it is shown.

namespace {

constexpr std::int64_t kHour = 60;
constexpr std::int64_t kHoursOfClock = 12;  // the hours that take am or pm: 1 to 12
constexpr std::int64_t kTenth = kHour / 10;
constexpr std::int64_t kHundredths = 100;
constexpr std::int64_t kQuarter = kHundredths / 4;
constexpr std::int64_t kNoon = kHoursOfClock * kHour;
constexpr std::int64_t kDay = 24 * kHour;
constexpr std::int64_t kLongestBreak = 2 * kHour;  // what "8:00 - 0:30" may take off
// The shortest afternoon that makes "12:00-4:00" two ways to read, even with --overnight.
constexpr std::int64_t kShortestAfternoon = 3 * kHour;
constexpr std::size_t kLongestField = 10;  // digits; more leave 32 bits in any case

enum class Kind : std::uint8_t {
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
  kBad,  // what no term may be, with its fault
};

// A token as lex cuts it; one made as Token{} is the end of a line, with no value.
struct Token {
  Kind kind;
  Fault bad;
  bool blank_before;
  bool meridiem;     // a clock with am or pm
  bool hour_form;    // a duration written as a clock's hours may be, as 22h or 6h30
  bool time_of_day;  // a clock written as one: with am or pm, or as H:MM below 60
  bool timed;        // a word of a number and its unit, as 8hrs or 30min
  std::size_t begin;
  std::size_t end;
  std::size_t next;      // where the next token is looked for: its end, or past blanks after it
  std::int64_t hour;     // a clock's hour as written
  std::int64_t minutes;  // a clock's time of day, or a duration's length
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

constexpr std::array<std::string_view, 5> kRangeWords = {"to", "bis", "until", "till", "thru"};
// Words that say a time is meant, at the start of a word: "45 min", "Pause", "halbe Stunde".
constexpr std::array<std::string_view, 13> kTimeWords = {
    "min",   "hour",   "hr",   "std",  "stunde",  "pause",  "break",
    "lunch", "mittag", "halb", "half", "quarter", "viertel"};
// Words that take time off, where words hold a time.
constexpr std::array<std::string_view, 12> kBreakWords = {"pause", "break",  "lunch",   "mittag",
                                                          "minus", "less",   "without", "excl",
                                                          "off",   "deduct", "abz",     "ohne"};
// Words that make the number before them a time: hours, minutes, or times over.
constexpr std::array<std::string_view, 8> kHourWords = {"h",     "hr",  "hrs",    "hour",
                                                        "hours", "std", "stunde", "stunden"};
constexpr std::array<std::string_view, 6> kMinuteWords = {"m",      "min",     "mins",
                                                          "minute", "minutes", "minuten"};

// What each byte is to the lexer, looked up once per byte.
enum CharClass : std::uint8_t {
  kPlain = 0,
  kBlank = 1,
  kDigit = 2,
  kMark = 4,     // + - ( ) , each a token of its own
  kControl = 8,  // no line may hold one
  kHigh = 16,    // part of a character past ASCII, which may be a look-alike
};

constexpr std::size_t kBytes = 256;
constexpr std::size_t kDelete = 0x7F;
constexpr std::size_t kFirstHigh = 0x80;

constexpr std::array<std::uint8_t, kBytes> make_classes()
{
  std::array<std::uint8_t, kBytes> classes{};
  for (std::size_t c = 0; c < classes.size(); ++c) {
    if (c < ' ' || c == kDelete)
      classes[c] = kControl;
    if (c >= kFirstHigh)
      classes[c] = kHigh;
    if (c >= '0' && c <= '9')
      classes[c] = kDigit;
  }
  classes[' '] = kBlank;
  classes['\t'] = kBlank;
  for (char c : {'+', '-', '(', ')', ','})
    classes[static_cast<unsigned char>(c)] = kMark;
  return classes;
}

constexpr std::array<std::uint8_t, kBytes> kClasses = make_classes();

std::uint8_t class_of(char c)
{
  return kClasses[static_cast<unsigned char>(c)];
}

char lower(char c)
{
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The look-alike at the front of text, which is not empty, or null.
const LookAlike* look_alike_at(std::string_view text)
{
  if (class_of(text[0]) != kHigh)
    return nullptr;
  std::size_t length = utf8_length(text);
  std::string_view character = text.substr(0, length == 0 ? 1 : length);
  for (const LookAlike& look_alike : kLookAlikes) {
    if (character == look_alike.bytes)
      return &look_alike;
  }
  return nullptr;
}

// The kind of a mark, a character of class kMark.
Kind mark_kind(char c)
{
  switch (c) {
    case '+':
      return Kind::kPlus;
    case '-':
      return Kind::kDash;
    case '(':
      return Kind::kOpen;
    case ')':
      return Kind::kClose;
    default:  // ',', the last
      return Kind::kComma;
  }
}

// Whether a token ends before text[at]: at a blank, a mark, or the end.
bool ends_token(std::string_view text, std::size_t at)
{
  if (at >= text.size())
    return true;
  std::uint8_t c = class_of(text[at]);
  if (c == kHigh)
    return look_alike_at(text.substr(at)) != nullptr;
  return (c & (kBlank | kMark | kControl)) != 0;
}

std::size_t skip_digits(std::string_view text, std::size_t at)
{
  while (at < text.size() && is_digit(text[at]))
    ++at;
  return at;
}

std::size_t skip_blanks(std::string_view text, std::size_t at)
{
  while (at < text.size() && class_of(text[at]) == kBlank)
    ++at;
  return at;
}

bool is_digits_and_blanks(std::string_view text)
{
  for (char c : text) {
    if (!is_digit(c) && !is_blank(c))
      return false;
  }
  return true;
}

// Whether text is a clock written without its colon: 930, 0630, 9.30 or 17,00.
bool is_clock_digits(std::string_view text)
{
  std::size_t mark = text.find_first_of(".,");
  if (mark == std::string_view::npos)
    return (text.size() == 3 || text.size() == 4) && is_digits_and_blanks(text);
  return mark >= 1 && mark <= 2 && text.size() == mark + 3 &&
         is_digits_and_blanks(text.substr(0, mark)) && is_digits_and_blanks(text.substr(mark + 1));
}

// Whether a word of text may start at text[at]: at its start, or after a blank or a '('.
bool starts_word(std::string_view text, std::size_t at)
{
  return at == 0 || is_blank(text[at - 1]) || text[at - 1] == '(';
}

// Whether text[at] begins word, in any case, at the start of a word of text.
bool begins_word(std::string_view text, std::size_t at, std::string_view word)
{
  if (!starts_word(text, at))
    return false;
  if (text.size() - at < word.size())
    return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (lower(text[at + i]) != word[i])
      return false;
  }
  return true;
}

// Whether word is one of words, in any case.
template <std::size_t N>
bool is_one_of(std::string_view text, const std::array<std::string_view, N>& words)
{
  for (std::string_view word : words) {
    if (text.size() == word.size() && begins_word(text, 0, word))
      return true;
  }
  return false;
}

// The unit that the letters at words[at] name: 'h' for hours, 'm' for minutes, or 0.
char unit_at(std::string_view words, std::size_t at)
{
  std::size_t end = at;
  while (end < words.size() && lower(words[end]) >= 'a' && lower(words[end]) <= 'z')
    ++end;
  std::string_view unit = words.substr(at, end - at);
  if (unit.empty())
    return '\0';
  if (is_one_of(unit, kHourWords))
    return 'h';
  return is_one_of(unit, kMinuteWords) ? 'm' : '\0';
}

// Whether word, after a number, makes it a time or a range: "7 hours", "2 x", "10 till".
bool is_time_word(std::string_view word)
{
  return is_one_of(word, kHourWords) || is_one_of(word, kMinuteWords) ||
         is_one_of(word, kRangeWords) || word == "x";
}

// Where "am" or "pm" ends that follows text[at], blanks between or none; 0 where none does,
// with next past the blanks.
std::size_t meridiem_end(std::string_view text, std::size_t at, bool& pm, std::size_t& next)
{
  std::size_t from = skip_blanks(text, at);
  next = from;
  if (from + 2 > text.size() || lower(text[from + 1]) != 'm' || !ends_token(text, from + 2))
    return 0;
  pm = lower(text[from]) == 'p';
  return pm || lower(text[from]) == 'a' ? from + 2 : 0;
}

void set_bad(Token& token, Fault fault)
{
  token.kind = Kind::kBad;
  token.bad = fault;
}

// A run of digits: where it ends, how many there are, and their value, which stops growing
// once it is past 32 bits.
struct Field {
  std::size_t end = 0;
  std::size_t length = 0;
  std::int64_t value = 0;
};

Field read_field(std::string_view text, std::size_t at)
{
  Field field;
  for (field.end = at; field.end < text.size() && is_digit(text[field.end]); ++field.end) {
    if (field.value <= std::numeric_limits<std::int32_t>::max())
      field.value = field.value * 10 + (text[field.end] - '0');
  }
  field.length = field.end - at;
  return field;
}

// The value of a field of digits that is known to be short, as 12 or 0630.
std::int64_t field_value(std::string_view digits)
{
  return read_field(digits, 0).value;
}

// A clock's value, from its hours and minutes, with pm where meridiem says.
void value_clock(const Field& hours, const Field& minutes, bool pm, Token& token)
{
  token.hour = hours.value;
  token.minutes = hours.value * kHour + minutes.value;
  token.time_of_day =
      token.meridiem || (hours.length > 0 && minutes.length == 2 && minutes.value < kHour);
  if (!fits_32_bits(hours.value) || !fits_32_bits(minutes.value) || !fits_32_bits(token.minutes))
    return set_bad(token, Fault::kTooLarge);
  if (!token.meridiem)
    return;
  if (hours.value < 1 || hours.value > kHoursOfClock || minutes.value >= kHour)
    return set_bad(token, Fault::kNoonHours);
  token.minutes = hours.value % kHoursOfClock * kHour + (pm ? kNoon : 0) + minutes.value;
}

// A duration's value: 45m, 8h, 7h30, 7h30m, or decimal hours in tenths or quarters, 7.25h;
// unit is what follows its first digits, part the digits after that.
void value_duration(const Field& first, char unit, const Field& part, Token& token)
{
  if (first.length > kLongestField)
    return set_bad(token, Fault::kTooLarge);
  token.hour_form = unit == 'h';
  token.minutes = unit == 'm' ? first.value : first.value * kHour;
  if (unit == 'h' && (part.length > 2 || part.value >= kHour))
    return set_bad(token, Fault::kOverMinutes);
  if (unit == 'h')
    token.minutes += part.value;
  else if (unit != 'm' && part.length == 1)
    token.minutes += part.value * kTenth;
  else if (unit != 'm' && part.length == 2 && part.value % kQuarter == 0)
    token.minutes += part.value * kHour / kHundredths;
  else if (unit != 'm')
    return set_bad(token, Fault::kDecimal);
  if (!fits_32_bits(token.minutes))
    set_bad(token, Fault::kTooLarge);
}

// Reads what follows the first digits of a number token into token's kind: a colon and
// minutes, a unit, a decimal mark and digits. The digits after the first, and where it all
// ends, are returned.
Field read_unit(std::string_view text, const Field& first, char unit, Token& token)
{
  const bool more = first.end + 1 < text.size() && is_digit(text[first.end + 1]);
  Field part;
  part.end = first.end;
  token.kind = Kind::kNumber;
  if (unit == ':') {
    token.kind = Kind::kClock;
    return read_field(text, first.end + 1);
  }
  if ((unit == '.' || unit == ',') && more) {
    part = read_field(text, first.end + 1);
    if (part.end < text.size() && lower(text[part.end]) == 'h') {
      token.kind = Kind::kDuration;
      ++part.end;
    }
  } else if (first.length > 0 && unit == 'h') {
    token.kind = Kind::kDuration;
    part = read_field(text, first.end + 1);
    if (part.length > 0 && part.end < text.size() && lower(text[part.end]) == 'm')
      ++part.end;
  } else if (first.length > 0 && unit == 'm') {
    token.kind = Kind::kDuration;
    part.end = first.end + 1;
  } else if (unit == '-' && first.length == 4 && more && first.end + 3 < text.size() &&
             text[first.end + 3] == '-') {
    part.end = first.end + 4;  // a date, 2026-12-07: its dashes are no minus
  }
  return part;
}

// A token that begins with a digit or a colon: a clock, a duration, a number, or a word
// such as "45min", "2026-12-07" or "07.12.2026".
void lex_number(std::string_view text, Token& token)
{
  // A date, as most labels begin with, 2026-12-07: a word, with no look at what else it
  // might be.
  constexpr std::size_t kDate = sizeof "2026-12-07" - 1;
  constexpr std::size_t kMonthDash = sizeof "2026-12" - 1;
  const std::size_t at = token.begin;
  if (at + kDate <= text.size() && text[at + 4] == '-' && text[at + kMonthDash] == '-' &&
      ends_token(text, at + kDate) && skip_digits(text, at) == at + 4) {
    token.kind = Kind::kWord;
    token.end = at + kDate;
    return;
  }
  const Field first = read_field(text, token.begin);
  const char unit = first.end < text.size() ? lower(text[first.end]) : '\0';
  const Field part = read_unit(text, first, unit, token);
  bool pm = false;
  std::size_t meridiem = 0;
  if (token.kind == Kind::kClock ||
      (token.kind == Kind::kNumber && part.end == first.end && first.length > 0))
    meridiem = meridiem_end(text, part.end, pm, token.next);
  token.end = meridiem != 0 ? meridiem : part.end;
  token.next = meridiem != 0 || token.next == 0 ? token.end : token.next;
  if (!ends_token(text, token.end)) {
    token.kind = Kind::kWord;
    while (!ends_token(text, token.end))
      ++token.end;
    token.timed = first.length > 0 && unit_at(text, first.end) != '\0';  // "8hrs", "30min"
    return;
  }
  token.meridiem = meridiem != 0;
  if (token.kind == Kind::kDuration)
    return value_duration(first, unit, part, token);
  if (token.kind == Kind::kClock || token.meridiem) {
    token.kind = Kind::kClock;
    value_clock(first, unit == ':' ? part : Field{}, pm, token);
  }
}

// Reads into token a token that is no mark, as lex has begun it: a number, a look-alike of a
// mark, or a word.
void lex_other(std::string_view text, Token& token)
{
  const char c = text[token.begin];
  const std::uint8_t cls = class_of(c);
  if (cls == kDigit || c == ':')
    return lex_number(text, token);
  const LookAlike* look_alike = cls == kPlain ? nullptr : look_alike_at(text.substr(token.begin));
  if (look_alike != nullptr || cls == kControl) {
    set_bad(token, Fault::kForeign);
    if (look_alike != nullptr && std::string_view(look_alike->name).substr(0, 10) == "an en dash")
      token.kind = Kind::kEnDash;  // in UTF-8 or in Windows-1252
    token.end += look_alike != nullptr ? look_alike->bytes.size() - 1 : 0;
    return;
  }
  token.kind = Kind::kWord;
  // Letters and digits, most of a word, need no look at look-alikes.
  for (;;) {
    while (token.end < text.size() && (class_of(text[token.end]) & ~kDigit) == 0)
      ++token.end;
    if (ends_token(text, token.end))
      return;
    ++token.end;
  }
}

// Reads into token the token that begins at or after text[at], past blanks.
void lex(std::string_view text, std::size_t at, Token& token)
{
  const std::size_t begin = skip_blanks(text, at);
  const bool end = begin == text.size();
  token = Token{};  // kEnd, and no value
  token.blank_before = begin == 0 || is_blank(text[begin - 1]);
  token.begin = begin;
  token.end = end ? begin : begin + 1;
  if (end)
    return;
  if (class_of(text[begin]) == kMark)
    token.kind = mark_kind(text[begin]);
  else
    lex_other(text, token);
}

// Where a term is read: what stands before it says how a dash after a clock reads.
enum class Place {
  kFirst,   // an entry's first term: "9:00-17:00" and "9:00 - 17:00" are intervals
  kBeside,  // beside an interval, with blanks or a comma between: another interval
  kPlus,    // after +: "9:00-12:00" is an interval, "9:00 - 12:00" could be either
  kMinus,   // after -: a clock is subtracted, and a dash after it is a minus
};

struct Reader {
  std::string_view text;  // the line without its comment
  bool overnight = false;
  std::array<Token, 4> ring;  // the token at hand, then the two after it, and a spare
  std::size_t head = 0;
  SheetLine* line = nullptr;
  LineFault* fault = nullptr;
};

// Where the token after token is looked for.
std::size_t resume(const Token& token)
{
  return token.next > token.end ? token.next : token.end;
}

// Cuts into token the token after last; nothing follows the end.
void cut_after(std::string_view text, const Token& last, Token& token)
{
  if (last.kind == Kind::kEnd)
    token = last;
  else
    lex(text, resume(last), token);
}

// The ring's size is a power of two, so that an index wraps with a mask.
constexpr std::size_t kRingMask = 3;

// The token ahead of the one at hand, 0 being that one.
const Token& peek(const Reader& reader, std::size_t ahead)
{
  return reader.ring[(reader.head + ahead) & kRingMask];
}

// Moves on to the next token; the one that was at hand stays valid until the next move.
void advance(Reader& reader)
{
  cut_after(reader.text, peek(reader, 2), reader.ring[(reader.head + 3) & kRingMask]);
  reader.head = (reader.head + 1) & kRingMask;
}

std::string_view slice(const Reader& reader, std::size_t begin, std::size_t end)
{
  return reader.text.substr(begin, end - begin);
}

std::string_view written(const Reader& reader, const Token& token)
{
  return slice(reader, token.begin, token.end);
}

// The rest of the line from offset, without the blanks at its end.
std::string_view rest_of_line(const Reader& reader, std::size_t offset)
{
  std::size_t end = reader.text.size();
  while (end > offset && is_blank(reader.text[end - 1]))
    --end;
  return slice(reader, offset, end);
}

bool fail(Reader& reader, Fault kind, std::size_t offset, std::string_view text,
          std::string_view other = {})
{
  LineFault& fault = *reader.fault;
  fault.kind = kind;
  fault.offset = offset;
  fault.text = text;
  fault.other = other;
  return false;
}

bool fail_token(Reader& reader, const Token& token)
{
  return fail(reader, token.bad, token.begin, written(reader, token));
}

// A fault of the interval in parentheses that begins at text[open], shown to its ')'.
bool fail_paren(Reader& reader, Fault kind, std::size_t open, std::string_view other = {})
{
  std::size_t close = reader.text.find(')', open);
  std::string_view shown =
      close == std::string_view::npos ? rest_of_line(reader, open) : slice(reader, open, close + 1);
  return fail(reader, kind, open, shown, other);
}

// Reads the interval from start to end, written as text at offset, into term.
bool take_interval(Reader& reader, const Token& start, const Token& end, std::size_t offset,
                   std::string_view text, bool paren, bool spaced, SheetTerm& term)
{
  const Token& plain = start.meridiem ? end : start;
  if (start.meridiem != end.meridiem && plain.hour >= 1 && plain.hour <= kHoursOfClock)
    return fail(reader, Fault::kHalfMeridiem, offset, text, written(reader, plain));
  std::int64_t to = end.minutes;
  // "12:00-4:00" could end at 16:00 as well as the next day: --overnight leaves it an error.
  bool afternoon = !end.meridiem && end.hour >= 1 && end.hour < kHoursOfClock &&
                   to + kNoon >= start.minutes + kShortestAfternoon;
  if (reader.overnight && start.minutes >= kNoon && to < kNoon && !afternoon)
    to += kDay;
  LineFault& fault = *reader.fault;
  if (to <= start.minutes) {
    fault.from = start.minutes;
    fault.to = to;
    fault.paren = paren;
    fault.spaced = spaced;
    fault.end_marked = end.meridiem;
    return fail(reader, to == start.minutes ? Fault::kEndsAtStart : Fault::kEndsBefore, offset,
                text);
  }
  term.minutes = to - start.minutes;
  term.from = start.minutes;
  term.to = to;
  return true;
}

// Reads "(start,end)", the token at hand being its "(".
bool read_paren_interval(Reader& reader, SheetTerm& term)
{
  const std::size_t open = peek(reader, 0).begin;
  const Token start = peek(reader, 1);
  if (start.kind == Kind::kBad)
    return fail_token(reader, start);
  if (start.kind == Kind::kWord || start.kind == Kind::kNumber)
    return fail(reader, Fault::kWords, open, rest_of_line(reader, open));
  if (start.kind != Kind::kClock)
    return fail_paren(reader, Fault::kParenNoStart, open);
  advance(reader);
  advance(reader);
  const Token& comma = peek(reader, 0);
  if (comma.kind == Kind::kDash || comma.kind == Kind::kEnDash)
    return fail_paren(reader, Fault::kParenDash, open, written(reader, comma));
  if (comma.kind != Kind::kComma)
    return fail_paren(reader, Fault::kParenNoComma, open);
  const Token end = peek(reader, 1);
  if (end.kind == Kind::kBad)
    return fail_token(reader, end);
  if (end.kind != Kind::kClock)
    return fail_paren(reader, Fault::kParenNoEnd, open);
  if (peek(reader, 2).kind != Kind::kClose)
    return fail_paren(reader, Fault::kParenNoClose, open);
  const std::size_t close = peek(reader, 2).end;
  advance(reader);
  advance(reader);
  advance(reader);
  return take_interval(reader, start, end, open, slice(reader, open, close), true, false, term);
}

// The operator that place follows, as a message names it.
std::string_view operator_before(Place place)
{
  // Words stand where a term should only after an operator: a label takes them elsewhere.
  return place == Place::kPlus ? "+" : "-";
}

// Reads the term at hand into term, in place; interval says whether it is one.
bool read_term(Reader& reader, Place place, SheetTerm& term, bool& interval)
{
  const Token& token = peek(reader, 0);  // valid through one move
  const Token& dash = peek(reader, 1);
  const Token& next = peek(reader, 2);
  term.offset = token.begin;
  interval = token.kind == Kind::kOpen;
  switch (token.kind) {
    case Kind::kOpen:
      return read_paren_interval(reader, term);
    case Kind::kBad:
    case Kind::kEnDash:
      return fail_token(reader, token);
    case Kind::kNumber:
      if (dash.kind == Kind::kWord)  // "30 min lunch"
        return fail(reader, Fault::kWords, token.begin, rest_of_line(reader, token.begin),
                    operator_before(place));
      return fail(reader, Fault::kNumber, token.begin, written(reader, token));
    case Kind::kWord:
      return fail(reader, Fault::kWords, token.begin, rest_of_line(reader, token.begin),
                  operator_before(place));
    case Kind::kClock:
    case Kind::kDuration:
      break;
    default:
      return fail(reader, Fault::kStray, token.begin, written(reader, token));
  }
  // "22h-6h" or "9:00-17": a range of hours, or a subtraction.
  bool hour_end = token.kind == Kind::kClock && next.kind == Kind::kNumber &&
                  next.end - next.begin <= 2 && place != Place::kMinus &&
                  field_value(written(reader, next)) <= 2 * kHoursOfClock;
  if (dash.kind == Kind::kDash && ((token.hour_form && next.hour_form) || hour_end)) {
    reader.fault->from = token.minutes;
    reader.fault->to = hour_end ? field_value(written(reader, next)) * kHour : next.minutes;
    return fail(reader, Fault::kHourRange, token.begin, slice(reader, token.begin, next.end));
  }
  bool dashed = token.kind == Kind::kClock && next.kind == Kind::kClock &&
                (dash.kind == Kind::kDash || dash.kind == Kind::kEnDash);
  bool spaced = dash.blank_before || next.blank_before;
  if (dashed && dash.kind == Kind::kDash && place == Place::kPlus && spaced)
    return fail(reader, Fault::kEitherDash, token.begin, written(reader, token),
                written(reader, next));
  if (dashed && (place != Place::kMinus || dash.kind == Kind::kEnDash)) {
    interval = true;
    if (!token.time_of_day)
      return fail(reader, Fault::kBadEnd, token.begin, written(reader, token));
    if (!next.time_of_day)
      return fail(reader, Fault::kBadEnd, next.begin, written(reader, next));
    const Token start = token;
    const Token end = next;
    advance(reader);
    advance(reader);
    advance(reader);
    return take_interval(reader, start, end, start.begin, slice(reader, start.begin, end.end),
                         false, spaced, term);
  }
  if (token.meridiem)
    return fail(reader, Fault::kLoneMeridiem, token.begin, written(reader, token));
  term.minutes = token.minutes;
  advance(reader);
  return true;
}

// Whether the interval just read, the last of the line's terms, overlaps one that it stands
// beside.
bool check_overlap(Reader& reader)
{
  const std::vector<SheetTerm>& terms = reader.line->terms;
  const SheetTerm& last = terms.back();
  for (std::size_t i = terms.size() - 1; i > 0 && terms[i].beside; --i) {
    const SheetTerm& other = terms[i - 1];
    if (last.from >= other.to || other.from >= last.to)
      continue;
    std::size_t end = terms[i].offset;
    while (is_blank(reader.text[end - 1]) || reader.text[end - 1] == ',')
      --end;
    std::size_t stop = peek(reader, 0).begin;
    while (is_blank(reader.text[stop - 1]))
      --stop;
    reader.fault->from = last.from;
    reader.fault->to = last.to;
    return fail(reader, Fault::kOverlap, last.offset, slice(reader, other.offset, end),
                slice(reader, last.offset, stop));
  }
  return true;
}

// Whether the tokens at hand begin an interval, of either form.
bool begins_interval(const Reader& reader)
{
  if (peek(reader, 0).kind == Kind::kOpen)
    return true;
  Kind dash = peek(reader, 1).kind;
  return peek(reader, 0).kind == Kind::kClock && peek(reader, 2).kind == Kind::kClock &&
         (dash == Kind::kDash || dash == Kind::kEnDash);
}

// Reads the operator at hand, which a term must follow on its line.
bool read_operator(Reader& reader)
{
  const Token sign = peek(reader, 0);
  advance(reader);
  const Token& next = peek(reader, 0);
  if (next.kind == Kind::kEnd)
    return fail(reader, Fault::kOperatorAlone, sign.begin, written(reader, sign));
  if (next.kind == Kind::kPlus || next.kind == Kind::kDash)
    return fail(reader, Fault::kTwoOperators, next.begin, written(reader, sign),
                written(reader, next));
  return true;
}

// The fault of what follows the term before, which no operator parts from it.
bool fail_after(Reader& reader, std::string_view before, bool interval)
{
  const Token& next = peek(reader, 0);
  if (next.kind == Kind::kWord) {
    if (!interval && peek(reader, 1).kind == Kind::kClock &&
        is_one_of(written(reader, next), kRangeWords))
      return fail(reader, Fault::kRangeWord, next.begin, before, written(reader, peek(reader, 1)));
    return fail(reader, Fault::kWords, next.begin, rest_of_line(reader, next.begin), before);
  }
  auto from = static_cast<std::size_t>(before.data() - reader.text.data());
  bool open_clock = before.back() == ':' && before.find(':') + 1 == before.size();
  switch (next.kind) {
    case Kind::kBad:
    case Kind::kEnDash:
      return fail_token(reader, next);
    case Kind::kClose:
      return fail(reader, Fault::kStrayClose, next.begin, {}, before);
    case Kind::kNumber:
      if (open_clock && next.end - next.begin <= 2 && is_digit(reader.text[next.begin]))
        return fail(reader, Fault::kBlankInClock, from, slice(reader, from, next.end));
      if (peek(reader, 1).kind == Kind::kWord)
        return fail(reader, Fault::kWords, next.begin, rest_of_line(reader, next.begin), before);
      return fail(reader, Fault::kNumber, next.begin, written(reader, next), before);
    default:
      break;
  }
  // "Week 50: 9:00": the colon is the label's, not that of a clock "50:".
  const SheetLine& line = *reader.line;
  if (open_clock && line.terms.size() == 1 && !line.label.empty()) {
    auto label = static_cast<std::size_t>(line.label.data() - reader.text.data());
    return fail(reader, Fault::kMarkedLabel, label, slice(reader, label, from + before.size()));
  }
  std::string_view shown = written(reader, next);
  if (next.kind == Kind::kOpen)
    shown = rest_of_line(reader, next.begin);
  return fail(reader, Fault::kSideBySide, next.begin, before, shown);
}

// Reads what follows the term that begins at offset, not the end of the line: an operator,
// which sets op and place for the next term, or blanks or a comma between intervals.
bool read_joint(Reader& reader, std::size_t offset, bool interval, Place& place, char& op)
{
  const Token& next = peek(reader, 0);  // valid through the one move below
  if (next.kind == Kind::kPlus || next.kind == Kind::kDash) {
    op = next.kind == Kind::kPlus ? '+' : '-';
    place = next.kind == Kind::kPlus ? Place::kPlus : Place::kMinus;
    return read_operator(reader);
  }
  std::size_t stop = next.begin;
  while (stop > offset && is_blank(reader.text[stop - 1]))
    --stop;
  std::string_view before = slice(reader, offset, stop);
  if (next.kind == Kind::kComma)
    advance(reader);
  if (interval && begins_interval(reader)) {
    place = Place::kBeside;
    op = '+';
    return true;
  }
  if (next.kind == Kind::kComma)
    return fail(reader, Fault::kStrayComma, next.begin, {}, before);
  return fail_after(reader, before, interval);
}

// Reads the terms of a line from the token at hand, the first in place, with op before it.
bool read_terms(Reader& reader, Place place, char op)
{
  for (;;) {
    SheetTerm term;
    term.op = op;
    term.beside = place == Place::kBeside;
    bool interval = false;
    if (!read_term(reader, place, term, interval))
      return false;
    reader.line->terms.push_back(term);
    if (term.beside && !check_overlap(reader))
      return false;
    if (peek(reader, 0).kind == Kind::kEnd)
      return true;
    if (!read_joint(reader, term.offset, interval, place, op))
      return false;
  }
}

// Whether word, of a label, with numbers before and after a dash in it, is no range of
// clocks or hours without a colon: false, with the fault, where it is, as 9-5, 2200-0630 or
// 9.30-5.30.
bool check_range_word(Reader& reader, std::size_t offset, std::string_view word)
{
  std::size_t dash = word.find('-');
  std::string_view from = word.substr(0, dash);
  std::string_view to = word.substr(dash + 1);
  if (is_clock_digits(from) && is_clock_digits(to))
    return fail(reader, Fault::kClockRange, offset, word);
  if (from.size() > 2 || to.size() > 2 || !is_digits_and_blanks(from) || !is_digits_and_blanks(to))
    return true;
  reader.fault->from = field_value(from) * kHour;
  reader.fault->to = field_value(to) * kHour;
  return fail(reader, Fault::kHourRange, offset, word);
}

// The fault of a label that no term follows, the token at hand being the end or a mark: its
// last word was probably meant as a term.
bool fail_label_alone(Reader& reader, std::size_t begin, std::size_t last_word, std::size_t end)
{
  std::string_view word = slice(reader, last_word, end);
  const Token& next = peek(reader, 0);
  // "Mon 9-5:30": the start of an interval without its colon.
  if (next.kind == Kind::kDash && peek(reader, 1).kind == Kind::kClock && word.size() <= 2 &&
      is_digits_and_blanks(word)) {
    reader.fault->from = field_value(word) * kHour;
    reader.fault->to = peek(reader, 1).minutes;
    return fail(reader, Fault::kHourRange, last_word,
                slice(reader, last_word, peek(reader, 1).end));
  }
  std::size_t mark = word.find_first_of(".,");
  if (is_digit(word[0]) && is_digit(word.back()) &&
      (mark == std::string_view::npos || is_digits_and_blanks(word.substr(mark + 1))) &&
      is_digits_and_blanks(word.substr(0, mark)))
    return fail(reader, Fault::kLabelNumber, last_word, word);
  if (next.kind == Kind::kEnd)
    return fail(reader, Fault::kLabelAlone, begin, slice(reader, begin, end));
  return fail(reader, Fault::kLabelThenMark, next.begin, slice(reader, begin, end),
              written(reader, next));
}

// Whether the label from begin to end holds a time, which a term should say: a number that a
// word of time or of a range follows, as "7 hours" or "10 till 12", or a range of numbers, as
// "10-6"; false, with the fault, where it does.
bool check_label_words(Reader& reader, std::size_t begin, std::size_t suspect, std::size_t range,
                       std::size_t end)
{
  if (range != std::string_view::npos) {
    std::size_t stop = range;
    while (stop < end && !is_blank(reader.text[stop]))
      ++stop;
    if (!check_range_word(reader, range, slice(reader, range, stop)))
      return false;
  }
  if (suspect == std::string_view::npos)
    return true;
  return fail(reader, Fault::kWords, suspect, rest_of_line(reader, begin));
}

// The tag that text[at], an @, begins where it begins a word: up to a blank or a mark, as
// "@acme" in "@acme, after lunch"; empty where it is none.
std::string_view tag_at(std::string_view text, std::size_t at)
{
  std::size_t end = at + 1;
  while (end < text.size() && !is_blank(text[end]) &&
         std::string_view(",;:.!?()[]{}'\"").find(text[end]) == std::string_view::npos)
    ++end;
  if ((at > 0 && std::string_view(" \t#(\"'[").find(text[at - 1]) == std::string_view::npos) ||
      end == at + 1)
    return {};
  return text.substr(at, end - at);
}

// The first tag in text, a comment, or empty.
std::string_view first_tag(std::string_view text)
{
  std::string_view tag;
  for (std::size_t at = text.find('@'); tag.empty() && at != std::string_view::npos;
       at = text.find('@', at + 1))
    tag = tag_at(text, at);
  return tag;
}

// Reads the label, if any, at the token at hand: the words before the first term.
// What the words of a label read so far say of the times they may hold.
struct LabelWords {
  std::size_t last = 0;                          // where the last word begins
  std::size_t number = std::string_view::npos;   // the last word, where it is a number
  std::size_t suspect = std::string_view::npos;  // a number that a word of time follows
  std::size_t range = std::string_view::npos;    // a word that joins two numbers by a dash
  bool after_number = false;                     // the token before was a number
};

// Notes token, of a label, in words; joins says it is a dash inside a word.
void note_label_token(const Reader& reader, const Token& token, bool joins, LabelWords& words)
{
  const std::size_t none = std::string_view::npos;
  if (joins && words.after_number && peek(reader, 1).kind == Kind::kNumber && words.range == none)
    words.range = words.last;
  if (token.blank_before && words.number != none && words.suspect == none &&
      is_time_word(written(reader, token)))
    words.suspect = words.number;
  if (token.blank_before && token.timed && words.suspect == none)
    words.suspect = token.begin;
  if (token.blank_before) {
    words.last = token.begin;
    words.number = token.kind == Kind::kNumber ? token.begin : none;
  }
  words.after_number = token.kind == Kind::kNumber;
}

bool read_label(Reader& reader)
{
  const std::size_t begin = peek(reader, 0).begin;
  std::size_t end = begin;
  LabelWords words;
  words.last = begin;
  for (;;) {
    const Token& token = peek(reader, 0);
    const Token& next = peek(reader, 1);
    // A dash inside a word, as in 2026-12-07, is the label's.
    bool joins = token.kind == Kind::kDash && end > begin && !token.blank_before &&
                 !next.blank_before && (next.kind == Kind::kWord || next.kind == Kind::kNumber);
    if (token.kind != Kind::kWord && token.kind != Kind::kNumber && !joins)
      break;
    note_label_token(reader, token, joins, words);
    if (reader.text[token.begin] == '@' && reader.line->tag.empty())
      reader.line->tag = tag_at(reader.text, token.begin);
    end = token.end;
    advance(reader);
  }
  const std::size_t last_word = words.last;
  // "Mon, 9:00": a comma that parts the label from its terms is taken as the label's.
  if (end > begin && peek(reader, 0).kind == Kind::kComma && !peek(reader, 0).blank_before) {
    end = peek(reader, 0).end;
    advance(reader);
  }
  const Token& next = peek(reader, 0);
  if (next.kind == Kind::kEnDash || (next.kind == Kind::kBad && next.bad == Fault::kForeign))
    return fail_token(reader, next);
  if (end == begin)
    return true;
  std::string_view label = slice(reader, begin, end);
  reader.line->label = label;
  if (!check_label_words(reader, begin, words.suspect, words.range, end))
    return false;
  if (next.kind != Kind::kClock && next.kind != Kind::kDuration && next.kind != Kind::kOpen &&
      next.kind != Kind::kBad)
    return fail_label_alone(reader, begin, last_word, end);
  if (label.find_first_of(":,") != std::string_view::npos)
    return fail(reader, Fault::kMarkedLabel, begin, label);
  if (!is_digits_and_blanks(label))
    return true;
  if (next.kind == Kind::kClock && reader.text[next.begin] == ':' && next.blank_before)
    return fail(reader, Fault::kBlankInClock, last_word, slice(reader, last_word, next.end));
  return fail(reader, Fault::kDigitsLabel, begin, label);
}

// The words of faults, each put together from what the reader found.

// "H:MM", as a message writes a time; minutes may be below zero.
std::string clock_text(std::int64_t minutes)
{
  std::string text;
  append_figure(text, minutes, false);
  return text;
}

std::string interval_text(std::int64_t from, std::int64_t to, bool paren)
{
  if (paren)
    return "(" + clock_text(from) + "," + clock_text(to) + ")";
  return clock_text(from) + "-" + clock_text(to);
}

// Why the look-alike or the control character that text begins with stands in no line.
std::string describe_foreign(std::string_view text)
{
  const LookAlike* look_alike = look_alike_at(text);
  std::array<char, sizeof "the control character 0xFF"> name{};
  std::snprintf(name.data(), name.size(), "%s 0x%02X",
                look_alike == nullptr ? "the control character" : "the byte",
                static_cast<unsigned char>(text[0]));
  if (look_alike == nullptr)
    return std::string(name.data()) + " cannot stand in a line; delete it";
  std::string shown = look_alike->bytes.size() == 1 ? name.data() : quote(look_alike->bytes);
  return shown + " (" + look_alike->name + ") is not " + look_alike->taken_for + "; write " +
         look_alike->meant;
}

// The number that words[at] begins, a decimal mark written as a point, as "7.5" for 7,5; at
// moves past it. Empty where there is none, or it is too long to be a time.
std::string number_at(std::string_view words, std::size_t& at)
{
  std::size_t digits = skip_digits(words, at);
  if (digits < words.size() && (words[digits] == '.' || words[digits] == ',') &&
      digits + 1 < words.size() && is_digit(words[digits + 1]))
    digits = skip_digits(words, digits + 1);
  if (digits == at || digits - at > kLongestField)
    return {};
  std::string number(words.substr(at, digits - at));
  for (char& c : number)
    c = c == ',' ? '.' : c;
  at = digits;
  return number;
}

// The time that words tell, as a duration: "7 hours 30 min" is 7h30m, "7,5 Std" 7.5h and
// "halbe Stunde" 30m; empty where they tell none, or tell a range of times.
std::string amount_in_words(std::string_view words)
{
  std::string hours;
  std::string minutes;
  std::string part;  // "30" for half an hour, "15" for a quarter
  bool of_hour = false;
  for (std::size_t at = 0; at < words.size(); ++at) {
    if (!starts_word(words, at))
      continue;
    std::string_view word = words.substr(at, words.find_first_of(" \t", at) - at);
    if (is_one_of(word, kRangeWords) || word == "x")
      return {};  // a range, or times over: no one duration
    of_hour = of_hour || unit_at(words, at) == 'h';
    if (begins_word(words, at, "halb") || begins_word(words, at, "half"))
      part = "30";
    if (begins_word(words, at, "quarter") || begins_word(words, at, "viertel"))
      part = "15";
    std::size_t digits = at;
    std::string number = number_at(words, digits);
    if (number.empty())
      continue;
    char unit = unit_at(words, skip_blanks(words, digits));
    if (unit == 'h')
      hours = number;
    else if (unit == 'm')
      minutes = number;
  }
  if (minutes.empty() && hours.empty() && of_hour)
    minutes = part;
  if (hours.find('.') != std::string::npos && !minutes.empty())
    return {};
  return (hours.empty() ? "" : hours + "h") + (minutes.empty() ? "" : minutes + "m");
}

// What words that may hold a time could be as a term, where they tell. After a term, it is
// taken off where they say so, and where they do not, either way; after an operator, its sign
// is there already.
std::string term_in_words(std::string_view words, std::string_view after)
{
  bool after_term = !after.empty() && after != "+" && after != "-";
  std::string amount = amount_in_words(words);
  if (amount.empty())
    return "a term";
  bool off = false;
  for (std::size_t at = 0; at < words.size(); ++at) {
    for (std::string_view word : kBreakWords)
      off = off || begins_word(words, at, word);
  }
  if (after.empty() && off)
    return "a term, as - " + amount + " on a line of its own after the hours it is taken from";
  if (!after_term)
    return "a term, as " + amount;
  if (off)
    return "a term, as - " + amount;
  return "a term, as + " + amount + ", or - " + amount + " if it is taken off";
}

// Whether words may hold a time: a digit, or a word of time such as "Pause" or "Stunde".
bool may_hold_time(std::string_view words)
{
  for (std::size_t at = 0; at < words.size(); ++at) {
    if (is_digit(words[at]))
      return true;
    for (std::string_view word : kTimeWords) {
      if (begins_word(words, at, word))
        return true;
    }
  }
  return false;
}

std::string describe_words(std::string_view words, std::string_view after)
{
  std::string where = after.empty() ? "" : " after " + quote(after);
  if (may_hold_time(words)) {
    return quote(words) + where + " may hold a time: write it as " + term_in_words(words, after) +
           ", and put # before it only if it is a note";
  }
  return quote(words) + where + " is no term: put # before a note, as # " + std::string(words);
}

// A clock written without its colon with the colon put back, as 9:30 for 930 or 9.30.
std::string with_colon(std::string_view text)
{
  std::string clock(text);
  std::size_t mark = clock.find_first_of(".,");
  if (mark != std::string::npos)
    return clock.replace(mark, 1, ":");
  return clock.insert(clock.size() - 2, ":");
}

// Readings of a number with no colon and no unit, as 45, 930 or 4.25.
std::string describe_number(std::string_view number)
{
  std::size_t mark = number.find_first_of(".,");
  std::string whole(number.substr(0, mark));
  if (mark == std::string_view::npos && (number.size() == 3 || number.size() == 4))
    return quote(number) + " is no clock: write hours:minutes, as " + with_colon(whole);
  if (mark == std::string_view::npos)
    return quote(number) + " has no unit: write " + whole + "h for hours, or " + whole +
           "m for minutes";
  std::string fraction(number.substr(mark + 1));
  // Decimal hours are a whole number of minutes where the fraction's minutes are: 9.30 is
  // 9:18, 7,5 is 7:30.
  std::int64_t scale = kHundredths / (fraction.size() == 1 ? 10 : 1);
  std::string decimal = "as decimal hours it is no whole number of minutes";
  if (whole.size() <= kLongestField - 1 && fraction.size() <= 2 &&
      field_value(fraction) * kHour % scale == 0)
    decimal = "as decimal hours, write " +
              clock_text(field_value(whole) * kHour + field_value(fraction) * kHour / scale);
  if (fraction.size() > 2 || (fraction.size() == 2 && fraction[0] >= '6'))
    return quote(number) + " is no time: " + decimal;
  return quote(number) + " could be read two ways: " + decimal + "; as hours and minutes, write " +
         whole + ":" + (fraction.size() == 1 ? "0" + fraction : fraction);
}

// Readings of decimal hours past tenths and quarters, as 7.30h.
std::string describe_decimal(std::string_view text)
{
  std::size_t mark = text.find_first_of(".,");
  std::string_view fraction = text.substr(mark + 1, text.size() - mark - 2);
  std::int64_t hours = field_value(text.substr(0, mark));
  std::int64_t part = fraction.size() == 2 ? field_value(fraction) : 0;
  std::string decimal = "is not a whole number of minutes";
  if (fraction.size() == 2 && part * kHour % kHundredths == 0)
    decimal = "is " + clock_text(hours * kHour + part * kHour / kHundredths);
  std::string clock = "is no time";
  if (fraction.size() == 2 && part < kHour)
    clock = "is " + clock_text(hours * kHour + part) + " (write " +
            std::string(text.substr(0, mark)) + "h" + std::string(fraction) + ")";
  return quote(text) + " could be read two ways: as decimal hours it " + decimal +
         ", and as hours and minutes it " + clock +
         "; decimal hours take a tenth or a quarter, as 7.5h or 7.25h";
}

// Readings of a range of hours, as 9-5, 9:00-17 or 22h-6h30.
std::string describe_hours(const LineFault& fault)
{
  std::int64_t from = fault.from;
  std::int64_t to = fault.to;
  std::string reading = interval_text(from, to, false);
  if (to <= from && to >= kHour && to < kNoon && to + kNoon > from)
    reading = interval_text(from, to + kNoon, false) + " (" + clock_text(to) + " pm)";
  else if (to <= from)
    reading = interval_text(from, to + kDay, false) + " (the next day)";
  std::string less;
  if (from > to)
    less = "; for " + clock_text(from) + " less " + clock_text(to) + ", write " +
           clock_text(from - to);
  return quote(fault.text) + " could be read two ways: for the time from " + clock_text(from) +
         " to " + clock_text(to) + ", write " + reading + less;
}

// Readings of an interval that ends before it starts.
std::string describe_ends_before(const LineFault& fault)
{
  std::int64_t from = fault.from;
  std::int64_t to = fault.to;
  std::string readings;
  if (fault.spaced && to <= kLongestBreak) {
    readings += "for " + clock_text(from) + " less a break of " + clock_text(to) + ", write " +
                clock_text(from - to) + ", or - " + clock_text(to) + " on the next line; ";
  }
  if (!fault.end_marked && to >= kHour && to < kNoon && to + kNoon > from)
    readings += "for an end at " + clock_text(to) + " pm, write " +
                interval_text(from, to + kNoon, fault.paren) + "; ";
  if (fault.end_marked && to == 0 && from < kNoon)
    readings += "for an end at noon, write 12pm; ";
  readings += "for an end the next day, write " + interval_text(from, to + kDay, fault.paren);
  if (from >= kNoon && to < kNoon)
    readings += ", or give --overnight";
  return quote(fault.text) + " ends before it starts: " + readings;
}

// text with each colon and comma made a blank, and none at its end.
std::string without_marks(std::string_view text)
{
  std::string kept(text);
  for (char& c : kept)
    c = c == ':' || c == ',' ? ' ' : c;
  while (!kept.empty() && kept.back() == ' ')
    kept.pop_back();
  return kept;
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

}  // namespace

bool parse_line(std::string_view text, bool overnight, SheetLine& line, LineFault& fault)
{
  line.kind = LineKind::kBlank;
  line.label = {};
  line.tag = {};
  line.terms.clear();
  fault.kind = Fault::kNone;
  std::size_t hash = text.find('#');
  Reader reader;
  reader.text = text.substr(0, hash);
  reader.overnight = overnight;
  reader.line = &line;
  reader.fault = &fault;
  lex(reader.text, 0, reader.ring[0]);
  cut_after(reader.text, reader.ring[0], reader.ring[1]);
  cut_after(reader.text, reader.ring[1], reader.ring[2]);
  const Token first = peek(reader, 0);
  if (first.kind == Kind::kEnd)
    return true;
  if (first.kind == Kind::kPlus || first.kind == Kind::kDash) {
    line.kind = LineKind::kContinuation;
    bool plus = first.kind == Kind::kPlus;
    if (!read_operator(reader) ||
        !read_terms(reader, plus ? Place::kPlus : Place::kMinus, plus ? '+' : '-'))
      return false;
  } else {
    line.kind = LineKind::kEntry;
    if (!read_label(reader) || !read_terms(reader, Place::kFirst, '+'))
      return false;
  }
  if (line.tag.empty() && hash != std::string_view::npos)
    line.tag = first_tag(text.substr(hash));
  return true;
}

std::string describe_fault(const LineFault& fault)
{
  const std::string text = quote(fault.text);
  const std::string other = quote(fault.other);
  const std::string a(fault.text);
  const std::string b(fault.other);
  switch (fault.kind) {
    case Fault::kForeign:
      return describe_foreign(fault.text);
    case Fault::kTooLarge:
      return text + " is more than 2147483647 minutes";
    case Fault::kNoonHours:
      return text + " has am or pm, which only hours 1 to 12 take";
    case Fault::kOverMinutes:
      return text + " has more than 59 minutes after its hours";
    case Fault::kDecimal:
      return describe_decimal(fault.text);
    case Fault::kNumber:
      if (b.empty())
        return describe_number(fault.text);
      return "after " + other + ", " + describe_number(fault.text) + "; and + or - before it";
    case Fault::kWords:
      return describe_words(fault.text, fault.other);
    case Fault::kRangeWord:
      return "a word between " + text + " and " + other + " is no operator: for the time from " +
             a + " to " + b + ", write " + a + "-" + b;
    case Fault::kEitherDash:
      return quote(a + " - " + b) + " could be read two ways: for the time from " + a + " to " + b +
             ", write " + a + "-" + b + "; to subtract " + b + ", put - " + b +
             " on a line of its own";
    case Fault::kEndsBefore:
      return describe_ends_before(fault);
    case Fault::kEndsAtStart:
      return text + " ends where it starts: for no time, leave it out; for 24 hours, write " +
             interval_text(fault.from, fault.to + kDay, fault.paren);
    case Fault::kHalfMeridiem:
      return text + " has am or pm at one end only: write " + quote(b + "am") + " or " +
             quote(b + "pm") + " for " + other;
    case Fault::kOverlap:
      return text + " and " + other + " overlap: to subtract the second, write " + a + " - " +
             interval_text(fault.from, fault.to, true) + "; to add both, write " + a + " + " +
             interval_text(fault.from, fault.to, true);
    case Fault::kHourRange:
      return describe_hours(fault);
    case Fault::kClockRange:
      return text + " is no interval: write hours:minutes, as " +
             with_colon(fault.text.substr(0, a.find('-'))) + "-" +
             with_colon(fault.text.substr(a.find('-') + 1));
    case Fault::kSideBySide:
      return text + " and " + other + " need + or - between them, as only intervals stand side " +
             "by side; or # before " + other + ", if it is a note";
    case Fault::kBlankInClock:
      return text + " has a blank inside a clock; write " + without_blanks(a);
    case Fault::kMarkedLabel:
      return text + " is no clock, and a label cannot hold '" + a[a.find_first_of(":,")] +
             "'; write " + quote(without_marks(a)) + ", or # before the line, if it is a note";
    case Fault::kDigitsLabel:
      return "the label " + text + " is digits alone, as a mistyped clock would be; add a " +
             "word, as Day " + a;
    case Fault::kLabelAlone:
      if (may_hold_time(fault.text))
        return describe_words(fault.text, {});
      return "the label " + text + " has no term after it; put # before a heading or a note";
    case Fault::kLabelNumber:
      return describe_number(fault.text) + "; or # before the line, if it is a heading";
    case Fault::kBadEnd:
      return text + " is no time of day: write hours, a colon and the minutes in two digits, " +
             "below 60, as 17:45";
    case Fault::kLoneMeridiem:
      return text + " is a time of day: for the hours worked, write an interval, as 9am-" + a +
             ", or a duration, as 8h";
    case Fault::kLabelThenMark:
      return "the label " + text + " is followed by " + other + ", not by a term";
    case Fault::kOperatorAlone:
      return text + " has no term after it on its line";
    case Fault::kTwoOperators:
      return text + " and " + other + " need a term between them";
    case Fault::kParenNoStart:
      return text + " needs a start and an end, as (9:00,17:00)";
    case Fault::kParenDash:
      return text + " has " + other + " where its comma should be; write (start,end), or the " +
             "interval without parentheses, as 9:00-17:00";
    case Fault::kParenNoComma:
      return text + " needs a comma between its start and its end";
    case Fault::kParenNoEnd:
      return text + " needs a clock after its comma";
    case Fault::kParenNoClose:
      return text + " has no closing parenthesis";
    case Fault::kStray:
      return text + " stands where a term should";
    case Fault::kStrayComma:
      return "',' after " + other + " is no operator: write + or -; a comma stands only " +
             "between intervals";
    case Fault::kStrayClose:
      return "')' after " + other + " has no '(' before it";
    case Fault::kNul:
      return "a NUL character cannot stand here";
    case Fault::kNoMark:
      return "a NUL byte: the file looks like UTF-16 without a byte-order mark; save it as "
             "UTF-8, or as UTF-16 with its mark";
    case Fault::kBelowZero:
      return "this entry comes to " + clock_text(fault.from) +
             ", below zero: a clock after - is subtracted whole, so write a break as - 0:45, or " +
             "from its start to its end as - (12:00,12:45)";
    default:  // kEntryRange, the last
      return "the entry's total leaves the range of 2147483647 minutes";
  }
}
