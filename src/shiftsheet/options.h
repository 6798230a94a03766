#ifndef SHIFTSUM_SHIFTSHEET_OPTIONS_H_
#define SHIFTSUM_SHIFTSHEET_OPTIONS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "core/time_values.h"

// What the entries are grouped by, with --by: nothing, or the named key.
enum class Key { kNone, kLabel, kTag, kDay, kWeek, kMonth, kFile };

// How the report is written, with --format.
enum class Format { kText, kCsv, kJson };

// Which way --round goes: to the nearest multiple, halves up, or always up or down.
enum class Rounding { kNearest, kUp, kDown };

// What the command line asks for.
struct Options {
  bool each = false;
  bool decimal = false;
  bool has_target = false;
  ClockTime target;
  bool has_target_each = false;  // a target for each printed line, with --target-each
  ClockTime target_each;
  Key by = Key::kNone;
  Format format = Format::kText;
  std::int32_t round = 0;  // minutes that each line is rounded to a multiple of; 0 for none
  Rounding rounding = Rounding::kNearest;
  bool overnight = false;          // an interval that ends before it starts ends the next day
  bool help = false;               // print the usage text, and nothing else
  bool version = false;            // print the version, and nothing else
  std::vector<std::string> files;  // in order; "-" is standard input
};

// Reads argv[1] .. argv[argc - 1] into options; false, with what is wrong in complaint, on an
// unknown option, a value it does not take, or options that make no sense together. --help
// and --version end the reading.
bool parse_options(int argc, const char* const* argv, Options& options, std::string& complaint);

#endif  // SHIFTSUM_SHIFTSHEET_OPTIONS_H_
