#include "shiftsheet/report.h"

#include <array>
#include <cerrno>
#include <cstring>

#include "shiftsheet/characters.h"
#include "shiftsheet/utf8.h"

namespace {

// Lines past this many bytes go to a temporary file, so that memory stays the same however
// many entries a timesheet has.
constexpr std::size_t kSpillAt = 65536;

constexpr std::int64_t kMinutesPerHour = 60;
constexpr std::int64_t kHundredths = 100;
constexpr std::int64_t kDaysPerWeek = 7;
constexpr std::int64_t kDaysPerYear = 365;
constexpr int kCentury = 100;
constexpr int kLeapCycle = 400;
constexpr int kThousand = 1000;
constexpr std::array<int, 12> kMonthDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr std::size_t kYearDigits = 4;
constexpr std::string_view kLeaves = " leaves the range of 2147483647 minutes";

// Minutes in hundredths of an hour, rounded half away from zero, reckoned in integers.
std::int64_t hundredths(std::int64_t minutes)
{
  std::int64_t magnitude = minutes < 0 ? -minutes : minutes;
  std::int64_t rounded = (magnitude * kHundredths + kMinutesPerHour / 2) / kMinutesPerHour;
  return minutes < 0 ? -rounded : rounded;
}

// A figure: its minutes, and what is shown, in minutes or hundredths of an hour (--decimal).
struct Figure {
  bool given = false;
  std::int64_t minutes = 0;
  std::int64_t shown = 0;
};

// The figure of the step from a running sum before: with --decimal, the step between the sums
// rounded, so that the steps shown add up to the sum shown.
Figure figure_of(const Options& options, std::int64_t minutes, std::int64_t before = 0,
                 bool given = true)
{
  std::int64_t after = before + minutes;
  return {given, minutes,
          options.decimal ? hundredths(after) - hundredths(before) : after - before};
}

// A row's figures, named as in CSV and JSON; the last three with --round or --target-each.
enum Column : std::size_t { kTime, kExact, kBalance, kCarried, kColumns };
constexpr std::array<std::array<const char*, 2>, kColumns> kColumnNames = {
    {{"minutes", "time"},
     {"exact_minutes", "exact_time"},
     {"balance_minutes", "balance"},
     {"carried_minutes", "carried"}}};

// Every CSV record has every column, empty where its row has no such figure.
constexpr std::string_view kCsvHeader =
    "kind,name,minutes,time,exact_minutes,exact_time,balance_minutes,balance,carried_minutes,"
    "carried\n";

// A line of the report (kind "entry" or "group"), which has a name, or a total, which has not.
struct Row {
  std::string_view kind;
  std::string_view name;
  std::string_view title;  // where it has no name, as text shows it: "Total time: "
  std::array<Figure, kColumns> figures;
};

// Appends row to out as a CSV record, or as a JSON object.
void append_record(const Options& options, const Row& row, std::string& out)
{
  bool csv = options.format == Format::kCsv;
  if (csv)
    append_csv_field(out.append(row.kind).append(","), row.name);
  else
    out.append(R"({"kind":")").append(row.kind).append("\"");
  if (!csv && !row.name.empty())
    append_json_string(out.append(",\"name\":"), row.name);
  for (std::size_t column = 0; column < kColumns; ++column) {
    const Figure& figure = row.figures[column];
    const std::array<const char*, 2>& names = kColumnNames[column];
    if (csv && figure.given) {
      append_integer(out.append(","), figure.minutes);
      append_figure(out.append(","), figure.shown, options.decimal);
    } else if (csv) {
      out.append(",,");
    } else if (figure.given) {
      append_integer(out.append(",\"").append(names[0]).append("\":"), figure.minutes);
      append_figure(out.append(",\"").append(names[1]).append("\":\""), figure.shown,
                    options.decimal);
      out += '"';
    }
  }
  out += csv ? '\n' : '}';
}

