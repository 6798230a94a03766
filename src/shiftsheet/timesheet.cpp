#include "shiftsheet/timesheet.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "shiftsheet/faults.h"
#include "shiftsheet/line_reader.h"
#include "shiftsheet/text_input.h"
#include "shiftsheet/utf8.h"

namespace {

// Entry lines past this many bytes go to a temporary file, so that memory stays the same
// however many entries a timesheet has.
constexpr std::size_t kSpillAt = 65536;

constexpr std::int64_t kMinutesPerHour = 60;
constexpr std::int64_t kHundredths = 100;

// The entry being read: where it begins, its label and first tag, and its time so far.
struct Entry {
  bool open = false;
  bool ok = true;  // no line of it has a fault, and its time is within 32 bits
  std::size_t line = 0;
  std::size_t column = 1;
  std::string label;
  std::string tag;
  std::int64_t minutes = 0;  // its time so far
};

std::string format_figure(std::int64_t minutes)
{
  std::int64_t magnitude = minutes < 0 ? -minutes : minutes;
  std::array<char, sizeof "-35791394:08"> text{};
  std::snprintf(text.data(), text.size(), "%s%d:%02d", minutes < 0 ? "-" : "",
                static_cast<int>(magnitude / kMinutesPerHour),
                static_cast<int>(magnitude % kMinutesPerHour));
  return text.data();
}

// Moves the entry lines held in memory to the spill file, made when first needed. Where
// none can be made, they stay in memory.
void spill(Timesheet& sheet, Faults& faults)
{
  if (sheet.spill == nullptr)
    sheet.spill = std::tmpfile();
  if (sheet.spill == nullptr)
    return;
  const std::string& lines = sheet.each_lines;
  if (std::fwrite(lines.data(), 1, lines.size(), sheet.spill) != lines.size()) {
    name_run_fault(faults, "", std::string("a temporary file for --each: ") + std::strerror(errno));
  }
  sheet.each_lines.clear();
}

// Names fault, found in a line of the file called name; its words are made only where it is
// shown.
void name_line_fault(Faults& faults, const std::string& name, std::size_t number,
                     std::string_view text, const LineFault& fault)
{
  if (faults.in_lines >= kShownFaults) {
    name_fault(faults, name, number, 0, {});
    return;
  }
  name_fault(faults, name, number, column_at(text, fault.offset), describe_fault(fault));
}

// Adds an entry, read whole and without fault, to the sheet.
void add_entry(Timesheet& sheet, const Entry& entry, const std::string& name, Faults& faults)
{
  if (!sheet.total_ok)
    return;
  if (!add_times(sheet.total, from_minutes(static_cast<std::int32_t>(entry.minutes)),
                 sheet.total)) {
    sheet.total_ok = false;
    name_fault(faults, name, entry.line, entry.column,
               "the total leaves the range of 2147483647 minutes");
    return;
  }
  if (!sheet.each || faults.in_lines > 0 || faults.others > 0)
    return;
  sheet.each_lines += entry.label.empty() ? name + ":" + std::to_string(entry.line) : entry.label;
  sheet.each_lines += ' ';
  sheet.each_lines += sheet_figure(sheet, from_minutes(static_cast<std::int32_t>(entry.minutes)));
  sheet.each_lines += '\n';
  if (sheet.each_lines.size() >= kSpillAt)
    spill(sheet, faults);
}

// Ends the entry being read; what it comes to is decided here.
void close_entry(Timesheet& sheet, Entry& entry, const std::string& name, Faults& faults)
{
  if (!entry.open)
    return;
  entry.open = false;
  if (!entry.ok)
    return;
  if (entry.minutes < 0) {
    LineFault fault;
    fault.kind = Fault::kBelowZero;
    fault.from = entry.minutes;
    name_fault(faults, name, entry.line, entry.column, describe_fault(fault));
    return;
  }
  add_entry(sheet, entry, name, faults);
}

void open_entry(const Timesheet& sheet, Entry& entry, const SheetLine& line, std::string_view text,
                std::size_t number)
{
  entry.open = true;
  entry.ok = true;
  entry.line = number;
  entry.minutes = 0;
  // The label is kept only where it is shown; most entries have no tag.
  if (sheet.each)
    entry.label.assign(line.label);
  if (!entry.tag.empty() || !line.tag.empty())
    entry.tag.assign(line.tag);
  std::size_t begin = line.label.empty()
                          ? line.terms.front().offset
                          : static_cast<std::size_t>(line.label.data() - text.data());
  entry.column = column_at(text, begin);
}

// Adds the line's terms to the entry; false, with fault, at the first that takes it out of 32
// bits.
bool add_terms(Entry& entry, const SheetLine& line, LineFault& fault)
{
  if (entry.tag.empty() && !line.tag.empty())
    entry.tag.assign(line.tag);
  for (const SheetTerm& term : line.terms) {
    entry.minutes += term.op == '-' ? -term.minutes : term.minutes;
    if (!fits_32_bits(entry.minutes)) {
      fault.kind = Fault::kEntryRange;
      fault.offset = term.offset;
      return false;
    }
  }
  return true;
}

// Decimal hours, in hundredths rounded half away from zero, reckoned in integers.
std::string format_decimal(std::int64_t minutes)
{
  std::int64_t magnitude = minutes < 0 ? -minutes : minutes;
  std::int64_t hundredths = (magnitude * kHundredths + kMinutesPerHour / 2) / kMinutesPerHour;
  std::array<char, sizeof "-35791394.13"> text{};
  std::snprintf(text.data(), text.size(), "%s%d.%02d", minutes < 0 ? "-" : "",
                static_cast<int>(hundredths / kHundredths),
                static_cast<int>(hundredths % kHundredths));
  return text.data();
}

// Writes the entry lines to standard output, and closes the spill file; false, said on
// standard error, when the spill file cannot be read back.
bool write_each_lines(Timesheet& sheet)
{
  if (sheet.spill != nullptr) {
    std::rewind(sheet.spill);
    std::array<char, kSpillAt> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), sheet.spill)) > 0)
      std::fwrite(buffer.data(), 1, got, stdout);
    bool read = std::ferror(sheet.spill) == 0;
    std::fclose(sheet.spill);
    sheet.spill = nullptr;
    if (!read) {
      std::fprintf(stderr, "shiftsheet: a temporary file for --each cannot be read back\n");
      return false;
    }
  }
  std::fwrite(sheet.each_lines.data(), 1, sheet.each_lines.size(), stdout);
  return true;
}

}  // namespace

