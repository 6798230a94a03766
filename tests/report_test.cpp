#include "shiftsheet/report.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// An entry of file "a"; its line is its place in the table, from 1.
struct Row {
  std::string label;
  std::int32_t minutes;
  std::string tag{};
  std::string file = "a";
};

// What a report of the rows prints under the options args, or "failed: " and what it said
// on standard error.
std::string report_of(const std::vector<const char*>& args, const std::vector<Row>& rows)
{
  std::vector<const char*> argv{"shiftsheet"};
  argv.insert(argv.end(), args.begin(), args.end());
  Report report;
  std::string complaint;
  if (!parse_options(static_cast<int>(argv.size()), argv.data(), report.options, complaint))
    return "bad options: " + complaint;
  Faults faults;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    Entry entry{rows[i].file, i + 1, 1, rows[i].label, rows[i].tag, rows[i].minutes};
    add_entry(report, entry, faults);
  }
  bool printed = faults.in_lines == 0 && print_report(report, faults);
  std::string out = testing::internal::GetCapturedStdout();
  std::string errors = testing::internal::GetCapturedStderr();
  return printed ? out : "failed: " + out + errors;
}

TEST(Report, PrintsLinesThatAddUpToTheTotal)
{
  const struct {
    std::vector<const char*> args;
    std::vector<Row> rows;
    const char* out;
  } cases[] = {
      // 8.08 four times would make 32.32 under a total of 32.33.
      {{"-ed"},
       {{"Mon", 485}, {"Tue", 485}, {"Wed", 485}, {"Thu", 485}},
       "Mon 8.08\nTue 8.09\nWed 8.08\nThu 8.08\nTotal time: 32.33\n"},
      {{"-ed"}, {{"a", 1}, {"b", 1}, {"c", 1}}, "a 0.02\nb 0.01\nc 0.02\nTotal time: 0.05\n"},
      {{"-e", "--round", "15"},
       {{"a", 7}, {"b", 8}, {"c", 112}, {"d", -5}},
       "a 0:00\nb 0:15\nc 1:45\nd 0:00\nTotal time: 2:00 (exact 2:02)\n"},
      // Halves go up, below zero too.
      {{"-e", "--round=10"},
       {{"a", 5}, {"b", -5}},
       "a 0:10\nb 0:00\nTotal time: 0:10 (exact 0:00)\n"},
      {{"-e", "--round", "15up"},
       {{"a", 1}, {"b", 60}, {"c", -14}},
       "a 0:15\nb 1:00\nc 0:00\nTotal time: 1:15 (exact 0:47)\n"},
      {{"-e", "--round", "15down"},
       {{"a", 14}, {"b", -1}},
       "a 0:00\nb -0:15\nTotal time: -0:15 (exact 0:13)\n"},
      {{"-ed", "--round", "10"},
       {{"a", 10}, {"b", 10}, {"c", 10}},
       "a 0.17\nb 0.16\nc 0.17\nTotal time: 0.50 (exact 0.50)\n"},
      {{"--round", "60"}, {{"a", 30}, {"b", 29}}, "Total time: 1:00 (exact 0:59)\n"},
      {{"-e"}, {{"", 60}, {"x", 1}}, "a:1 1:00\nx 0:01\nTotal time: 1:01\n"},
      // Balances are steps between carried balances, so that they add up to them as well.
      {{"-ed", "--target-each", "8:00"},
       {{"a", 470}, {"b", 485}},
       "a 7.83 balance -0.17 carried -0.17\nb 8.09 balance 0.09 carried -0.08\n"
       "Total time: 15.92\nTarget each: 8.00\n"},
      {{"-t", "1:00", "--round", "30"},
       {{"a", 50}},
       "Total time: 1:00 (exact 0:50)\nTarget: 1:00\nBalance: 0:00\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(report_of(c.args, c.rows), c.out) << c.args[0] << " " << c.out;
}

TEST(Report, GroupsEntries)
{
  const struct {
    std::vector<const char*> args;
    std::vector<Row> rows;
    const char* out;
  } cases[] = {
      {{"--by", "tag"},
       {{"x", 60, "@acme"}, {"y", 120}, {"z", 30, "@beta"}, {"w", 15, "@acme"}},
       "@acme 1:15\n(no tag) 2:00\n@beta 0:30\nTotal time: 3:45\n"},
      {{"--by", "label"},
       {{"", 60}, {"Dec 9", 1}, {"", 2}},
       "(no label) 1:02\nDec 9 0:01\nTotal time: 1:03\n"},
      {{"--by", "day"},
       {{"Mon 07.12.2026", 60}, {"2026-12-08", 30}, {"2026-12-07 late", 5}, {"7.12.2026", 1}},
       "2026-12-07 1:06\n2026-12-08 0:30\nTotal time: 1:36\n"},
      {{"--by", "month"},
       {{"2026-12-31", 1}, {"01.01.2027", 2}},
       "2026-12 0:01\n2027-01 0:02\nTotal time: 0:03\n"},
      {{"--by", "file"},
       {{"", 1, "", "b"}, {"", 2}, {"", 3, "", "b"}},
       "b 0:04\na 0:02\nTotal time: 0:06\n"},
      {{"--by", "day", "--target-each", "1:00", "--round", "15"},
       {{"2026-12-07", 50}, {"2026-12-08", 80}},
       "2026-12-07 0:45 balance -0:15 carried -0:15\n2026-12-08 1:15 balance 0:15 carried 0:00\n"
       "Total time: 2:00 (exact 2:10)\nTarget each: 1:00\n"},
      {{"--by", "file", "--format", "csv"},
       {{"", 60, "", "a,\"b\""}},
       "kind,name,minutes,time,exact_minutes,exact_time,balance_minutes,balance,carried_minutes,"
       "carried\ngroup,\"a,\"\"b\"\"\",60,1:00,,,,,,\ntotal,,60,1:00,,,,,,\n"},
      {{"--by", "tag", "--format=csv", "-d", "--round", "15", "-t", "1:00"},
       {{"", 50, "@a"}},
       "kind,name,minutes,time,exact_minutes,exact_time,balance_minutes,balance,carried_minutes,"
       "carried\ngroup,@a,45,0.75,50,0.83,,,,\ntotal,,45,0.75,50,0.83,,,,\n"
       "target,,60,1.00,,,,,,\nbalance,,-15,-0.25,,,,,,\n"},
      {{"--format", "json", "--by", "label"},
       {{"Caf\xE9 \"x\"", 60}},
       "{\"lines\":[\n{\"kind\":\"group\",\"name\":\"Caf\xC3\xA9 "
       "\\\"x\\\"\",\"minutes\":60,\"time\":\"1:00\"}\n],\n"
       "\"total\":{\"kind\":\"total\",\"minutes\":60,\"time\":\"1:00\"}\n}\n"},
      {{"--format", "json", "-t", "2:00"},
       {{"x", 60}},
       "{\"lines\":[\n],\n\"total\":{\"kind\":\"total\",\"minutes\":60,\"time\":\"1:00\"},\n"
       "\"target\":{\"kind\":\"target\",\"minutes\":120,\"time\":\"2:00\"},\n"
       "\"balance\":{\"kind\":\"balance\",\"minutes\":-60,\"time\":\"-1:00\"}\n}\n"},
      // What cannot be grouped or summed is a fault, named where it is found.
      {{"--by", "day"},
       {{"2026-12-07", 1},
        {"Mon", 1},
        {"12/07/2026", 1},
        {"2026-02-30", 1},
        {"2026/12/07", 1},
        {"2026-12-28 to 2027-01-03", 1},
        {"", 1}},
       "failed: a:2:1: no date in the entry's label; write one as 2026-12-07 or 07.12.2026\na:3:1: "
       "'12/07/2026' could be month or day first; write "
       "2026-12-07 or 2026-07-12\na:4:1: '2026-02-30' is not a date\na:5:1: no date in the "
       "entry's label; write one as 2026-12-07 or 07.12.2026\na:6:1: the label holds two dates, "
       "'2026-12-28' and '2027-01-03'; write an entry for each\na:7:1: no date in the entry's "
       "label; write one as 2026-12-07 or 07.12.2026\n"},
      {{"-e"},
       {{"a", kMax}, {"b", 1}},
       "failed: a:2:1: the total leaves the range of 2147483647 minutes\n"},
      {{"--round", "15up"},
       {{"a", kMax}},
       "failed: a:1:1: the rounded time leaves the range of 2147483647 minutes\n"},
      {{"--by", "tag", "--round", "2"},
       {{"a", kMax}},
       "failed: shiftsheet: the rounded time leaves the range of 2147483647 minutes\n"},
      {{"--by", "tag"},
       {{"a", kMin}, {"b", -1}},
       "failed: a:2:1: the total leaves the range of 2147483647 minutes\n"},
      {{"-t", "0:01"},
       {{"a", kMin}},
       "failed: shiftsheet: the balance leaves the range of 2147483647 minutes\n"},
      {{"--by", "label"},
       {{"a", kMax}, {"b", -kMax}, {"a", 1}},
       "failed: a:3:1: the total of its group leaves the range of 2147483647 minutes\n"},
      {{"-e", "--target-each", "35791394:07"},
       {{"a", 0}, {"b", 0}},
       "failed: a:2:1: the balance carried leaves the range of 2147483647 minutes\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(report_of(c.args, c.rows), c.out) << c.args[0] << " " << c.out;
}

// ISO weeks belong to the year of their Thursday, so the first and last days of a year may
// fall in the next or the last.
TEST(Report, ReadsDatesIntoKeys)
{
  const struct {
    Key by;
    const char* label;
    const char* key;  // or the problem
  } cases[] = {
      {Key::kWeek, "2026-12-07", "2026-W50"},
      {Key::kWeek, "2026-12-31", "2026-W53"},
      {Key::kWeek, "2027-01-01", "2026-W53"},
      {Key::kWeek, "2027-01-04", "2027-W01"},
      {Key::kWeek, "2024-12-30", "2025-W01"},
      {Key::kWeek, "2021-01-03", "2020-W53"},
      {Key::kWeek, "2008-12-29", "2009-W01"},
      {Key::kWeek, "0001-01-01", "0001-W01"},
      {Key::kWeek, "31.12.9999", "9999-W52"},
      {Key::kDay, "Mon 7.1.2027 x", "2027-01-07"},
      {Key::kDay, "2024-02-29", "2024-02-29"},
      {Key::kDay, "2000-02-29", "2000-02-29"},
      {Key::kDay, "2100-02-29", "'2100-02-29' is not a date"},
      {Key::kMonth, "29.02.2023", "'29.02.2023' is not a date"},
      {Key::kDay, "0000-01-01", "'0000-01-01' is not a date"},
      {Key::kDay, "13/07/2026", "'13/07/2026' could be month or day first; write 2026-07-13"},
      {Key::kDay, "07/07/2026", "'07/07/2026' could be month or day first; write 2026-07-07"},
      {Key::kDay, "13/13/2026", "'13/13/2026' is not a date"},
      {Key::kMonth, "2026-12-7 12.2026 2026-12",
       "no date in the entry's label; write one as 2026-12-07 or 07.12.2026"},
  };
  for (const auto& c : cases) {
    std::string key;
    std::string problem;
    bool found = date_key(c.by, c.label, key, problem);
    EXPECT_EQ(found ? key : problem, c.key) << c.label;
  }
}

TEST(Report, QuotesNamesForCsvAndJson)
{
  const struct {
    const char* text;
    const char* csv;
    const char* json;
  } cases[] = {
      {"Mon", "Mon", "\"Mon\""},
      {"a,b", "\"a,b\"", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\"", "\"say \\\"hi\\\"\""},
      {"a\nb\\", "\"a\nb\\\"", "\"a\\u000Ab\\\\\""},
      {"\t\x1F", "\t\x1F", "\"\\u0009\\u001F\""},
      // UTF-8 as it is; any other byte as the Latin-1 character of its value.
      {"M\xC3\xA4rz \xF0\x9F\x98\x80", "M\xC3\xA4rz \xF0\x9F\x98\x80",
       "\"M\xC3\xA4rz \xF0\x9F\x98\x80\""},
      {"M\xE4r \x80", "M\xE4r \x80", "\"M\xC3\xA4r \xC2\x80\""},
      // An overlong slash, a surrogate and a code point past U+10FFFF are no UTF-8.
      {"\xC0\xAF", "\xC0\xAF", "\"\xC3\x80\xC2\xAF\""},
      {"\xE0\x80\xAF", "\xE0\x80\xAF", "\"\xC3\xA0\xC2\x80\xC2\xAF\""},
      {"\xED\xA0\x80", "\xED\xA0\x80", "\"\xC3\xAD\xC2\xA0\xC2\x80\""},
      {"\xF4\x90\x80\x80", "\xF4\x90\x80\x80", "\"\xC3\xB4\xC2\x90\xC2\x80\xC2\x80\""},
  };
  for (const auto& c : cases) {
    std::string csv = "x";
    std::string json = "x";
    append_csv_field(csv, c.text);
    append_json_string(json, c.text);
    EXPECT_EQ(csv, std::string("x") + c.csv) << c.text;
    EXPECT_EQ(json, std::string("x") + c.json) << c.text;
  }
}

TEST(Report, WritesFigures)
{
  const struct {
    std::int64_t minutes;
    const char* figure;
    const char* decimal;
  } cases[] = {
      {908, "15:08", "15.13"},
      {0, "0:00", "0.00"},
      {-52, "-0:52", "-0.87"},
      {-90, "-1:30", "-1.50"},
      {7500, "125:00", "125.00"},
      // A minute is 1.67 hundredths, two are 3.33: rounded to the nearer, either sign.
      {1, "0:01", "0.02"},
      {-1, "-0:01", "-0.02"},
      {2, "0:02", "0.03"},
      {-2, "-0:02", "-0.03"},
      {kMax, "35791394:07", "35791394.12"},
      {kMin, "-35791394:08", "-35791394.13"},
  };
  for (const auto& c : cases) {
    Report report;
    EXPECT_EQ(report_figure(report, c.minutes), c.figure) << c.minutes;
    report.options.decimal = true;
    EXPECT_EQ(report_figure(report, c.minutes), c.decimal) << c.minutes;
  }
}

}  // namespace