// Appends row to out as the format has it: a line of text, a CSV record or a JSON object.
void append_row(const Options& options, const Row& row, std::string& out)
{
  if (options.format != Format::kText)
    return append_record(options, row, out);
  const std::array<Figure, kColumns>& figures = row.figures;
  out.append(row.name.empty() ? row.title : row.name).append(row.name.empty() ? "" : " ");
  append_figure(out, figures[kTime].shown, options.decimal);
  if (figures[kBalance].given) {
    append_figure(out.append(" balance "), figures[kBalance].shown, options.decimal);
    append_figure(out.append(" carried "), figures[kCarried].shown, options.decimal);
  }
  if (figures[kExact].given && row.name.empty()) {
    append_figure(out.append(" (exact "), figures[kExact].shown, options.decimal);
    out += ')';
  }
  out += '\n';
}

// minutes rounded to a multiple of step, which is 1 or more, the way rounding says.
std::int64_t round_minutes(std::int64_t minutes, std::int64_t step, Rounding rounding)
{
  std::int64_t down = minutes / step * step - (minutes % step < 0 ? step : 0);
  std::int64_t rest = minutes - down;
  bool up = rest > 0 &&
            (rounding == Rounding::kUp || (rounding == Rounding::kNearest && 2 * rest >= step));
  return up ? down + step : down;
}

// Moves the lines held in memory to the spill file, made when first needed. Where none can
// be made, they stay in memory.
void spill(Report& report, Faults& faults)
{
  if (report.spill == nullptr)
    report.spill = std::tmpfile();
  if (report.spill == nullptr)
    return;
  const std::string& lines = report.lines;
  if (std::fwrite(lines.data(), 1, lines.size(), report.spill) != lines.size())
    name_run_fault(faults, "", std::string("a temporary file for --each: ") + std::strerror(errno));
  report.lines.clear();
}

// Adds a line of exact minutes to the report's sums and, where kept, its row to the lines;
// what leaves 32 bits where a sum would, or null.
const char* add_line(Report& report, std::string_view kind, std::string_view name,
                     std::int64_t exact, bool keep, Faults& faults)
{
  const Options& options = report.options;
  std::int64_t minutes =
      options.round > 0 ? round_minutes(exact, options.round, options.rounding) : exact;
  std::int64_t balance = minutes - to_minutes(options.target_each);
  bool each = options.has_target_each;
  if (!fits_32_bits(minutes) || !fits_32_bits(report.total + minutes))
    return fits_32_bits(minutes) ? "the total" : "the rounded time";
  if (options.has_target_each && !fits_32_bits(report.carried + balance))
    return "the balance carried";
  const std::int64_t total = report.total;
  const std::int64_t carried = report.carried;
  report.total += minutes;
  report.carried += balance;
  if (!keep || (!options.each && options.by == Key::kNone))
    return nullptr;
  Row row{
      kind,
      name,
      "",
      {figure_of(options, minutes, total), figure_of(options, exact, 0, options.round > 0),
       figure_of(options, balance, carried, each), figure_of(options, carried + balance, 0, each)}};
  if (options.format == Format::kJson)
    report.lines += report.lines.empty() && report.spill == nullptr ? "\n" : ",\n";
  append_row(options, row, report.lines);
  // Groups are in memory already, and so are their lines; entries are not.
  if (report.lines.size() >= kSpillAt && options.each)
    spill(report, faults);
  return nullptr;
}

