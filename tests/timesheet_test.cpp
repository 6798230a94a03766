#include "shiftsheet/timesheet.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "temporary_files.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

const char* const kWeek =
    "# Week 50\n(9:23,17:35) - 0:30     # Monday, less lunch\n\n+ (10:11,18:17) - 0:40  # "
    "Tuesday\n";
const char* const kDays =
    "# day  hours\nMon    (9:23,17:35) - 0:30\nTue    (10:11,18:17) - 0:40           # dentist at "
    "noon\nWed    (8:00,12:00) + (12:30,17:00)\n";

struct File {
  std::string name;
  std::string bytes;
};

// Reads the files in order into report; what went to standard error.
std::string read_files(const std::vector<File>& files, Report& report, Faults& faults)
{
  testing::internal::CaptureStderr();
  for (const File& file : files) {
    std::FILE* stream = file_of(file.bytes);
    if (stream == nullptr) {
      ADD_FAILURE() << "no temporary file";
      continue;
    }
    read_timesheet(stream, file.name, report, faults);
    std::fclose(stream);
  }
  return testing::internal::GetCapturedStderr();
}

// What print_report prints before the total, or "failed: " and what it printed and said on
// standard error.
std::string each_lines(Report& report)
{
  std::string total = "Total time: " + report_figure(report, report.total) + "\n";
  Faults faults;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  bool written = print_report(report, faults);
  std::string out = testing::internal::GetCapturedStdout();
  std::string errors = testing::internal::GetCapturedStderr();
  if (written && out.size() >= total.size() &&
      out.compare(out.size() - total.size(), total.size(), total) == 0)
    return out.substr(0, out.size() - total.size());
  return "failed: " + out + errors;
}

// A literal's bytes, NULs included.
template <std::size_t N>
std::string bytes(const char (&text)[N])
{
  return std::string(text, N - 1);
}

