#ifndef SHIFTSUM_SHIFTSHEET_LINE_READER_H_
#define SHIFTSUM_SHIFTSHEET_LINE_READER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/time_values.h"

// What a line of a timesheet does.
enum class LineKind {
  kBlank,         // holds nothing but blanks and a comment
  kEntry,         // starts an entry: a label or a term comes first
  kContinuation,  // begins with + or -, and so goes on with the entry above
};

// One term of a line, with the operator before it: '+' before an entry's first term and
// before an interval that stands beside another.
struct SheetTerm {
  char op = '+';
  bool beside = false;       // an interval beside the one before, with no operator between
  std::int64_t minutes = 0;  // within 32 bits
  std::size_t offset = 0;    // where it begins in the line's text
  std::int64_t from = 0;     // an interval's start and end, in minutes of its day
  std::int64_t to = 0;
};

// A line as read: its kind, an entry's label and the line's first tag (views of the line's
// text, empty where there is none), and its terms in order.
struct SheetLine {
  LineKind kind = LineKind::kBlank;
  std::string_view label;
  std::string_view tag;
  std::vector<SheetTerm> terms;
};

// What is wrong with a line or an entry. The texts it names are text and other, the times
// from and to, in minutes.
enum class Fault : std::uint8_t {
  kNone,
  kForeign,        // a look-alike of a mark, or a control character
  kTooLarge,       // more than 32 bits of minutes
  kNoonHours,      // am or pm on an hour past 1 to 12
  kOverMinutes,    // a duration's minutes past 59
  kDecimal,        // decimal hours other than tenths and quarters
  kNumber,         // a number with no unit, after the term other where there is one
  kWords,          // words where a term or an operator should be, after the term other
  kRangeWord,      // a word such as "to" between the clocks text and other
  kEitherDash,     // "+ 0:15 - 0:30": an interval or a subtraction of the clock other
  kEndsBefore,     // an interval that ends before it starts
  kEndsAtStart,    // an interval that ends where it starts
  kHalfMeridiem,   // an interval with am or pm at one end, the end other without
  kOverlap,        // intervals side by side that overlap; from and to are other's
  kHourRange,      // "9-5", "9:00-17" or "22h-6h": a range of hours, or a subtraction
  kLoneMeridiem,   // "5pm" alone: a time of day, not hours worked
  kBadEnd,         // an end of a dash interval that is no time of day, as 17:75
  kClockRange,     // "2200-0630": clocks without their colons
  kSideBySide,     // terms with no operator between, where only intervals may stand
  kBlankInClock,   // "9: 30"
  kMarkedLabel,    // a label with a colon or a comma
  kDigitsLabel,    // a label of digits alone
  kLabelAlone,     // a label with no term after it
  kLabelNumber,    // a label whose last word, a number, no term follows
  kLabelThenMark,  // a label followed by the mark other, not by a term
  kOperatorAlone,  // an operator at the end of its line
  kTwoOperators,   // two operators with no term between
  kParenNoStart,   // an interval in parentheses without its start, comma, end or ')'
  kParenDash,
  kParenNoComma,
  kParenNoEnd,
  kParenNoClose,
  kStray,       // a mark where a term should begin
  kStrayComma,  // a comma after the term other, not between intervals
  kStrayClose,  // a ')' after the term other
  kNul,         // a NUL character in a line
  kNoMark,      // a NUL byte in a file read as bytes: UTF-16 without its mark
  kBelowZero,   // an entry that comes to from, below zero
  kEntryRange,  // an entry's time past 32 bits
};

// Why a line cannot be read, and where: an offset in its text.
struct LineFault {
  Fault kind = Fault::kNone;
  std::size_t offset = 0;
  std::string_view text;
  std::string_view other;
  std::int64_t from = 0;
  std::int64_t to = 0;
  bool paren = false;       // the interval is written in parentheses
  bool spaced = false;      // its dash has a blank beside it
  bool end_marked = false;  // its end has am or pm
};

// Reads one line of a timesheet, without its line end, into line; false, with fault filled,
// where it cannot be read. With overnight, an interval from 12:00 or later to a time before
// 12:00 ends the next day.
bool parse_line(std::string_view text, bool overnight, SheetLine& line, LineFault& fault);

// What fault says, in words: what is wrong, and what to write for each reading.
std::string describe_fault(const LineFault& fault);

#endif  // SHIFTSUM_SHIFTSHEET_LINE_READER_H_