// Adds minutes to the group of entry; what leaves 32 bits where its sum would, or null.
// An entry with no group is a fault, named.
const char* add_to_group(Report& report, const Entry& entry, std::int64_t minutes, Faults& faults)
{
  std::string_view key = entry.file;
  std::string problem;
  if (report.options.by == Key::kLabel)
    key = entry.label.empty() ? "(no label)" : std::string_view(entry.label);
  else if (report.options.by == Key::kTag)
    key = entry.tag.empty() ? "(no tag)" : std::string_view(entry.tag);
  else if (report.options.by != Key::kFile && !entry.label.empty() && entry.label == report.dated)
    key = report.key;  // the label of the entry before, whose date is read
  else if (report.options.by != Key::kFile &&
           date_key(report.options.by, entry.label, report.key, problem)) {
    key = report.key;
    report.dated = entry.label;
  } else if (report.options.by != Key::kFile) {
    name_fault(faults, entry.file, entry.line, entry.column, problem);
    return nullptr;
  }
  // Entries of one group mostly come together: the hash is skipped for them.
  if (report.groups.empty() || report.groups[report.recent].name != key) {
    auto found = report.places.try_emplace(std::string(key), report.groups.size()).first;
    if (found->second == report.groups.size())
      report.groups.push_back({std::string(key), 0});
    report.recent = found->second;
  }
  Group& group = report.groups[report.recent];
  if (!fits_32_bits(group.minutes + minutes))
    return "the total of its group";
  group.minutes += minutes;
  return nullptr;
}

// Writes the lines to standard output, and closes the spill file; false, the fault named,
// when the spill file cannot be read back.
bool write_lines(Report& report, Faults& faults)
{
  if (report.spill != nullptr) {
    std::rewind(report.spill);
    std::array<char, kSpillAt> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), report.spill)) > 0)
      std::fwrite(buffer.data(), 1, got, stdout);
    bool read = std::ferror(report.spill) == 0;
    std::fclose(report.spill);
    report.spill = nullptr;
    if (!read) {
      name_run_fault(faults, "", "a temporary file for --each cannot be read back");
      return false;
    }
  }
  std::fwrite(report.lines.data(), 1, report.lines.size(), stdout);
  return true;
}

struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
};

int month_days(int year, int month)
{
  bool leap = year % 4 == 0 && (year % kCentury != 0 || year % kLeapCycle == 0);
  return kMonthDays[static_cast<std::size_t>(month - 1)] + (month == 2 && leap ? 1 : 0);
}

bool is_date(const Date& date)
{
  return date.year >= 1 && date.month >= 1 && date.month <= static_cast<int>(kMonthDays.size()) &&
         date.day >= 1 && date.day <= month_days(date.year, date.month);
}

// Days from 0001-01-01, a Monday in the calendar of today carried back, to date.
std::int64_t day_number(const Date& date)
{
  std::int64_t years = date.year - 1;
  std::int64_t days =
      years * kDaysPerYear + years / 4 - years / kCentury + years / kLeapCycle + date.day - 1;
  for (int month = 1; month < date.month; ++month)
    days += month_days(date.year, month);
  return days;
}

// Appends value in width digits, width being 2 or 4: printf takes ten times as long.
void append_digits(std::string& text, int value, std::size_t width)
{
  for (int unit = width == 2 ? 10 : kThousand; unit > 0; unit /= 10)
    text += static_cast<char>('0' + value / unit % 10);
}

// The group of date under by: its day 2026-12-07, its ISO week 2026-W50 or its month 2026-12.
void date_group(Date date, Key by, std::string& text)
{
  if (by == Key::kWeek) {
    // An ISO week belongs to the year of its Thursday, and week 1 holds that year's first.
    std::int64_t thursday = day_number(date) - day_number(date) % kDaysPerWeek + 3;
    if (thursday < day_number({date.year, 1, 1}))
      --date.year;
    else if (thursday >= day_number({date.year + 1, 1, 1}))
      ++date.year;
    date.month = static_cast<int>((thursday - day_number({date.year, 1, 1})) / kDaysPerWeek) + 1;
  }
  text.clear();
  append_digits(text, date.year, kYearDigits);
  append_digits(text.append(by == Key::kWeek ? "-W" : "-"), date.month, 2);
  if (by == Key::kDay)
    append_digits(text.append("-"), date.day, 2);
}

