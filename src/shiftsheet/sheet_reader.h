#ifndef SHIFTSUM_SHIFTSHEET_SHEET_READER_H_
#define SHIFTSUM_SHIFTSHEET_SHEET_READER_H_

#include <string>
#include <string_view>
#include <vector>

#include "core/time_values.h"

// What a line of a timesheet does.
enum class LineKind {
  kBlank,         // holds nothing but blanks and a comment
  kEntry,         // starts an entry: a label or a term comes first
  kContinuation,  // begins with + or -, and so continues the entry above
};

// One term of a line, with the operator before it ('+' before the first term of an entry).
struct SheetTerm {
  char op = '+';
  ClockTime value;
  std::size_t offset = 0;  // where it begins in the line's text
};

// A line as read: its kind, an entry's label (a view of the line's text, empty where it has
// none), and its terms in order.
struct SheetLine {
  LineKind kind = LineKind::kBlank;
  std::string_view label;
  std::vector<SheetTerm> terms;
};

// Why a line cannot be read, and where: a column counted in characters from 1.
struct LineFault {
  std::size_t column = 0;
  std::string message;
};

// Reads one line of a timesheet, without its line end, into line; false, with fault
// filled, when it cannot be read.
bool read_sheet_line(std::string_view text, SheetLine& line, LineFault& fault);

#endif  // SHIFTSUM_SHIFTSHEET_SHEET_READER_H_
