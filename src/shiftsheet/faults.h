#ifndef SHIFTSUM_SHIFTSHEET_FAULTS_H_
#define SHIFTSUM_SHIFTSHEET_FAULTS_H_

#include <cstddef>
#include <string_view>

// How many faults in lines are shown; past them, only how many more there are.
constexpr std::size_t kShownFaults = 50;

// The faults of a run, each named on standard error as it is found; the run has failed when
// there is any.
struct Faults {
  std::size_t in_lines = 0;  // faults in lines, of which the first kShownFaults are named
  std::size_t others = 0;    // files that cannot be read, and other faults of the run
};

// Names a fault in a line of a file: NAME:LINE:COLUMN: MESSAGE.
void name_fault(Faults& faults, std::string_view file, std::size_t line, std::size_t column,
                std::string_view message);

// Names a fault of the run, or of a file where file is not empty: shiftsheet: FILE: MESSAGE.
void name_run_fault(Faults& faults, std::string_view file, std::string_view message);

// Says how many faults in lines went unnamed; true where the run has no fault at all.
bool close_faults(const Faults& faults);

#endif  // SHIFTSUM_SHIFTSHEET_FAULTS_H_
