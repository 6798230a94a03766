#include "shiftsheet/options.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// The options as "e d t960 h v f:a f:-": each, decimal, the target's minutes, help, version
// and the files, in that order; then by2 (the key), csv (the format), r15up (the rounding),
// te480 (the target for each line) and o (overnight).
std::string describe(const Options& options)
{
  std::string text;
  auto add = [&text](bool on, const std::string& word) {
    if (on)
      text += (text.empty() ? "" : " ") + word;
  };
  add(options.each, "e");
  add(options.decimal, "d");
  add(options.has_target, "t" + std::to_string(to_minutes(options.target)));
  add(options.help, "h");
  add(options.version, "v");
  for (const std::string& file : options.files)
    add(true, "f:" + file);
  add(options.by != Key::kNone, "by" + std::to_string(static_cast<int>(options.by)));
  add(options.format != Format::kText, options.format == Format::kCsv ? "csv" : "json");
  const char* ways[] = {"", "up", "down"};
  add(options.round > 0,
      "r" + std::to_string(options.round) + ways[static_cast<int>(options.rounding)]);
  add(options.has_target_each, "te" + std::to_string(to_minutes(options.target_each)));
  add(options.overnight, "o");
  return text;
}

TEST(Options, ReadsTheCommandLine)
{
  const struct {
    std::vector<const char*> words;
    const char* options;  // as describe() gives them, or "" where they do not read
    const char* complaint;
  } cases[] = {
      {{}, "", ""},
      {{"-e"}, "e", ""},
      {{"--each"}, "e", ""},
      {{"-d"}, "d", ""},
      {{"--decimal"}, "d", ""},
      {{"-de"}, "e d", ""},
      {{"-t", "16:00"}, "t960", ""},
      {{"-t16:00"}, "t960", ""},
      {{"--target", "16:00"}, "t960", ""},
      {{"--target=0:90"}, "t90", ""},
      {{"-edt", "16:00", "a"}, "e d t960 f:a", ""},
      {{"-et16:00"}, "e t960", ""},
      {{"a", "-e", "b", "--decimal"}, "e d f:a f:b", ""},
      {{"-", "", "a"}, "f:- f: f:a", ""},
      {{"-e", "--", "-d", "--", "-"}, "e f:-d f:-- f:-", ""},
      // --help and --version end the reading, whatever follows.
      {{"-h", "-x"}, "h", ""},
      {{"-ehx"}, "e h", ""},
      {{"a", "--help", "--bogus"}, "h f:a", ""},
      {{"--version", "-t"}, "v", ""},
      {{"-x"}, "", "unknown option '-x'"},
      {{"-ex"}, "", "unknown option '-x'"},
      {{"-e-d"}, "", "unknown option '-' in '-e-d'"},
      {{"-t", "99999999999:00"}, "", "'99999999999:00' for -t is more than 2147483647 minutes"},
      {{"--bogus"}, "", "unknown option '--bogus'"},
      {{"--bogus=1"}, "", "unknown option '--bogus'"},
      {{"--tar=1:00"}, "", "unknown option '--tar'"},
      {{"---each"}, "", "unknown option '---each'"},
      {{"-t", "9.30"}, "", "'9.30' for -t is not a clock; write hours:minutes, as 40:00"},
      {{"-t", "-1:00"}, "", "'-1:00' for -t is not a clock; write hours:minutes, as 40:00"},
      {{"-t", "9:x"}, "", "'9:x' for -t is not a clock; write hours:minutes, as 40:00"},
      {{"-tx"}, "", "'x' for -t is not a clock; write hours:minutes, as 40:00"},
      {{"--target=x"}, "", "'x' for --target is not a clock; write hours:minutes, as 40:00"},
      {{"--target="}, "", "'' for --target is not a clock; write hours:minutes, as 40:00"},
      {{"--target", "16"}, "", "'16' for --target is not a clock; write hours:minutes, as 40:00"},
      {{"-t"}, "", "-t needs a clock after it, as -t 40:00"},
      {{"-et"}, "", "-t needs a clock after it, as -t 40:00"},
      {{"--target"}, "", "--target needs a clock after it, as --target 40:00"},
      {{"--each=x"}, "", "option '--each' takes no value"},
      {{"--decimal="}, "", "option '--decimal' takes no value"},
      {{"--help=1"}, "", "option '--help' takes no value"},
      {{"--version=1"}, "", "option '--version' takes no value"},
      // The options of reports, and the combinations that make no sense.
      {{"--by", "tag", "--format=csv"}, "by2 csv", ""},
      {{"--by=file", "--format", "json", "--by", "week"}, "by4 json", ""},
      {{"-e", "--round", "15", "--target-each=8:00"}, "e r15 te480", ""},
      {{"--round=2147483647down", "--round", "15up", "--overnight"}, "r15up o", ""},
      {{"--format", "text", "--round=1"}, "r1", ""},
      {{"--by", "Day"}, "", "'Day' for --by is not one of: label tag day week month file"},
      {{"--by"}, "", "--by needs a value after it, as --by day"},
      {{"--format=xml"}, "", "'xml' for --format is not one of: text csv json"},
      {{"--round", "0"},
       "",
       "'0' for --round is not a whole number of minutes from 1 to "
       "2147483647; write 15, 15up or 15down"},
      {{"--round=2147483648"},
       "",
       "'2147483648' for --round is not a whole number of minutes "
       "from 1 to 2147483647; write 15, 15up or 15down"},
      {{"--round", "15 up"},
       "",
       "'15 up' for --round is not a whole number of minutes from 1 "
       "to 2147483647; write 15, 15up or 15down"},
      {{"--round", "-15"},
       "",
       "'-15' for --round is not a whole number of minutes from 1 to "
       "2147483647; write 15, 15up or 15down"},
      {{"--target-each", "8"},
       "",
       "'8' for --target-each is not a clock; write hours:minutes, "
       "as 40:00"},
      {{"--overnight=1"}, "", "option '--overnight' takes no value"},
      {{"-e", "--by", "day"},
       "",
       "--each and --by do not go together: --by prints a line for "
       "each group"},
      {{"--target-each", "8:00"},
       "",
       "--target-each needs --each or --by, which print the "
       "lines it is for"},
      {{"--target-each", "8:00", "--help"}, "h te480", ""},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv{"shiftsheet"};
    std::string text = "shiftsheet";
    for (const char* word : c.words) {
      argv.push_back(word);
      text += std::string(" '") + word + "'";
    }
    Options options;
    std::string complaint;
    bool ok = parse_options(static_cast<int>(argv.size()), argv.data(), options, complaint);
    EXPECT_EQ(ok, *c.complaint == '\0') << text;
    EXPECT_EQ(complaint, c.complaint) << text;
    if (ok) {
      EXPECT_EQ(describe(options), c.options) << text;
    }
  }
}

}  // namespace
