#include "shiftsheet/report.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

#include "shiftsheet/characters.h"
#include "shiftsheet/fault_text.h"
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
constexpr std::array<int, 12> kMonthDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr std::size_t kYearDigits = 4;
constexpr char kLeaves[] = " leaves the range of 2147483647 minutes";

std::string format_figure(std::int64_t minutes)
{
  std::int64_t magnitude = minutes < 0 ? -minutes : minutes;
  std::array<char, sizeof "-9223372036854775807:00"> text{};
  std::snprintf(text.data(), text.size(), "%s%lld:%02d", minutes < 0 ? "-" : "",
                static_cast<long long>(magnitude / kMinutesPerHour),
                static_cast<int>(magnitude % kMinutesPerHour));
  return text.data();
}

// Minutes in hundredths of an hour, rounded half away from zero, reckoned in integers.
std::int64_t hundredths(std::int64_t minutes)
{
  std::int64_t magnitude = minutes < 0 ? -minutes : minutes;
  std::int64_t rounded = (magnitude * kHundredths + kMinutesPerHour / 2) / kMinutesPerHour;
  return minutes < 0 ? -rounded : rounded;
}

// Hundredths of an hour as decimal hours, as 15.13.
std::string format_hundredths(std::int64_t value)
{
  std::int64_t magnitude = value < 0 ? -value : value;
  std::array<char, sizeof "-92233720368547758.07"> text{};
  std::snprintf(text.data(), text.size(), "%s%lld.%02d", value < 0 ? "-" : "",
                static_cast<long long>(magnitude / kHundredths),
                static_cast<int>(magnitude % kHundredths));
  return text.data();
}

// The step of a running sum from before to after as printed. In decimal hours it is the
// step between the two sums rounded, so that the printed steps add up to the printed sum.
std::string step_figure(const Report& report, std::int64_t before, std::int64_t after)
{
  if (report.options.decimal)
    return format_hundredths(hundredths(after) - hundredths(before));
  return format_figure(after - before);
}

// A figure of a row: its minutes and its text, which is empty where the row has none.
struct Figure {
  std::int64_t minutes = 0;
  std::string text;
};

// A row of the report: a line (kind "entry" or "group", with its name), or the total, a
// target or a balance.
struct Row {
  std::string_view kind;
  std::string_view name;
  Figure time;
  Figure exact;   // with --round, the time before rounding
  Figure target;  // with --target-each, the line's target, its balance and the balance carried
  Figure balance;
  Figure carried;
};

Row make_row(std::string_view kind, std::string_view name, Figure time)
{
  Row row;
  row.kind = kind;
  row.name = name;
  row.time = std::move(time);
  return row;
}

// The figures of a row, with their names in CSV and JSON: time alone, with the exact time
// under --round, and with the target and the balances under --target-each.
struct Column {
  Figure Row::*figure;
  const char* minutes;
  const char* text;
};
constexpr std::array<Column, 5> kColumns = {{
    {&Row::time, "minutes", "time"},
    {&Row::exact, "exact_minutes", "exact_time"},
    {&Row::target, "target_minutes", "target"},
    {&Row::balance, "balance_minutes", "balance"},
    {&Row::carried, "carried_minutes", "carried"},
}};

bool shows_column(const Options& options, std::size_t column)
{
  return column == 0 || (column == 1 && options.round > 0) ||
         (column > 1 && options.has_target_each);
}

bool is_line(const Row& row)
{
  return row.kind == "entry" || row.kind == "group";
}

void append_text_row(const Options& options, const Row& row, std::string& out)
{
  if (is_line(row)) {
    out.append(row.name).append(" ").append(row.time.text);
    if (options.has_target_each)
      out.append(" balance ").append(row.balance.text).append(" carried ").append(row.carried.text);
  } else {
    const char* title = row.kind == "total"         ? "Total time: "
                        : row.kind == "target_each" ? "Target each: "
                        : row.kind == "target"      ? "Target: "
                                                    : "Balance: ";
    out.append(title).append(row.time.text);
    if (!row.exact.text.empty())
      out.append(" (exact ").append(row.exact.text).append(")");
  }
  out += '\n';
}

