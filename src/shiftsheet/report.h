#ifndef SHIFTSUM_SHIFTSHEET_REPORT_H_
#define SHIFTSUM_SHIFTSHEET_REPORT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/time_values.h"
#include "shiftsheet/faults.h"
#include "shiftsheet/options.h"

// An entry as read whole from a timesheet, without fault.
struct Entry {
  std::string file;          // its file's name, as messages show it
  std::size_t line = 0;      // the line it begins on
  std::size_t column = 1;    // where its label, or its first term, begins
  std::string label;         // as written, blanks inside kept; empty where it has none
  std::string tag;           // its first word beginning with @ ("@acme"), in its label or in
                             // the comments on its lines; empty where it has none
  std::int64_t minutes = 0;  // its time, within 32 bits
};

// One line of a report under --by: a group's name and the sum of its entries.
struct Group {
  std::string name;
  std::int64_t minutes = 0;  // kept within 32 bits
};

// The sums of a running report. Sums are 64 bits wide, and each is checked to stay within 32.
struct Report {
  Options options;
  std::int64_t exact = 0;     // the sum of the entries as read
  bool sums_ok = true;        // false once a sum has left 32 bits
  std::int64_t total = 0;     // the sum of the lines as printed: rounded where --round asks
  std::int64_t carried = 0;   // the balance carried over the lines, with --target-each
  std::vector<Group> groups;  // with --by, in the order first seen
  std::unordered_map<std::string, std::size_t> places;  // where each group's name is in groups
  std::size_t recent = 0;                               // the group last added to
  std::string key;                                      // the group of the entry being added
  std::string dated;           // the label that key was read from, under --by day, week or month
  std::string lines;           // lines not yet moved to spill
  std::FILE* spill = nullptr;  // where lines go once they are many, if anywhere
};

// Adds entry to report; a fault it finds (no date under --by day, say) is named in faults.
void add_entry(Report& report, const Entry& entry, Faults& faults);

// Prints report to standard output; false, the cause named in faults, where it cannot be.
bool print_report(Report& report, Faults& faults);

// A time of that many minutes as the report prints it: "-1:30", or "-1.50" with --decimal.
std::string report_figure(const Report& report, std::int64_t minutes);

// Into key, the group under by (day, week, month) of label's date; false, why in problem, if none.
bool date_key(Key by, std::string_view label, std::string& key, std::string& problem);

// Appends text as a CSV field, quoted where it must be, as RFC 4180 has it.
void append_csv_field(std::string& out, std::string_view text);

// Appends text as a JSON string; a byte that is no UTF-8 is the Latin-1 character of its value.
void append_json_string(std::string& out, std::string_view text);

#endif  // SHIFTSUM_SHIFTSHEET_REPORT_H_
