#ifndef SHIFTSUM_MAIN_H_
#define SHIFTSUM_MAIN_H_

// Writes the usage text, with its worked example, to standard output.
void print_usage();

#endif  // SHIFTSUM_MAIN_H_
