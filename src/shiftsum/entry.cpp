// The process entry. The program itself is run_shiftsum, so that tests can run it in-process,
// even with an argument count of 0, which no exec on a current Linux kernel delivers.
#include "shiftsum/main.h"

int main(int argc, char* argv[])
{
  return run_shiftsum(argc, argv);
}
