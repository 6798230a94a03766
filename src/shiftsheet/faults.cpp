#include "shiftsheet/faults.h"

#include <cstdio>
#include <string>

#include "shiftsheet/utf8.h"

void name_fault(Faults& faults, std::string_view file, std::size_t line, std::size_t column,
                std::string_view message)
{
  if (++faults.in_lines > kShownFaults)
    return;
  std::fprintf(stderr, "%s:%zu:%zu: %.*s\n", escape(file).c_str(), line, column,
               static_cast<int>(message.size()), message.data());
}

void name_run_fault(Faults& faults, std::string_view file, std::string_view message)
{
  ++faults.others;
  std::string where = file.empty() ? "" : escape(file) + ": ";
  std::fprintf(stderr, "shiftsheet: %s%.*s\n", where.c_str(), static_cast<int>(message.size()),
               message.data());
}

bool close_faults(const Faults& faults)
{
  if (faults.in_lines > kShownFaults) {
    std::fprintf(stderr, "shiftsheet: %zu more lines cannot be read\n",
                 faults.in_lines - kShownFaults);
  }
  return faults.in_lines == 0 && faults.others == 0;
}
