#ifndef SHIFTSUM_SHIFTSHEET_MAIN_H_
#define SHIFTSUM_SHIFTSHEET_MAIN_H_

// The whole program: totals the timesheet files that argv names, or standard input, and
// returns the exit status: 0 when all is read, 1 when a line or a file cannot be read or the
// output cannot be written, 2 for a command line it does not take.
int run_shiftsheet(int argc, const char* const* argv);

#endif  // SHIFTSUM_SHIFTSHEET_MAIN_H_
