#ifndef SHIFTSUM_SHIFTSHEET_OPTIONS_H_
#define SHIFTSUM_SHIFTSHEET_OPTIONS_H_

#include <string>
#include <vector>

#include "core/time_values.h"

// What the command line asks for.
struct Options {
  bool each = false;
  bool decimal = false;
  bool overnight = false;  // an interval from the afternoon to the morning ends the next day
  bool has_target = false;
  ClockTime target;
  bool help = false;               // print the usage text, and nothing else
  bool version = false;            // print the version, and nothing else
  std::vector<std::string> files;  // in order; "-" is standard input
};

// Reads argv[1] .. argv[argc - 1] into options; false, with what is wrong in complaint, on an
// unknown option or a target that is not a clock. --help and --version end the reading.
bool parse_options(int argc, const char* const* argv, Options& options, std::string& complaint);

#endif  // SHIFTSUM_SHIFTSHEET_OPTIONS_H_
