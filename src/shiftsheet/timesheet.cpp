#include "shiftsheet/timesheet.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include "shiftsheet/characters.h"
#include "shiftsheet/faults.h"
#include "shiftsheet/sheet_reader.h"
#include "shiftsheet/text_input.h"
#include "shiftsheet/utf8.h"

namespace {

// The entry being read.
struct OpenEntry {
  bool open = false;
  bool ok = true;  // its total is within 32 bits
  Entry entry;
};

// Takes into tag, where it is empty, the first word in text that begins with @ and holds
// more, as "@acme", after a blank or the # of a comment; a mark, as in "@acme,", ends it.
void take_tag(std::string_view text, std::string& tag)
{
  for (std::size_t at = text.find('@'); tag.empty() && at != std::string_view::npos;
       at = text.find('@', at + 1)) {
    std::size_t end = at;
    while (end < text.size() && !is_blank(text[end]) &&
           std::string_view(",;:.!?()[]{}'\"").find(text[end]) == std::string_view::npos)
      ++end;
    if ((at == 0 || is_blank(text[at - 1]) || text[at - 1] == '#') && end > at + 1)
      tag.assign(text.substr(at, end - at));
  }
}

void close_entry(Report& report, OpenEntry& open, Faults& faults)
{
  if (!open.open)
    return;
  open.open = false;
  if (open.ok)
    add_entry(report, open.entry, faults);
}

void open_entry(OpenEntry& open, const SheetLine& line, std::string_view text, std::size_t number)
{
  open.open = true;
  open.ok = true;
  Entry& entry = open.entry;
  entry.line = number;
  entry.time = ClockTime{};
  entry.label.assign(line.label);
  entry.tag.clear();
  take_tag(line.label, entry.tag);
  std::size_t offset = line.terms.empty() ? 0 : line.terms.front().offset;
  if (!line.label.empty())
    offset = static_cast<std::size_t>(line.label.data() - text.data());
  entry.column = column_at(text, offset);
}

bool combine(const SheetTerm& term, ClockTime& total)
{
  if (term.op == '-')
    return subtract_times(total, term.value, total);
  return add_times(total, term.value, total);
}

// Adds the line's terms to the entry; the first term that takes it out of 32 bits is a fault.
void add_terms(OpenEntry& open, const SheetLine& line, std::string_view text,
               const std::string& name, std::size_t number, Faults& faults)
{
  for (const SheetTerm& term : line.terms) {
    if (open.ok && !combine(term, open.entry.time)) {
      open.ok = false;
      name_fault(faults, name, number, column_at(text, term.offset),
                 "the entry's total leaves the range of 2147483647 minutes");
      return;
    }
  }
}

}  // namespace

void read_timesheet(std::FILE* file, const std::string& name, Report& report, Faults& faults)
{
  TextInput input;
  input.file = file;
  OpenEntry entry;
  entry.entry.file = name;
  SheetLine line;
  LineFault fault;
  std::string_view text;
  std::size_t number = 0;
  while (read_line(input, text)) {
    ++number;
    // A byte-order mark is nothing at the start of any line: files joined by cat keep theirs.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
      text.remove_prefix(3);
    std::size_t nul = input.has_nul ? text.find('\0') : std::string_view::npos;
    if (nul != std::string_view::npos && input.encoding == Encoding::kBytes) {
      // UTF-16 without its mark: every other byte of ASCII text is 0, and the rest is noise.
      name_fault(faults, name, number, column_at(text, nul),
                 "a NUL byte: the file looks like UTF-16 without a byte-order mark; save it as "
                 "UTF-8, or as UTF-16 with its mark");
      break;
    }
    if (nul != std::string_view::npos) {
      name_fault(faults, name, number, column_at(text, nul), "a NUL character cannot stand here");
      continue;
    }
    if (!read_sheet_line(text, line, fault)) {
      name_fault(faults, name, number, fault.column, fault.message);
      // What the entry adds up to no longer counts, so it can leave the range unsaid.
      entry.ok = false;
      continue;
    }
    if (line.kind == LineKind::kBlank)
      continue;
    if (line.kind == LineKind::kEntry || !entry.open) {
      close_entry(report, entry, faults);
      open_entry(entry, line, text, number);
    }
    add_terms(entry, line, text, name, number, faults);
    std::size_t comment = text.find('#');
    if (comment != std::string_view::npos)
      take_tag(text.substr(comment), entry.entry.tag);
  }
  close_entry(report, entry, faults);
  if (input.failed)
    name_run_fault(faults, name, std::strerror(input.error));
}
