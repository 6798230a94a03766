#include "shiftsheet/timesheet.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include "shiftsheet/faults.h"
#include "shiftsheet/line_reader.h"
#include "shiftsheet/text_input.h"
#include "shiftsheet/utf8.h"

namespace {

// The entry being read, and whether what is read of it so far counts.
struct OpenEntry {
  bool open = false;
  bool ok = true;  // no line of it has a fault, and its time is within 32 bits
  Entry entry;     // its minutes are its time so far
};

// Names fault, found in a line of the file; its words are made only where it is shown.
void name_line_fault(Faults& faults, const Entry& entry, std::size_t number, std::string_view text,
                     const LineFault& fault)
{
  if (faults.in_lines >= kShownFaults) {
    name_fault(faults, {}, number, 0, {});  // counted, not shown
    return;
  }
  name_fault(faults, entry.file, number, column_at(text, fault.offset), describe_fault(fault));
}

// Ends the entry being read; what it comes to is decided here.
void close_entry(Report& report, OpenEntry& open, Faults& faults)
{
  if (!open.open)
    return;
  open.open = false;
  if (!open.ok)
    return;
  const Entry& entry = open.entry;
  if (entry.minutes < 0) {
    LineFault fault;
    fault.kind = Fault::kBelowZero;
    fault.from = entry.minutes;
    name_fault(faults, entry.file, entry.line, entry.column, describe_fault(fault));
    return;
  }
  add_entry(report, entry, faults);
}

void open_entry(const Report& report, OpenEntry& open, const SheetLine& line, std::string_view text,
                std::size_t number)
{
  open.open = true;
  open.ok = true;
  open.entry.minutes = 0;
  Entry& entry = open.entry;
  entry.line = number;
  // The label is kept only where the report shows it or groups by it; most entries have no tag.
  if ((report.options.each || report.options.by != Key::kNone) && entry.label != line.label)
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
bool add_terms(OpenEntry& open, const SheetLine& line, LineFault& fault)
{
  if (open.entry.tag.empty() && !line.tag.empty())
    open.entry.tag.assign(line.tag);
  for (const SheetTerm& term : line.terms) {
    open.entry.minutes += term.op == '-' ? -term.minutes : term.minutes;
    if (!fits_32_bits(open.entry.minutes)) {
      fault.kind = Fault::kEntryRange;
      fault.offset = term.offset;
      return false;
    }
  }
  return true;
}

// Reads a line of input, without a byte-order mark at its start, into line; false, with
// fault, where it cannot be read.
bool read_text_line(const TextInput& input, std::string_view& text, bool overnight, SheetLine& line,
                    LineFault& fault)
{
  // A byte-order mark is nothing at the start of any line: files joined by cat keep theirs.
  if (text.size() >= 3 && text[0] == '\xEF' && text[1] == '\xBB' && text[2] == '\xBF')
    text.remove_prefix(3);
  std::size_t nul = input.has_nul ? text.find('\0') : std::string_view::npos;
  if (nul == std::string_view::npos)
    return parse_line(text, overnight, line, fault);
  // UTF-16 without its mark: every other byte of ASCII text is 0, and the rest is noise.
  fault.kind = input.encoding == Encoding::kBytes ? Fault::kNoMark : Fault::kNul;
  fault.offset = nul;
  return false;
}

}  // namespace

void read_timesheet(std::FILE* file, const std::string& name, Report& report, Faults& faults)
{
  TextInput input;
  input.file = file;
  OpenEntry open;
  open.entry.file = name;
  SheetLine line;
  LineFault fault;
  std::string_view text;
  std::size_t number = 0;
  while (cut_line(input, text)) {
    ++number;
    bool read = read_text_line(input, text, report.options.overnight, line, fault);
    if (read && line.kind == LineKind::kBlank)
      continue;
    if (read && (line.kind == LineKind::kEntry || !open.open)) {
      close_entry(report, open, faults);
      open_entry(report, open, line, text, number);
    }
    if (read && (!open.ok || add_terms(open, line, fault)))
      continue;
    name_line_fault(faults, open.entry, number, text, fault);
    // What the entry adds up to no longer counts, so it can leave the range unsaid.
    open.ok = false;
    if (fault.kind == Fault::kNoMark)
      break;
  }
  close_entry(report, open, faults);
  if (input.failed)
    name_run_fault(faults, name, std::strerror(input.error));
}