// text as UTF-16, little endian, with its mark.
std::string utf16le(const std::string& text)
{
  std::string bytes = "\xFF\xFE";
  for (char c : text) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

std::string repeat(const std::string& line, int times)
{
  std::string lines;
  for (int i = 0; i < times; ++i)
    lines += line;
  return lines;
}

TEST(Timesheet, TotalsEntriesAndNamesThem)
{
  const struct {
    std::vector<File> files;
    const char* total;
    const char* each;
  } cases[] = {
      {{{"week.txt", kWeek}}, "15:08", "week.txt:2 15:08\n"},
      {{{"days.txt", kDays}}, "23:38", "Mon 7:42\nTue 7:26\nWed 8:30\n"},
      {{{"a", ""}}, "0:00", ""},
      {{{"a", "# only\n\n  # comments\r\n"}}, "0:00", ""},
      {{{"a", "(9:00,17:00)\n(9:00,12:00)\n"}}, "11:00", "a:1 8:00\na:2 3:00\n"},
      // A leading sign on the first line signs its term; later, a continuation goes on
      // with the entry above, across blank lines and comments. A time may dip below zero.
      {{{"a", "- 1:00 + 1:30\n8:00\n# lunch\n\n- 0:30\r\n"}}, "8:00", "a:1 0:30\na:2 7:30\n"},
      {{{"a", "# top\n\t-1:00 + 1:15 # @acme"}}, "0:15", "a:2 0:15\n"},
      // Entries do not run on from one file into the next.
      {{{"a", "Mon 8:00\n"}, {"b", "+ 1:00\n"}}, "9:00", "Mon 8:00\nb:1 1:00\n"},
      // A night shift, as the file's writer meant it.
      {{{"n", "Sat 22:00-30:30 - 0:30\n"}}, "8:00", "Sat 8:00\n"},
      // Notepad's ways: a UTF-8 mark and CR LF with Windows-1252, or UTF-16 with a mark.
      {{{"a", "\xEF\xBB\xBFNo\xEBl 1:00\r\n"}}, "1:00", "No\xEBl 1:00\n"},
      {{{"u", utf16le("Mon 1:30\r\n")}}, "1:30", "Mon 1:30\n"},
      // Files joined by cat keep their marks, at the start of a line within.
      {{{"a", "Mon 1:00\n\xEF\xBB\xBFTue 2:00\n\xEF\xBB\xBF# b\n"}},
       "3:00",
       "Mon 1:00\nTue 2:00\n"},
  };
  for (const auto& c : cases) {
    Report report;
    Faults faults;
    report.options.each = true;
    EXPECT_EQ(read_files(c.files, report, faults), "") << c.files[0].bytes;
    EXPECT_EQ(faults.in_lines + faults.others, 0U) << c.files[0].bytes;
    EXPECT_EQ(report_figure(report, report.total), c.total) << c.files[0].bytes;
    EXPECT_EQ(each_lines(report), c.each) << c.files[0].bytes;
  }
}

TEST(Timesheet, ReportsEveryBadLine)
{
  const struct {
    std::vector<File> files;
    const char* errors;
  } cases[] = {
      {{{"m.txt", "Mon 9.30 - 0:30\n8:00\n7:30 45\r\n\n+\n"}},
       "m.txt:1:5: '9.30' could be read two ways: as decimal hours, write 9:18; as hours and "
       "minutes, write 9:30; or # before the line, if it is a heading\n"
       "m.txt:3:6: after '7:30', '45' has no unit: write 45h for hours, or 45m for minutes; and + "
       "or - before it\n"
       "m.txt:5:1: '+' has no term after it on its line\n"},
      {{{"a", "Mon 8:00 x\n"}, {"b", "1:00\n\xE2\x80\x93 1:00"}},
       "a:1:10: 'x' after '8:00' is no term: put # before a note, as # x\n"
       "b:2:1: '\xE2\x80\x93' (an en dash) is not an operator; write -\n"},
      // An entry below zero is named at its first line, after all its lines are read.
      {{{"z", "Tue 1:00\n- 0:30\n\n- 0:45\nWed 1:00\n"}},
       "z:1:1: this entry comes to -0:15, below zero: a clock after - is "
       "subtracted whole, so write a break as - 0:45, or from its start to its end as - "
       "(12:00,12:45)\n"},
      // The total, or an entry's, leaves 32 bits at the term that takes it out.
      {{{"r", "35791394:7\n0:1\n0:1\n"}},
       "r:2:1: the total leaves the range of 2147483647 minutes\n"},
      {{{"r", "-35791394:7\n35791394:7 + 0:1\n+ 0:1\n"}},
       "r:1:2: this entry comes to -35791394:07, below zero: a clock after - is "
       "subtracted whole, so write a break as - 0:45, or from its start to its end as - "
       "(12:00,12:45)\nr:2:14: the entry's total leaves the range of 2147483647 minutes\n"},
      {{{"r", "35791394:7\n  Day (0:0,0:1) + 0:1\n"}},
       "r:2:3: the total leaves the range of 2147483647 minutes\n"},
      // UTF-16 saved without its mark: one fault, and the rest of the file is not read.
      {{{"n", bytes("8:00\n1\0:\0x\0\nbad\n")}, {"o", "bad"}},
       "n:2:2: a NUL byte: the file looks like UTF-16 without a byte-order mark; save it as "
       "UTF-8, or as UTF-16 with its mark\no:1:1: the label 'bad' has no term after it; put # "
       "before a heading or a note\n"},
      // A name that a terminal would act on is written as \xNN.
      {{{"e\x1B[2J", "bad\n"}},
       "e\\x1B[2J:1:1: the label 'bad' has no term after it; put # before a heading or a note\n"},
      {{{"u", utf16le(bytes("1\0\nx"))}},
       "u:1:2: a NUL character cannot stand here\nu:2:1: the label 'x' has no term after it; put # "
       "before a heading or a note\n"},
  };
  for (const auto& c : cases) {
    Report report;
    Faults faults;
    EXPECT_EQ(read_files(c.files, report, faults), c.errors) << c.files[0].bytes;
    EXPECT_GT(faults.in_lines + faults.others, 0U) << c.files[0].bytes;
  }
}

TEST(Timesheet, ShowsTheFirstFiftyFaultsAndCountsTheRest)
{
  Report report;
  Faults faults;
  report.options.each = true;
  std::string bad = repeat("x\n", 30);
  std::string errors = read_files({{"a", "1:00\n" + bad}, {"b", bad + "1:00\n"}}, report, faults);
  std::string shown;
  for (int line = 2; line <= 31; ++line)
    shown += "a:" + std::to_string(line) +
             ":1: the label 'x' has no term after it; put # before a heading or a note\n";
  for (int line = 1; line <= 20; ++line)
    shown += "b:" + std::to_string(line) +
             ":1: the label 'x' has no term after it; put # before a heading or a note\n";
  EXPECT_EQ(errors, shown);
  EXPECT_EQ(faults.in_lines, 60U);
  EXPECT_EQ(each_lines(report), "");
}

TEST(Timesheet, SaysWhenAFileCannotBeRead)
{
  std::FILE* file = unreadable_stream("timesheet_write_only");
  ASSERT_NE(file, nullptr);
  Report report;
  Faults faults;
  testing::internal::CaptureStderr();
  read_timesheet(file, "w.txt", report, faults);
  std::string errors = testing::internal::GetCapturedStderr();
  std::fclose(file);
  EXPECT_EQ(errors.rfind("shiftsheet: w.txt: ", 0), 0U) << errors;
  EXPECT_EQ(faults.others, 1U);
}

// Entry lines past 64 KiB go to a temporary file, and come back in order.
TEST(Timesheet, SpillsManyEntryLinesToAFile)
{
  std::string lines;
  for (int i = 0; i < 9000; ++i)
    lines += "Day" + std::to_string(i) + " 1:00\n";
  Report report;
  Faults faults;
  report.options.each = true;
  EXPECT_EQ(read_files({{"a", lines}}, report, faults), "");
  EXPECT_NE(report.spill, nullptr);
  EXPECT_LT(report.lines.size(), 65536U);
  EXPECT_EQ(each_lines(report), lines);
  EXPECT_EQ(report.spill, nullptr);
  EXPECT_EQ(report_figure(report, report.total), "9000:00");
}

// A spill file that takes no writes, or gives nothing back, is a failure, said.
TEST(Timesheet, SaysWhenTheSpillFileFails)
{
  std::string path = temporary_path("timesheet_spill");
  std::FILE* read_only = std::fopen(path.c_str(), "wb");
  ASSERT_NE(read_only, nullptr);
  std::fclose(read_only);

  Report report;
  Faults faults;
  report.options.each = true;
  report.spill = std::fopen(path.c_str(), "rb");
  ASSERT_NE(report.spill, nullptr);
  std::string errors = read_files({{"a", repeat("Day 1:00\n", 9000)}}, report, faults);
  EXPECT_EQ(errors.rfind("shiftsheet: a temporary file for --each: ", 0), 0U) << errors;
  EXPECT_GT(faults.in_lines + faults.others, 0U);
  std::fclose(report.spill);

  report.spill = unreadable_stream("timesheet_spill_write_only");
  ASSERT_NE(report.spill, nullptr);
  report.lines = "Day 1:00\n";
  EXPECT_EQ(each_lines(report),
            "failed: shiftsheet: a temporary file for --each cannot be read back\n");
  EXPECT_EQ(report.spill, nullptr);
  std::remove(path.c_str());
}

// Where no temporary file can be made, the entry lines stay in memory, all of them.
TEST(Timesheet, KeepsEntryLinesInMemoryWhereNoTemporaryFileCanBeMade)
{
  std::string lines = repeat("Day 1:00\n", 9000);
  std::FILE* input = file_of(lines);
  ASSERT_NE(input, nullptr);
  Report report;
  Faults faults;
  report.options.each = true;
#ifdef _WIN32
  // The C library has streams for a few thousand files at most: with all of them open, no
  // temporary file can be made, but those open still work.
  std::vector<std::FILE*> all;
  for (std::FILE* file; all.size() < 100000 && (file = std::fopen("NUL", "rb")) != nullptr;)
    all.push_back(file);
  read_timesheet(input, "a", report, faults);
  for (std::FILE* file : all)
    std::fclose(file);
#else
  // With no descriptor allowed, no file can be opened, but those open still work.
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
  rlimit none = limit;
  none.rlim_cur = 0;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
  read_timesheet(input, "a", report, faults);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
#endif
  std::fclose(input);
  EXPECT_EQ(report.spill, nullptr);
  EXPECT_EQ(faults.in_lines + faults.others, 0U);
  EXPECT_EQ(report.lines, lines);
}

}  // namespace
