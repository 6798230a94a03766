#ifndef SHIFTSUM_TESTS_USAGE_TEXT_H_
#define SHIFTSUM_TESTS_USAGE_TEXT_H_

// The usage text as the program must print it, byte for byte (LF line ends).
constexpr char kUsage[] =
    "\nUsage:\n\n"
    "\tIf you worked from 9:23 to 17:35 and had a 30 minute lunchbreak\n"
    "\tthe first day, then worked from 10:11 to 18:17 the second day\n"
    "\twith a 40 minutes break then you write:\n\n"
    "\tshiftsum (9:23,17:35) - 0:30 + (10:11,18:17) - 0:40\n\n"
    "\tFor work overnight from e.g. 19:00 to 3:00 you have to use (19:00,27:00)\n\n";

#endif  // SHIFTSUM_TESTS_USAGE_TEXT_H_