void read_timesheet(std::FILE* file, const std::string& name, bool overnight, Timesheet& sheet,
                    Faults& faults)
{
  TextInput input;
  input.file = file;
  Entry entry;
  SheetLine line;
  LineFault fault;
  std::string_view text;
  std::size_t number = 0;
  while (cut_line(input, text)) {
    ++number;
    // A byte-order mark is nothing at the start of any line: files joined by cat keep theirs.
    if (text.size() >= 3 && text[0] == '\xEF' && text[1] == '\xBB' && text[2] == '\xBF')
      text.remove_prefix(3);
    std::size_t nul = input.has_nul ? text.find('\0') : std::string_view::npos;
    bool read = nul == std::string_view::npos && parse_line(text, overnight, line, fault);
    if (nul != std::string_view::npos) {
      // UTF-16 without its mark: every other byte of ASCII text is 0, and the rest is noise.
      fault.kind = input.encoding == Encoding::kBytes ? Fault::kNoMark : Fault::kNul;
      fault.offset = nul;
    }
    if (read && line.kind == LineKind::kBlank)
      continue;
    if (read && (line.kind == LineKind::kEntry || !entry.open)) {
      close_entry(sheet, entry, name, faults);
      open_entry(sheet, entry, line, text, number);
    }
    if (read && (!entry.ok || add_terms(entry, line, fault)))
      continue;
    name_line_fault(faults, name, number, text, fault);
    // What the entry adds up to no longer counts, so it can leave the range unsaid.
    entry.ok = false;
    if (fault.kind == Fault::kNoMark)
      break;
  }
  close_entry(sheet, entry, name, faults);
  if (input.failed)
    name_run_fault(faults, name, std::strerror(input.error));
}

std::string sheet_figure(const Timesheet& sheet, const ClockTime& time)
{
  if (sheet.decimal)
    return format_decimal(to_minutes(time));
  return format_figure(to_minutes(time));
}

bool print_timesheet(Timesheet& sheet, bool has_target, const ClockTime& target)
{
  ClockTime balance;
  if (has_target && !subtract_times(sheet.total, target, balance)) {
    std::fprintf(stderr, "shiftsheet: the balance leaves the range of 2147483647 minutes\n");
    return false;
  }
  if (!write_each_lines(sheet))
    return false;
  std::printf("Total time: %s\n", sheet_figure(sheet, sheet.total).c_str());
  if (!has_target)
    return true;
  ClockTime shown;
  add_times(shown, target, shown);  // as a figure: 0:90 is 1:30
  std::printf("Target: %s\n", sheet_figure(sheet, shown).c_str());
  std::printf("Balance: %s\n", sheet_figure(sheet, balance).c_str());
  return true;
}