// Why word, a date written with slashes as the numbers n, is not read: its readings.
std::string slash_problem(std::string_view word, const std::array<int, 3>& n)
{
  // Month first, as in the US, or day first, as in Britain: neither is guessed.
  std::string readings;
  std::string reading;
  for (const Date& each : {Date{n[2], n[0], n[1]}, Date{n[2], n[1], n[0]}}) {
    if (!is_date(each) || (!readings.empty() && n[0] == n[1]))
      continue;
    date_group(each, Key::kDay, reading);
    readings += (readings.empty() ? "" : " or ") + reading;
  }
  return quote(word) +
         (readings.empty() ? " is not a date" : " could be month or day first; write " + readings);
}

// Reads word where it is written as a date: 2026-12-07, 7.12.2026 (day first), or 12/07/2026,
// which is a problem that names both its readings, as is a date that is none. False where
// word is not written so.
bool read_date(std::string_view word, Date& date, std::string& problem)
{
  std::array<int, 3> n{};
  std::array<std::size_t, 3> lengths{};
  std::size_t part = 0;
  char sep = '\0';
  for (char c : word) {
    if (is_digit(c) && lengths[part] < kYearDigits) {
      n[part] = n[part] * 10 + (c - '0');
      ++lengths[part];
    } else if (part < 2 && lengths[part] > 0 && (sep == '\0' || c == sep)) {
      sep = c;
      ++part;
    } else {
      return false;
    }
  }
  bool iso = sep == '-' && lengths == std::array<std::size_t, 3>{kYearDigits, 2, 2};
  bool day_first =
      (sep == '.' || sep == '/') && lengths[0] <= 2 && lengths[1] <= 2 && lengths[2] == kYearDigits;
  if (part < 2 || (!iso && !day_first))
    return false;
  date = iso ? Date{n[0], n[1], n[2]} : Date{n[2], n[1], n[0]};
  if (sep == '/')
    problem = slash_problem(word, n);
  else if (!is_date(date))
    problem = quote(word) + " is not a date";
  return true;
}

}  // namespace

std::string report_figure(const Report& report, std::int64_t minutes)
{
  std::string text;
  append_figure(text, figure_of(report.options, minutes).shown, report.options.decimal);
  return text;
}

bool date_key(Key by, std::string_view label, std::string& key, std::string& problem)
{
  Date date;
  std::string_view found;  // the date read, where there is one
  for (std::size_t at = 0, end = 0; at < label.size(); at = end + 1) {
    for (end = at; end < label.size() && !is_blank(label[end]);)
      ++end;
    std::string_view word = label.substr(at, end - at);
    Date other;
    if (!found.empty() && read_date(word, other, problem)) {
      problem = "the label holds two dates, " + quote(found) + " and " + quote(word) +
                "; write an entry for each";
      return false;
    }
    if (found.empty() && read_date(word, date, problem)) {
      if (!problem.empty())
        return false;
      found = word;
    }
  }
  if (found.empty()) {
    problem = "no date in the entry's label; write one as 2026-12-07 or 07.12.2026";
    return false;
  }
  // A day written as its group is, as most are, is its own name.
  if (by == Key::kDay && found[kYearDigits] == '-')
    key.assign(found);
  else
    date_group(date, by, key);
  return true;
}

void append_csv_field(std::string& out, std::string_view text)
{
  bool quoted = false;
  for (char c : text)
    quoted = quoted || c == ',' || c == '"' || c == '\r' || c == '\n';
  if (!quoted) {
    out.append(text);
    return;
  }
  out += '"';
  for (char c : text)
    out.append(c == '"' ? 2 : 1, c);
  out += '"';
}

