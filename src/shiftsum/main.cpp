#include "shiftsum/main.h"

#include <cstdio>
#include <string>

#include "shiftsum/expression.h"

namespace {

// The total of the arguments, or the usage text where there is none.
void print_result(int argc, const char* const* argv)
{
  ClockTime total;
  if (!evaluate_arguments(argc, argv, total)) {
    print_usage();
    return;
  }
  std::printf("\nTotal time: %s\n\n", format_time(total).c_str());
}

}  // namespace

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

// A bad expression is answered with the usage text and status 0. Output that could not be
// written is no answer at all, so that alone fails the run.
int run_shiftsum(int argc, const char* const* argv)
{
  print_result(argc, argv);
  // A failed write, now or when the buffered output was last written, sets the stream's
  // error indicator, and so does a failed flush.
  std::fflush(stdout);
  if (std::ferror(stdout) == 0)
    return 0;
  std::perror("shiftsum: write error");  // the text of errno, as the failed write left it
  return 1;
}