// Appends row to out as the format has it: a line of text, a CSV record, or a JSON object
// that names the row where it is a line of the report.
void append_row(const Options& options, const Row& row, std::string& out)
{
  if (options.format == Format::kText) {
    append_text_row(options, row, out);
    return;
  }
  bool csv = options.format == Format::kCsv;
  if (csv)
    out.append(row.kind).append(",").append(csv_field(row.name));
  else
    out.append("{").append(is_line(row) ? "\"name\":" + json_string(row.name) + "," : "");
  for (std::size_t column = 0; column < kColumns.size(); ++column) {
    const Figure& figure = row.*kColumns[column].figure;
    if (!shows_column(options, column) || (!csv && figure.text.empty()))
      continue;
    if (csv) {
      out.append(",").append(figure.text.empty() ? "" : std::to_string(figure.minutes));
      out.append(",").append(figure.text);
      continue;
    }
    out.append(column == 0 ? "\"" : ",\"").append(kColumns[column].minutes).append("\":");
    out.append(std::to_string(figure.minutes)).append(",\"").append(kColumns[column].text);
    out.append("\":\"").append(figure.text).append("\"");
  }
  out.append(csv ? "\n" : "}");
}

bool prints_lines(const Options& options)
{
  return options.each || options.by != Key::kNone;
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
  std::int64_t minutes = exact;
  if (options.round > 0)
    minutes = round_minutes(exact, options.round, options.rounding);
  std::int64_t total = report.total + minutes;
  std::int64_t target = to_minutes(options.target_each);
  std::int64_t carried = report.carried + minutes - target;
  if (!fits_32_bits(minutes))
    return "the rounded time";
  if (!fits_32_bits(total))
    return "the total";
  if (options.has_target_each && !fits_32_bits(carried))
    return "the balance carried";
  Row row = make_row(kind, name, {minutes, step_figure(report, report.total, total)});
  if (options.round > 0)
    row.exact = {exact, report_figure(report, exact)};
  if (options.has_target_each) {
    row.target = {target, report_figure(report, target)};
    row.balance = {minutes - target, step_figure(report, report.carried, carried)};
    row.carried = {carried, report_figure(report, carried)};
  }
  report.total = total;
  report.carried = carried;
  if (!keep || !prints_lines(options))
    return nullptr;
  if (options.format == Format::kJson)
    report.lines += report.lines_made == 0 ? "\n" : ",\n";
  ++report.lines_made;
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
  std::string& key = report.key;
  std::string problem;
  if (report.options.by == Key::kLabel)
    key = entry.label.empty() ? "(no label)" : entry.label;
  else if (report.options.by == Key::kTag)
    key = entry.tag.empty() ? "(no tag)" : entry.tag;
  else if (report.options.by == Key::kFile)
    key = entry.file;
  else if (!date_key(report.options.by, entry.label, key, problem)) {
    name_fault(faults, entry.file, entry.line, entry.column, problem);
    return nullptr;
  }
  // Entries of one group mostly come together: the hash is skipped for them.
  if (report.groups.empty() || report.groups[report.recent].name != key) {
    auto found = report.places.try_emplace(key, report.groups.size()).first;
    if (found->second == report.groups.size())
      report.groups.push_back({key, 0});
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

// The CSV header: the kind of each row, its name, and the figures shown.
std::string csv_header(const Options& options)
{
  std::string header = "kind,name";
  for (std::size_t column = 0; column < kColumns.size(); ++column) {
    if (shows_column(options, column))
      header.append(",").append(kColumns[column].minutes).append(",").append(kColumns[column].text);
  }
  return header + "\n";
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

// Appends value in width digits, zeros first.
void append_number(std::string& text, int value, std::size_t width)
{
  std::size_t start = text.size();
  text.append(width, '0');
  for (std::size_t at = text.size(); at > start && value > 0; --at, value /= 10)
    text[at - 1] = static_cast<char>('0' + value % 10);
}

// date as 2026-12-07.
std::string iso_date(const Date& date)
{
  std::string text;
  append_number(text, date.year, kYearDigits);
  append_number(text.append("-"), date.month, 2);
  append_number(text.append("-"), date.day, 2);
  return text;
}

// Reads word as three runs of one to four digits parted by sep, as 2026-12-07, into numbers
// and their lengths; false where it is no such word.
bool three_numbers(std::string_view word, char sep, std::array<int, 3>& numbers,
                   std::array<std::size_t, 3>& lengths)
{
  std::size_t part = 0;
  numbers = {};
  lengths = {};
  for (char c : word) {
    if (c == sep && part < 2 && lengths[part] > 0) {
      ++part;
      continue;
    }
    if (!is_digit(c) || lengths[part] == kYearDigits)
      return false;
    numbers[part] = numbers[part] * 10 + (c - '0');
    ++lengths[part];
  }
  return part == 2 && lengths[2] > 0;
}

// Why word, a date written with slashes, is not read: it names the readings it may have.
std::string slash_problem(std::string_view word, const std::array<int, 3>& n,
                          const std::array<std::size_t, 3>& lengths)
{
  std::string readings;
  auto add = [&readings](const Date& date) {
    if (is_date(date))
      readings += (readings.empty() ? "" : " or ") + iso_date(date);
  };
  if (lengths[0] == kYearDigits) {
    add({n[0], n[1], n[2]});
  } else if (lengths[2] == kYearDigits) {
    add({n[2], n[0], n[1]});
    if (n[0] != n[1])
      add({n[2], n[1], n[0]});
  }
  if (readings.empty())
    return quote(word) + " is not a date";
  return quote(word) + " has slashes, whose order of day and month is not guessed; write " +
         readings;
}

// The first date in label, which is read as 2026-12-07 or 07.12.2026; false where there is
// none, with a problem where a word is a date that cannot be read.
bool find_date(std::string_view label, Date& date, std::string& problem)
{
  std::array<int, 3> n{};
  std::array<std::size_t, 3> lengths{};
  std::size_t at = 0;
  while (at < label.size()) {
    std::size_t end = at;
    while (end < label.size() && !is_blank(label[end]))
      ++end;
    std::string_view word = label.substr(at, end - at);
    at = end + 1;
    if (three_numbers(word, '-', n, lengths) && lengths[0] == kYearDigits && lengths[1] == 2 &&
        lengths[2] == 2)
      date = {n[0], n[1], n[2]};
    else if (three_numbers(word, '.', n, lengths) && lengths[0] <= 2 && lengths[1] <= 2 &&
             lengths[2] == kYearDigits)
      date = {n[2], n[1], n[0]};
    else if (three_numbers(word, '/', n, lengths))
      problem = slash_problem(word, n, lengths);
    else
      continue;
    if (problem.empty() && !is_date(date))
      problem = quote(word) + " is not a date";
    return problem.empty();
  }
  return false;
}

}  // namespace

std::string report_figure(const Report& report, std::int64_t minutes)
{
  if (report.options.decimal)
    return format_hundredths(hundredths(minutes));
  return format_figure(minutes);
}

std::int64_t round_minutes(std::int64_t minutes, std::int64_t step, Rounding rounding)
{
  std::int64_t down = minutes / step * step;
  if (down > minutes)
    down -= step;
  if (rounding == Rounding::kDown || down == minutes)
    return down;
  if (rounding == Rounding::kUp || 2 * (minutes - down) >= step)
    return down + step;
  return down;
}

bool date_key(Key by, std::string_view label, std::string& key, std::string& problem)
{
  Date date;
  if (!find_date(label, date, problem)) {
    if (problem.empty()) {
      const char* name = by == Key::kDay ? "day" : by == Key::kWeek ? "week" : "month";
      problem = std::string("no date in the entry's label, which --by ") + name +
                " needs; write one as 2026-12-07 or 07.12.2026";
    }
    return false;
  }
  key.clear();
  if (by == Key::kDay) {
    key = iso_date(date);
  } else if (by == Key::kMonth) {
    append_number(key, date.year, kYearDigits);
    append_number(key.append("-"), date.month, 2);
  } else {
    // An ISO week belongs to the year of its Thursday, and week 1 holds that year's first.
    std::int64_t day = day_number(date);
    std::int64_t thursday = day - day % kDaysPerWeek + 3;
    int year = date.year;
    if (thursday < day_number({year, 1, 1}))
      --year;
    else if (thursday >= day_number({year + 1, 1, 1}))
      ++year;
    append_number(key, year, kYearDigits);
    append_number(key.append("-W"),
                  static_cast<int>((thursday - day_number({year, 1, 1})) / kDaysPerWeek) + 1, 2);
  }
  return true;
}

std::string csv_field(std::string_view text)
{
  if (text.find_first_of(",\"\r\n") == std::string_view::npos)
    return std::string(text);
  std::string field = "\"";
  for (char c : text) {
    if (c == '"')
      field += '"';
    field += c;
  }
  return field + "\"";
}

std::string json_string(std::string_view text)
{
  constexpr std::uint32_t kSurrogates = 0xD800;
  constexpr std::uint32_t kSurrogatesEnd = 0xE000;
  constexpr std::array<std::uint32_t, 5> kFirst = {0, 0, 0x80, 0x800, 0x10000};
  std::string json = "\"";
  while (!text.empty()) {
    std::size_t length = utf8_length(text);
    std::uint32_t c =
        length == 0 ? static_cast<unsigned char>(text.front()) : code_point(text, length);
    // No overlong form, surrogate or code point past U+10FFFF passes as UTF-8.
    bool sound = length > 0 && c >= kFirst[length] && c <= 0x10FFFF &&
                 (c < kSurrogates || c >= kSurrogatesEnd);
    if (sound && length > 1) {
      json.append(text.substr(0, length));
      text.remove_prefix(length);
      continue;
    }
    c = static_cast<unsigned char>(text.front());
    text.remove_prefix(1);
    if (c == '"' || c == '\\') {
      json.append("\\").append(1, static_cast<char>(c));
    } else if (c < ' ') {
      std::array<char, sizeof "\\u001F"> escaped{};
      std::snprintf(escaped.data(), escaped.size(), "\\u%04X", static_cast<unsigned>(c));
      json += escaped.data();
    } else {
      append_utf8(c, json);  // a byte that is no UTF-8: the character of its value, as Latin-1
    }
  }
  return json + "\"";
}

void add_entry(Report& report, const Entry& entry, Faults& faults)
{
  if (!report.sums_ok)
    return;
  std::int64_t minutes = to_minutes(entry.time);
  const char* leaves = nullptr;
  if (!fits_32_bits(report.exact + minutes)) {
    leaves = "the total";
  } else if (report.options.by != Key::kNone) {
    leaves = add_to_group(report, entry, minutes, faults);
  } else {
    std::string_view name = entry.label;
    if (name.empty() && report.options.each) {
      report.key = entry.file + ":" + std::to_string(entry.line);
      name = report.key;
    }
    leaves = add_line(report, "entry", name, minutes, faults.in_lines + faults.others == 0, faults);
  }
  report.exact += minutes;
  if (leaves == nullptr)
    return;
  report.sums_ok = false;
  name_fault(faults, entry.file, entry.line, entry.column, std::string(leaves) + kLeaves);
}

bool print_report(Report& report, Faults& faults)
{
  const Options& options = report.options;
  for (const Group& group : report.groups) {
    const char* leaves = add_line(report, "group", group.name, group.minutes, true, faults);
    if (leaves != nullptr) {
      name_run_fault(faults, "", std::string(leaves) + kLeaves);
      return false;
    }
  }
  std::int64_t target = to_minutes(options.target);
  if (options.has_target && !fits_32_bits(report.total - target))
    name_run_fault(faults, "", "the balance leaves the range of 2147483647 minutes");
  if (faults.in_lines + faults.others > 0)
    return false;
  bool json = options.format == Format::kJson;
  std::string head = options.format == Format::kCsv ? csv_header(options) : "";
  if (json)
    head = prints_lines(options) ? "{\"lines\":[" : "{";
  std::fwrite(head.data(), 1, head.size(), stdout);
  if (!write_lines(report, faults))
    return false;
  auto figure = [&report](std::int64_t minutes) {
    return Figure{minutes, report_figure(report, minutes)};
  };
  std::vector<Row> rows = {make_row("total", "", figure(report.total))};
  if (options.round > 0)
    rows[0].exact = figure(report.exact);
  if (options.has_target_each)
    rows.push_back(make_row("target_each", "", figure(to_minutes(options.target_each))));
  if (options.has_target) {
    rows.push_back(make_row("target", "", figure(target)));
    rows.push_back(make_row("balance", "", figure(report.total - target)));
  }
  std::string tail = json && prints_lines(options) ? "\n]," : "";
  for (const Row& row : rows) {
    if (json)
      tail.append(&row == rows.data() ? "\n\"" : ",\n\"").append(row.kind).append("\":");
    append_row(options, row, tail);
  }
  tail.append(json ? "\n}\n" : "");
  std::fwrite(tail.data(), 1, tail.size(), stdout);
  return true;
}