void append_json_string(std::string& out, std::string_view text)
{
  constexpr std::uint32_t kSurrogates = 0xD800;
  constexpr std::uint32_t kSurrogatesEnd = 0xE000;
  constexpr std::uint32_t kLast = 0x10FFFF;
  constexpr std::array<std::uint32_t, 5> kFirst = {0, 0, 0x80, 0x800, 0x10000};
  std::string& json = out.append("\"");
  for (std::size_t at = 0, length = 0; at < text.size(); at += length) {
    length = utf8_length(text.substr(at));
    std::uint32_t c = length > 1 ? code_point(text.substr(at), length) : 0;
    // No overlong form, surrogate or code point past U+10FFFF is UTF-8 to a reader of JSON.
    if (length > 1 && c >= kFirst[length] && c <= kLast &&
        (c < kSurrogates || c >= kSurrogatesEnd)) {
      json.append(text.substr(at, length));
      continue;
    }
    length = 1;
    c = static_cast<unsigned char>(text[at]);
    std::array<char, sizeof "\\u001F"> escaped{};
    std::snprintf(escaped.data(), escaped.size(), c < ' ' ? "\\u%04X" : "\\%c", c);
    if (c < ' ' || c == '"' || c == '\\')
      json += escaped.data();
    else
      append_utf8(c, json);  // a byte that is no UTF-8: the character of its value, as Latin-1
  }
  json += '"';
}

void add_entry(Report& report, const Entry& entry, Faults& faults)
{
  if (!report.sums_ok)
    return;
  std::int64_t minutes = entry.minutes;
  const char* leaves = nullptr;
  if (!fits_32_bits(report.exact + minutes)) {
    leaves = "the total";
  } else if (report.options.by != Key::kNone) {
    leaves = add_to_group(report, entry, minutes, faults);
  } else if (!report.options.each && report.options.round == 0 && !report.options.has_target_each) {
    report.total += minutes;  // a total alone, which is the exact one: no line to make
  } else {
    if (entry.label.empty() && report.options.each)
      report.key = entry.file + ":" + std::to_string(entry.line);
    std::string_view name = entry.label.empty() ? std::string_view(report.key) : entry.label;
    leaves = add_line(report, "entry", name, minutes, faults.in_lines + faults.others == 0, faults);
  }
  if (leaves == nullptr) {
    report.exact += minutes;
    return;
  }
  report.sums_ok = false;
  name_fault(faults, entry.file, entry.line, entry.column, std::string(leaves).append(kLeaves));
}

bool print_report(Report& report, Faults& faults)
{
  const Options& options = report.options;
  const char* leaves = nullptr;
  for (std::size_t i = 0; i < report.groups.size() && leaves == nullptr; ++i)
    leaves =
        add_line(report, "group", report.groups[i].name, report.groups[i].minutes, true, faults);
  std::int64_t target = to_minutes(options.target);
  if (leaves == nullptr && options.has_target && !fits_32_bits(report.total - target))
    leaves = "the balance";
  if (leaves != nullptr)
    name_run_fault(faults, "", std::string(leaves).append(kLeaves));
  if (faults.in_lines + faults.others > 0)
    return false;
  bool json = options.format == Format::kJson;
  std::string_view head = json ? "{\"lines\":[" : options.format == Format::kCsv ? kCsvHeader : "";
  std::fwrite(head.data(), 1, head.size(), stdout);
  if (!write_lines(report, faults))
    return false;
  // The total, then the targets and the balance.
  std::string tail = json ? "\n]" : "";
  auto add = [&](std::string_view kind, std::string_view title, std::int64_t minutes, bool exact) {
    Row row{
        kind, "", title, {figure_of(options, minutes), figure_of(options, report.exact, 0, exact)}};
    if (json)
      tail.append(",\n\"").append(kind).append("\":");
    append_row(options, row, tail);
  };
  add("total", "Total time: ", report.total, options.round > 0);
  if (options.has_target_each)
    add("target_each", "Target each: ", to_minutes(options.target_each), false);
  if (options.has_target) {
    add("target", "Target: ", target, false);
    add("balance", "Balance: ", report.total - target, false);
  }
  tail.append(json ? "\n}\n" : "");
  std::fwrite(tail.data(), 1, tail.size(), stdout);
  return true;
}
