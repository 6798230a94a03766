#ifndef SHIFTSUM_SHIFTSHEET_LINE_READER_H_
#define SHIFTSUM_SHIFTSHEET_LINE_READER_H_

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
  ClockTime value;
  std::size_t offset = 0;  // where it begins in the line's text
};

// A line as read: its kind, an entry's label and the line's first tag (views of the line's
// text, empty where there is none), and its terms in order.
struct SheetLine {
  LineKind kind = LineKind::kBlank;
  std::string_view label;
  std::string_view tag;
  std::vector<SheetTerm> terms;
};

// Why a line cannot be read, and where: a column counted in characters from 1.
struct LineFault {
  std::size_t column = 0;
  std::string message;
};

// Reads one line of a timesheet, without its line end, into line; false, with fault filled,
// where it cannot be read. With overnight, an interval from 12:00 or later to a time before
// 12:00 ends the next day.
bool parse_line(std::string_view text, bool overnight, SheetLine& line, LineFault& fault);

#endif  // SHIFTSUM_SHIFTSHEET_LINE_READER_H_
