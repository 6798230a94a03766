#ifndef SHIFTSUM_SHIFTSHEET_TIMESHEET_H_
#define SHIFTSUM_SHIFTSHEET_TIMESHEET_H_

#include <cstdio>
#include <string>

#include "core/time_values.h"
#include "shiftsheet/faults.h"

// What has been read of a timesheet, which may span several files.
struct Timesheet {
  bool each = false;     // keep a line for every entry, to print before the total
  bool decimal = false;  // figures in decimal hours
  ClockTime total;
  bool total_ok = true;        // false once the total has left 32 bits
  std::string each_lines;      // entry lines not yet moved to spill
  std::FILE* spill = nullptr;  // where entry lines go once they are many, if anywhere
};

// Reads file, called name in messages, into sheet: its entries into the total, and each bad
// line reported on standard error as NAME:LINE:COLUMN: and what is wrong.
void read_timesheet(std::FILE* file, const std::string& name, bool overnight, Timesheet& sheet,
                    Faults& faults);

// A figure as sheet prints it: "-1:30", minutes in two digits, or "-1.50", decimal hours.
std::string sheet_figure(const Timesheet& sheet, const ClockTime& time);

// Prints to standard output sheet's entry lines, its total and, where there is a target, the
// target and the balance: the total less the target. False, said on standard error, where
// the balance leaves 32 bits, and then nothing is printed; or where the entry lines cannot be
// read back from the spill file, and then no total is.
bool print_timesheet(Timesheet& sheet, bool has_target, const ClockTime& target);

#endif  // SHIFTSUM_SHIFTSHEET_TIMESHEET_H_
