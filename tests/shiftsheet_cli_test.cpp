// Runs the built shiftsheet as a user would, on timesheets saved as systems save them, and
// checks its output byte for byte.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run_program.h"

namespace {

namespace fs = std::filesystem;

const std::string kWeek =
    "# Week 50\n"
    "(9:23,17:35) - 0:30     # Monday, less lunch\n"
    "\n"
    "+ (10:11,18:17) - 0:40  # Tuesday\n";
const std::string kDays =
    "# day  hours\n"
    "Mon    (9:23,17:35) - 0:30\n"
    "Tue    (10:11,18:17) - 0:40           # dentist at noon\n"
    "Wed    (8:00,12:00) + (12:30,17:00)\n";
const std::string kDaysEach = "Mon 7:42\nTue 7:26\nWed 8:30\n";

// A file's text as UTF-16, in either byte order, with or without its byte-order mark.
std::string utf16(const std::u16string& text, bool big_endian, bool mark)
{
  std::string bytes;
  for (char16_t unit : mark ? u"\uFEFF" + text : text) {
    char high = static_cast<char>(unit >> 8);
    char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

std::u16string widen(const std::string& ascii)
{
  return std::u16string(ascii.begin(), ascii.end());
}

std::string replace_all(const std::string& text, const std::string& from, const std::string& to)
{
  std::string replaced;
  std::size_t at = 0;
  std::size_t next = text.find(from);
  while (next != std::string::npos) {
    replaced.append(text, at, next - at);
    replaced += to;
    at = next + from.size();
    next = text.find(from, at);
  }
  return replaced.append(text, at, std::string::npos);
}

// H:MM of a time that is not negative.
std::string figure(long long minutes)
{
  return std::to_string(minutes / 60) + (minutes % 60 < 10 ? ":0" : ":") +
         std::to_string(minutes % 60);
}

std::string shown(const std::vector<std::string>& args)
{
  std::string text = "shiftsheet";
  for (const std::string& arg : args)
    text += " " + arg;
  return text;
}

// Where two long outputs first differ, so that a failure shows that place alone.
std::string first_difference(const std::string& a, const std::string& b)
{
  auto in_a = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first;
  auto at = static_cast<std::size_t>(in_a - a.begin());
  return "line " + std::to_string(std::count(a.begin(), in_a, '\n') + 1) + ": '" +
         a.substr(at, 40) + "' / '" + b.substr(at, 40) + "'";
}

// Each test writes its timesheets into a folder of its own, and runs the program there.
class SheetCli : public ::testing::Test {
 protected:
  void SetUp() override
  {
    std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    settings_.folder = fs::current_path() / ("sheets_" + test);
    fs::remove_all(settings_.folder);
    fs::create_directories(settings_.folder);
    write("week.txt", kWeek);
    write("days.txt", kDays);
  }

  void TearDown() override
  {
    fs::remove_all(settings_.folder);
  }

  void write(const std::string& name, const std::string& bytes)
  {
    std::ofstream file(settings_.folder / name, std::ios::binary);
    file << bytes;
    ASSERT_TRUE(file.good()) << name;
  }

  Outcome run(const std::vector<std::string>& args, const std::string& input = "",
              Output output = Output::kPipe)
  {
    settings_.input = input;
    settings_.output = output;
    return run_program(SHIFTSHEET_PATH, args, settings_);
  }

  // Runs a timesheet that reads: out on standard output, and nothing else.
  void expect_output(const std::vector<std::string>& args, const std::string& input,
                     const std::string& out)
  {
    Outcome r = run(args, input);
    EXPECT_EQ(r.out, native_lines(out)) << shown(args);
    EXPECT_EQ(r.err, "") << shown(args);
    EXPECT_EQ(r.status, 0) << shown(args);
  }

  RunSettings settings_;
};

TEST_F(SheetCli, TotalsWithEachOption)
{
  write("-e", "1:00\n");
  write("labels.txt", "Dec 9  6:45\n2026-12-09\t(9:00,17:00) - 0:30\nWeek 50 1:00\n");
  write("empty.txt", "");
  write("comments.txt", "# nothing yet\n\n \t\n# nor here\n");
  const std::string week = "Total time: 15:08\n";
  const std::string target = "Total time: 15:08\nTarget: 16:00\nBalance: -0:52\n";
  const struct {
    std::vector<std::string> args;
    std::string input;
    std::string out;
  } cases[] = {
      {{"week.txt"}, "", week},
      {{"-e", "days.txt"}, "", kDaysEach + "Total time: 23:38\n"},
      {{"--each", "days.txt"}, "", kDaysEach + "Total time: 23:38\n"},
      {{"days.txt", "-e"}, "", kDaysEach + "Total time: 23:38\n"},
      {{"-e", "labels.txt"}, "", "Dec 9 6:45\n2026-12-09 7:30\nWeek 50 1:00\nTotal time: 15:15\n"},
      {{"-d", "week.txt"}, "", "Total time: 15.13\n"},
      {{"--decimal", "week.txt"}, "", "Total time: 15.13\n"},
      {{"-t", "16:00", "week.txt"}, "", target},
      {{"-t16:00", "week.txt"}, "", target},
      {{"--target", "16:00", "week.txt"}, "", target},
      {{"week.txt", "--target=16:00"}, "", target},
      {{"-t", "0:90", "week.txt"}, "", "Total time: 15:08\nTarget: 1:30\nBalance: 13:38\n"},
      {{"-edt", "16:00", "days.txt"},
       "",
       "Mon 7.70\nTue 7.43\nWed 8.50\nTotal time: 23.63\nTarget: 16.00\nBalance: 7.63\n"},
      {{"-de", "-t24:00", "days.txt"},
       "",
       "Mon 7.70\nTue 7.43\nWed 8.50\nTotal time: 23.63\nTarget: 24.00\nBalance: -0.37\n"},
      // Several files, read in order as one timesheet, with options between them.
      {{"-e", "week.txt", "days.txt"},
       "",
       "week.txt:2 15:08\n" + kDaysEach + "Total time: 38:46\n"},
      {{"days.txt", "-e", "week.txt"}, "", kDaysEach + "week.txt:2 15:08\nTotal time: 38:46\n"},
      {{"--", "-e"}, "", "Total time: 1:00\n"},
      {{"-e", "--", "-e", "week.txt"}, "", "-e:1 1:00\nweek.txt:2 15:08\nTotal time: 16:08\n"},
      // Standard input, with no FILE or as -.
      {{}, kWeek, week},
      {{"-e", "-"}, kDays, kDaysEach + "Total time: 23:38\n"},
      {{"-e", "week.txt", "-"},
       "8:00\n",
       "week.txt:2 15:08\n(standard input):1 8:00\nTotal time: 23:08\n"},
      // Negative figures carry one sign; decimals round half away from zero.
      {{}, "0:30 - 2:00\n", "Total time: 1:30\n"},
      {{"-d"}, "0:01\n", "Total time: 0.02\n"},
      {{"-d"}, "0:01\n", "Total time: 0.02\n"},
      // A timesheet with no entry totals nothing.
      {{"empty.txt"}, "", "Total time: 0:00\n"},
      {{"-e", "comments.txt"}, "", "Total time: 0:00\n"},
      {{"-d", "-t", "8:00", "empty.txt"}, "", "Total time: 0.00\nTarget: 8.00\nBalance: -8.00\n"},
      {{}, "", "Total time: 0:00\n"},
  };
  for (const auto& c : cases)
    expect_output(c.args, c.input, c.out);
}

// --help and --version end the reading: what follows them, even a wrong option, is not read.
TEST_F(SheetCli, HelpAndVersionGoToStandardOutput)
{
  const std::string version = native_lines("shiftsheet " SHIFTSHEET_VERSION "\n");
  const std::string usage = native_lines("Usage: shiftsheet [OPTION]... [FILE]...\n");
  const std::string help = run({"--help"}).out;
  EXPECT_EQ(help.compare(0, usage.size(), usage), 0) << help;
  const std::vector<std::string> cases[] = {
      {"--help"},
      {"-h"},
      {"-eh"},
      {"week.txt", "--help"},
      {"-h", "nope.txt"},
      {"--help", "--bogus"},
      {"--version"},
      {"-e", "--version"},
      {"--version", "nope.txt"},
  };
  for (const auto& args : cases) {
    bool asks_version = std::find(args.begin(), args.end(), "--version") != args.end();
    Outcome r = run(args);
    EXPECT_EQ(r.out, asks_version ? version : help) << shown(args);
    EXPECT_EQ(r.err, "") << shown(args);
    EXPECT_EQ(r.status, 0) << shown(args);
  }
}

// A command line it does not take: one line that names what is wrong and points to --help.
TEST_F(SheetCli, BadCommandLineIsStatusTwo)
{
  const struct {
    std::vector<std::string> args;
    std::string named;
  } cases[] = {
      {{"-x"}, "'-x'"},
      {{"-ex", "week.txt"}, "'-x'"},
      {{"week.txt", "-q"}, "'-q'"},
      {{"nope.txt", "-x"}, "'-x'"},
      {{"--bogus"}, "'--bogus'"},
      {{"--each=yes"}, "'--each'"},
      {{"-t"}, "-t"},
      {{"week.txt", "--target"}, "--target"},
      {{"-t", "9.30", "week.txt"}, "'9.30'"},
      {{"-t9h30"}, "'9h30'"},
      {{"-et", "x"}, "'x'"},
      {{"--target=16"}, "'16'"},
      {{"--target", "-1:00"}, "'-1:00'"},
  };
  for (const auto& c : cases) {
    Outcome r = run(c.args);
    EXPECT_EQ(r.out, "") << shown(c.args);
    EXPECT_EQ(r.err.rfind("shiftsheet: ", 0), 0U) << r.err;
    EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("'shiftsheet --help'"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_EQ(r.status, 2) << shown(c.args);
  }
}

// A line on standard error for each bad line, and for each file that cannot be read; then
// nothing on standard output, and status 1.
TEST_F(SheetCli, WhatCannotBeReadIsSaidWithoutATotal)
{
  struct Line {
    std::string start;
    std::string holds;
  };
  write("bad.txt", "Mon 9.30 - 0:30\nTue 8:00\n7:30 45\n+\n(9:00,17:00\n()\nWed ( )\n");
  write("dash.txt", "Mon 8:00\nTue 8:00 \xE2\x80\x93 0:30\n");
  write("range.txt", "35791394:7\n+0:1\n");
  write("least.txt", "-35791394:7 - 0:1\n");
  write("le.txt", utf16(u"1:00\n", false, false));
  write("be.txt", utf16(u"1:00\n", true, false));
  fs::create_directories(settings_.folder / "folder");
  for (int lines : {30, 50, 53}) {
    std::string text;
    for (int i = 0; i < lines; ++i)
      text += "9.30\n";
    write(std::to_string(lines) + ".txt", text);
  }
  const std::string missing = std::strerror(ENOENT);
  std::vector<Line> first_50;
  std::vector<Line> over_two_files;
  for (int i = 1; i <= 50; ++i) {
    first_50.push_back({"53.txt:" + std::to_string(i) + ":1: ", "'9.30'"});
    std::string name = i <= 30 ? "30.txt:" : "53.txt:";
    over_two_files.push_back({name + std::to_string(i <= 30 ? i : i - 30) + ":1: ", "'9.30'"});
  }
  std::vector<Line> exactly_50 = first_50;
  for (Line& line : exactly_50)
    line.start.replace(0, 2, "50");
  first_50.push_back({"shiftsheet: 3 more lines cannot be read", ""});
  over_two_files.push_back({"shiftsheet: 33 more lines cannot be read", ""});

  const struct {
    std::vector<std::string> args;
    std::vector<Line> lines;
  } cases[] = {
      {{"bad.txt"},
       {{"bad.txt:1:5: ", "'9.30'"},
        {"bad.txt:3:6: ", "'45'"},
        {"bad.txt:4:1: ", "'+'"},
        {"bad.txt:5:1: ", "'(9:00,17:00'"},
        {"bad.txt:6:1: ", "'()'"},
        {"bad.txt:7:5: ", "'( )'"}}},
      {{"-e", "week.txt", "dash.txt", "days.txt"}, {{"dash.txt:2:5: ", "ends before it starts"}}},
      {{"range.txt"}, {{"range.txt:2:2: ", "2147483647"}}},
      {{"le.txt"}, {{"le.txt:1:2: ", "UTF-16"}}},
      {{"be.txt", "week.txt"}, {{"be.txt:1:1: ", "UTF-16"}}},
      {{"53.txt"}, first_50},
      {{"50.txt"}, exactly_50},
      {{"30.txt", "53.txt"}, over_two_files},
      {{"nope.txt"}, {{"shiftsheet: nope.txt: ", missing}}},
      {{"-e", "week.txt", "nope.txt"}, {{"shiftsheet: nope.txt: ", missing}}},
      {{"--", "-x"}, {{"shiftsheet: -x: ", missing}}},
      {{"folder", "week.txt"}, {{"shiftsheet: folder: ", ""}}},
      {{"-t", "0:01", "least.txt"}, {{"least.txt:1:2: ", "below zero"}}},
      {{"range.txt", "nope.txt"},
       {{"range.txt:2:2: ", "2147483647"}, {"shiftsheet: nope.txt: ", missing}}},
  };
  const std::string newline = native_lines("\n");
  for (const auto& c : cases) {
    Outcome r = run(c.args);
    EXPECT_EQ(r.out, "") << shown(c.args);
    EXPECT_EQ(r.status, 1) << shown(c.args);
    std::size_t at = 0;
    for (const Line& line : c.lines) {
      std::size_t end = r.err.find(newline, at);
      ASSERT_NE(end, std::string::npos) << shown(c.args) << ": " << r.err;
      std::string text = r.err.substr(at, end - at);
      EXPECT_EQ(text.rfind(line.start, 0), 0U) << text;
      EXPECT_NE(text.find(line.holds), std::string::npos) << text;
      at = end + newline.size();
    }
    EXPECT_EQ(r.err.substr(at), "") << shown(c.args);
  }
}

// The same lines saved in each way, read as a file and as standard input. NAME stands for the
// name that labels an entry which has no label of its own.
TEST_F(SheetCli, ReadsFilesAsSystemsSaveThem)
{
  const std::string lines =
      "# Week 50\nMon (9:23,17:35) - 0:30\n\n(10:11,18:17)\n  - 0:40  # dentist\nWed 1:00";
  const std::string each = "Mon 7:42\nNAME:4 7:26\nWed 1:00\nTotal time: 16:08\n";
  const std::u16string marked =
      u"# Woche 50 \U0001F600\r\nM\u00E4r (9:23,17:35) - 0:30\r\n\r\n"
      u"(10:11,18:17)\r\n  - 0:40  # Zahnarzt\r\nWed 1:00\r\n";
  const std::string marked_each = "M\xC3\xA4r 7:42\nNAME:4 7:26\nWed 1:00\nTotal time: 16:08\n";
  const struct {
    const char* how;
    std::string bytes;
    std::string each;
  } cases[] = {
      {"LF", lines + "\n", each},
      {"CR LF", replace_all(lines, "\n", "\r\n") + "\r\n", each},
      {"CR", replace_all(lines, "\n", "\r") + "\r", each},
      {"LF, none at the end", lines, each},
      {"CR LF, none at the end", replace_all(lines, "\n", "\r\n"), each},
      {"CR, none at the end", replace_all(lines, "\n", "\r"), each},
      {"UTF-8 mark, CR LF", "\xEF\xBB\xBF" + replace_all(lines, "\n", "\r\n"), each},
      {"UTF-8 mark before a label", "\xEF\xBB\xBFMon 8:00\r\n", "Mon 8:00\nTotal time: 8:00\n"},
      {"UTF-8", "# caf\xC3\xA9 \xE2\x80\x93 lunch\nM\xC3\xA4rz 8:00 # \xE2\x98\x95\n",
       "M\xC3\xA4rz 8:00\nTotal time: 8:00\n"},
      {"Windows-1252",
       "# Woche \x96 B\xFCro\r\nM\xE4r (9:00,17:00) - 0:30 # \x80 5, \x93ok\x94\r\n",
       "M\xE4r 7:30\nTotal time: 7:30\n"},
      {"Ctrl-Z in a comment", "1:00 # \x1A\n2:00\n",
       "NAME:1 1:00\nNAME:2 2:00\nTotal time: 3:00\n"},
      {"UTF-16 LE", utf16(marked, false, true), marked_each},
      {"UTF-16 BE", utf16(marked, true, true), marked_each},
  };
  for (const auto& c : cases) {
    write("s.txt", c.bytes);
    SCOPED_TRACE(c.how);
    expect_output({"-e", "s.txt"}, "", replace_all(c.each, "NAME", "s.txt"));
    expect_output({"-e"}, c.bytes, replace_all(c.each, "NAME", "(standard input)"));
  }
}

// 100,000 lines, CR LF, as a file and as standard input in UTF-16: every entry and the total.
// Entries without a label are named by their line, so a line end misread between two pieces
// of the file would show.
TEST_F(SheetCli, LargeFile)
{
  std::string text;
  std::string each;
  long long total = 0;
  int line = 0;
  for (int day = 0; line < 100000; ++day) {
    int minutes = 8 * 60 + day % 60;
    bool labelled = day % 4 != 0;
    ++line;
    std::string label = labelled ? "Day " + std::to_string(day) : "NAME:" + std::to_string(line);
    text += (labelled ? label + "\t" : "") + "(8:00," + figure(minutes + 8 * 60) + ")  # shift\r\n";
    if (day % 3 == 0) {
      text += "  + 0:01\r\n";
      ++minutes;
      ++line;
    }
    total += minutes;
    each += label + " " + figure(minutes) + "\n";
  }
  each += "Total time: " + figure(total) + "\n";
  write("big.txt", text);

  const struct {
    std::vector<std::string> args;
    std::string input;
    std::string name;
  } cases[] = {
      {{"-e", "big.txt"}, "", "big.txt"},
      {{"-e"}, utf16(widen(text), false, true), "(standard input)"},
  };
  for (const auto& c : cases) {
    Outcome r = run(c.args, c.input);
    std::string expected = native_lines(replace_all(each, "NAME", c.name));
    EXPECT_TRUE(r.out == expected) << c.name << ": " << first_difference(r.out, expected);
    EXPECT_EQ(r.err, "") << c.name;
    EXPECT_EQ(r.status, 0) << c.name;
  }
}

// Reports end to end: entries read across lines and files, grouped, and written in each
// format; a command line that makes no sense is status 2, a line that cannot be grouped 1.
TEST_F(SheetCli, PrintsReports)
{
  write("acme.txt",
        "2026-12-31 @acme (9:00,12:00)\n"
        "07.01.2027  (9:00,10:00)  # call\n"
        "  + 0:30                  # @globex, after lunch\r\n"
        "2027-01-04 Caf\xE9 (9:00,9:10)\n");
  write("plain.txt", "Mon 1:00\n");
  const struct {
    std::vector<std::string> args;
    std::string out;  // or the start of what goes to standard error
    int status;
  } cases[] = {
      {{"--by", "tag", "acme.txt"},
       "@acme 3:00\n@globex 1:30\n(no tag) 0:10\nTotal time: 4:40\n",
       0},
      {{"--by", "week", "acme.txt", "-d"}, "2026-W53 3.00\n2027-W01 1.67\nTotal time: 4.67\n", 0},
      {{"--by", "file", "--format", "csv", "--round", "60", "acme.txt", "plain.txt"},
       "kind,name,minutes,time,exact_minutes,exact_time,balance_minutes,balance,carried_minutes,"
       "carried\ngroup,acme.txt,300,5:00,280,4:40,,,,\ngroup,plain.txt,60,1:00,60,1:00,,,,\n"
       "total,,360,6:00,340,5:40,,,,\n",
       0},
      {{"-e", "--format=json", "acme.txt"},
       "{\"lines\":[\n{\"kind\":\"entry\",\"name\":\"2026-12-31 "
       "@acme\",\"minutes\":180,\"time\":\"3:00\"},\n"
       "{\"kind\":\"entry\",\"name\":\"07.01.2027\",\"minutes\":90,\"time\":\"1:30\"},\n"
       "{\"kind\":\"entry\",\"name\":\"2027-01-04 "
       "Caf\xC3\xA9\",\"minutes\":10,\"time\":\"0:10\"}\n],\n"
       "\"total\":{\"kind\":\"total\",\"minutes\":280,\"time\":\"4:40\"}\n}\n",
       0},
      {{"--by", "day", "plain.txt"}, "plain.txt:1:1: no date in the entry's label", 1},
      {{"-e", "--by", "day", "acme.txt"}, "shiftsheet: --each and --by do not go together", 2},
      {{"--target-each", "8:00", "acme.txt"}, "shiftsheet: --target-each needs --each or --by", 2},
      {{"--round", "0", "acme.txt"}, "shiftsheet: '0' for --round", 2},
      {{"--by", "year", "acme.txt"}, "shiftsheet: 'year' for --by", 2},
  };
  for (const auto& c : cases) {
    Outcome r = run(c.args);
    EXPECT_EQ(r.status, c.status) << shown(c.args);
    if (c.status == 0) {
      EXPECT_EQ(r.out, native_lines(c.out)) << shown(c.args);
      EXPECT_EQ(r.err, "") << shown(c.args);
      continue;
    }
    EXPECT_EQ(r.out, "") << shown(c.args);
    EXPECT_EQ(r.err.rfind(c.out, 0), 0U) << shown(c.args) << ": " << r.err;
  }
}

// As for shiftsum: output that cannot be written fails the run, with one line on standard
// error, whether it was a total, the entry lines (many, past what is kept in memory) or the
// version.
TEST_F(SheetCli, UnwritableOutputFailsTheRun)
{
  std::string many;
  for (int i = 0; i < 20000; ++i)
    many += "Day" + std::to_string(i) + " 8:00\n";
  write("many.txt", many);
  const std::string prefix = "shiftsheet: write error: ";
  const std::vector<std::string> commands[] = {{"week.txt"}, {"-e", "many.txt"}, {"--version"}};
  for (const Unwritable& c : unwritable_outputs()) {
    for (const auto& args : commands) {
      Outcome r = run(args, "", c.output);
      expect_write_error(r.err, prefix, c.cause, shown(args));
      EXPECT_EQ(r.status, 1) << shown(args);
    }
  }
}

}  // namespace
