#ifndef SHIFTSUM_SHIFTSHEET_TIMESHEET_H_
#define SHIFTSUM_SHIFTSHEET_TIMESHEET_H_

#include <cstdio>
#include <string>

#include "shiftsheet/faults.h"
#include "shiftsheet/report.h"

// Reads file, called name in messages, into report: each entry as it closes, and each bad
// line reported on standard error as NAME:LINE:COLUMN: and what is wrong.
void read_timesheet(std::FILE* file, const std::string& name, Report& report, Faults& faults);

#endif  // SHIFTSUM_SHIFTSHEET_TIMESHEET_H_
