#include "shiftsheet/main.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "shiftsheet/faults.h"
#include "shiftsheet/options.h"
#include "shiftsheet/report.h"
#include "shiftsheet/timesheet.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int kFailed = 1;
constexpr int kBadCommandLine = 2;

void print_help()
{
  std::printf(
      "Usage: shiftsheet [OPTION]... [FILE]...\n"
      "Total the working hours in timesheet FILEs, read in order as one timesheet.\n"
      "With no FILE, or for -, read standard input.\n"
      "\n"
      "  -e, --each          first print each entry: its label and its time\n"
      "  -d, --decimal       print decimal hours, as 15.13, not hours:minutes\n"
      "  -t, --target=H:MM   then print the target, and the total less the target\n"
      "      --by=KEY        a line for each label, tag (@word), day, week, month or file\n"
      "      --format=FORMAT text, csv or json\n"
      "      --round=N       round each line to N minutes: Nup, Ndown to round up, down\n"
      "      --target-each=H:MM  a target for each line: its balance, and that carried\n"
      "      --overnight     read an interval that ends before it starts, from 12:00 or\n"
      "                        later to before 12:00, as ending the next day\n"
      "  -h, --help          print this help and exit\n"
      "      --version       print the version and exit\n"
      "\n"
      "Each line holds an optional label, then terms joined by + and -: intervals\n"
      "(9:00-17:30, 9am-5:30pm, (9:00,17:30)), durations (8h, 45m, 7.5h) and clocks\n"
      "(7:30, as hours). A line that begins with + or - goes on with the entry above;\n"
      "# begins a note. Exit status: 0 when every line reads, 1 when one does not or a\n"
      "file cannot be read, 2 for a wrong option or target. The manual: man shiftsheet.\n");
}

// Standard input as bytes: Windows would otherwise turn CR LF into LF and end at a Ctrl-Z,
// in the middle of a file saved as UTF-16.
void read_standard_input_as_bytes()
{
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
}

// Reads the file called name, "-" being standard input, into report.
void read_file(const std::string& name, Report& report, Faults& faults)
{
  if (name == "-") {
    read_standard_input_as_bytes();
    read_timesheet(stdin, "(standard input)", report, faults);
    return;
  }
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (file == nullptr) {
    name_run_fault(faults, name, std::strerror(errno));
    return;
  }
  read_timesheet(file, name, report, faults);
  std::fclose(file);
}

// Ends the run once the output is written: the status, 1 where it could not be.
int finish_output()
{
  // A failed write, now or when the buffered output was last written, sets the stream's
  // error indicator, and so does a failed flush.
  std::fflush(stdout);
  if (std::ferror(stdout) == 0)
    return 0;
  std::perror("shiftsheet: write error");
  return kFailed;
}

}  // namespace

int run_shiftsheet(int argc, const char* const* argv)
{
  Options options;
  std::string complaint;
  if (!parse_options(argc, argv, options, complaint)) {
    std::fprintf(stderr, "shiftsheet: %s; see 'shiftsheet --help'\n", complaint.c_str());
    return kBadCommandLine;
  }
  if (options.help) {
    print_help();
    return finish_output();
  }
  if (options.version) {
    std::printf("shiftsheet " SHIFTSUM_VERSION "\n");
    return finish_output();
  }

  if (options.files.empty())
    options.files.emplace_back("-");
  Report report;
  report.options = options;
  Faults faults;
  for (const std::string& name : options.files)
    read_file(name, report, faults);
  if (!close_faults(faults) || !print_report(report, faults))
    return kFailed;
  return finish_output();
}
