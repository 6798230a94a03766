// Runs the built program as a user would and checks its output byte for byte.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run_program.h"
#include "usage_text.h"

namespace {

Outcome run_shiftsum(const std::vector<std::string>& args, Output output = Output::kPipe)
{
  RunSettings settings;
  settings.output = output;
  return run_program(SHIFTSUM_PATH, args, settings);
}

std::string total(const std::string& text)
{
  return native_lines("\nTotal time: " + text + "\n\n");
}

TEST(Cli, PrintsTotalOrUsageAndAlwaysExitsZero)
{
  const std::string usage = native_lines(kUsage);
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"(9:23,17:35)", "-", "0:30", "+", "(10:11,18:17)", "-", "0:40"}, total("15:8")},
      {{"(9:23,17:35)-0:30+(10:11,18:17)-0:40"}, total("15:8")},
      {{}, usage},
      {{""}, usage},
      {{"", "1:00"}, total("1:0")},
      {{"1:00", "", "+", "", "2:00", ""}, total("3:0")},
      {{"1:00", "+", "2:00"}, total("3:0")},
      {{"1:00 + 2:00"}, usage},
      {{"1:", "30"}, total("1:30")},
      {{"-1:00"}, total("-1:0")},
      {{"(19:00,27:00)"}, total("8:0")},
      {{"1:00+"}, usage},
      {{"-"}, usage},
      {{"--1:00"}, usage},
      {{"%s%n", "1:00"}, usage},
      {{"35791394:7", "+", "0:1"}, usage},
  };
  for (const auto& c : cases) {
    Outcome r = run_shiftsum(c.args);
    std::string shown = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(r.out, c.out) << shown;
    EXPECT_EQ(r.err, "") << shown;
    EXPECT_EQ(r.status, 0) << shown;
  }
}

// The words arrive as the platform splits them, wildcards and all: the program expands none
// (nor may the C runtime, as MinGW's can be linked to). Run where a file named 30 lies.
TEST(Cli, WildcardsReachTheProgramUnexpanded)
{
  namespace fs = std::filesystem;
  RunSettings settings;
  settings.folder = fs::current_path() / "wildcards";
  fs::create_directories(settings.folder);
  std::ofstream(settings.folder / "30").close();
  for (const char* word : {"3*", "3?"}) {
    Outcome r = run_program(SHIFTSUM_PATH, {"1:", word}, settings);
    EXPECT_EQ(r.out, native_lines(kUsage)) << word;
    EXPECT_EQ(r.status, 0) << word;
  }
  fs::remove_all(settings.folder);
}

// Output that cannot be written fails the run, with the cause in one line on standard error,
// whether it was a total or the usage text.
TEST(Cli, UnwritableOutputFailsTheRun)
{
  const std::string prefix = "shiftsum: write error: ";
  const std::vector<std::string> expressions[] = {{"1:00"}, {"1:00+"}};
  for (const Unwritable& c : unwritable_outputs()) {
    for (const auto& args : expressions) {
      Outcome r = run_shiftsum(args, c.output);
      expect_write_error(r.err, prefix, c.cause, args[0]);
      EXPECT_EQ(r.status, 1) << args[0];
    }
  }
}

// As long an expression as the platform's command line holds, over arguments of at most
// 120,000 bytes: about 390,000 terms on Linux, 7,500 on Windows.
TEST(Cli, LongExpressionOverManyArguments)
{
  const std::size_t terms = longest_arguments() / 4;
  const struct {
    const char* operators;  // used in turn between the terms
    int minutes;
  } cases[] = {{"+", static_cast<int>(terms)}, {"+-", static_cast<int>(terms % 2)}};
  for (const auto& c : cases) {
    std::vector<std::string> args(1, "0:1");
    for (std::size_t i = 1; i < terms; ++i) {
      if (args.back().size() >= 120000)
        args.emplace_back();
      args.back() += c.operators[i % std::strlen(c.operators)];
      args.back() += "0:1";
    }
    Outcome r = run_shiftsum(args);
    std::string expected = std::to_string(c.minutes / 60) + ":" + std::to_string(c.minutes % 60);
    EXPECT_EQ(r.out, total(expected)) << c.operators << ", " << terms << " terms";
    EXPECT_EQ(r.status, 0);
  }
}

}  // namespace
