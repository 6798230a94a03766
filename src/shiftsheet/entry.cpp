// The process entry. The program itself is run_shiftsheet, so that tests can run it in-process.
#include "shiftsheet/main.h"

int main(int argc, char* argv[])
{
  return run_shiftsheet(argc, argv);
}
