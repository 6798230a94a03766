#include "main.h"

#include <cstdio>
#include <string>

#include "expression.h"

void print_usage()
{
  std::printf(
      "\nUsage:\n\n"
      "\tIf you worked from 9:23 to 17:35 and had a 30 minute lunchbreak\n"
      "\tthe first day, then worked from 10:11 to 18:17 the second day\n"
      "\twith a 40 minutes break then you write:\n\n"
      "\tshiftsum (9:23,17:35) - 0:30 + (10:11,18:17) - 0:40\n\n"
      "\tFor work overnight from e.g. 19:00 to 3:00 you have to use (19:00,27:00)\n\n");
}

// Always exits 0: a bad expression is answered with the usage text, not a status.
int run_shiftsum(int argc, const char* const* argv)
{
  if (argc < 2) {
    print_usage();
    return 0;
  }

  ClockTime total;
  if (!evaluate_arguments(argc, argv, total)) {
    print_usage();
    return 0;
  }
  std::printf("\nTotal time: %s\n\n", format_time(total).c_str());
  return 0;
}
