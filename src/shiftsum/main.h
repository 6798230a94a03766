#ifndef SHIFTSUM_SHIFTSUM_MAIN_H_
#define SHIFTSUM_SHIFTSUM_MAIN_H_

// Writes the usage text, with its worked example, to standard output.
void print_usage();

// The whole program: prints the total of argv[1] .. argv[argc - 1], or the usage text, to
// standard output and returns the exit status. argc may be 0.
int run_shiftsum(int argc, const char* const* argv);

#endif  // SHIFTSUM_SHIFTSUM_MAIN_H_
