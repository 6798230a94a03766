#include "shiftsheet/options.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/term_reader.h"
#include "shiftsheet/utf8.h"

namespace {

// Reads a clock, given as the value of the option named option, into clock; has is set.
bool read_clock(std::string_view option, std::string_view value, bool& has, ClockTime& clock,
                std::string& complaint)
{
  has = true;
  if (parse_clock(value, clock))
    return true;
  std::size_t colon = value.find(':');
  bool shaped = colon != std::string_view::npos && is_all_digits(value.substr(0, colon)) &&
                is_all_digits(value.substr(colon + 1));
  complaint = quote(value) + " for " + std::string(option) +
              (shaped ? " is more than 2147483647 minutes"
                      : " is not a clock; write hours:minutes, as 40:00");
  return false;
}

// Reads the value of --round: a whole number of minutes from 1, then up, down or nothing.
bool read_round(std::string_view value, Options& options, std::string& complaint)
{
  std::string_view way =
      value.substr(std::min(value.find_first_not_of("0123456789"), value.size()));
  options.rounding = way == "up"     ? Rounding::kUp
                     : way == "down" ? Rounding::kDown
                                     : Rounding::kNearest;
  // Read as the minutes of a clock, which must fit 32 bits.
  ClockTime minutes;
  bool read = parse_clock(":" + std::string(value.substr(0, value.size() - way.size())), minutes) &&
              (way.empty() || way == "up" || way == "down");
  options.round = read ? static_cast<std::int32_t>(to_minutes(minutes)) : 0;
  if (options.round >= 1)
    return true;
  complaint = quote(value) + " for --round is not a whole number of minutes from 1 to " +
              "2147483647; write 15, 15up or 15down";
  return false;
}

// Reads the value of the long option name.
bool read_value(std::string_view name, std::string_view value, Options& options,
                std::string& complaint)
{
  if (name == "--target")
    return read_clock(name, value, options.has_target, options.target, complaint);
  if (name == "--target-each")
    return read_clock(name, value, options.has_target_each, options.target_each, complaint);
  if (name == "--round")
    return read_round(value, options, complaint);
  // The keys and the formats, each in the order of its enumerator (after kNone for keys).
  std::string_view names = name == "--by" ? "label tag day week month file" : "text csv json";
  for (std::size_t start = 0, at = 0; start < names.size(); ++at) {
    std::size_t end = std::min(names.find(' ', start), names.size());
    bool found = names.substr(start, end - start) == value;
    start = end + 1;
    if (found && name == "--by")
      options.by = static_cast<Key>(at + 1);
    else if (found)
      options.format = static_cast<Format>(at);
    if (found)
      return true;
  }
  complaint = quote(value) + " for " + std::string(name) + " is not one of: " + std::string(names);
  return false;
}

// The long options that take a value, with an example of one.
constexpr std::array<std::string_view, 5> kValued = {"--target 40:00", "--target-each 8:00",
                                                     "--by day", "--format csv", "--round 15"};

// Reads one long option, with its value where it takes one; next moves past a value that is
// the word after it.
bool read_long(std::string_view word, int argc, const char* const* argv, int& next,
               Options& options, std::string& complaint)
{
  std::string_view name = word.substr(0, word.find('='));
  bool has_value = name.size() < word.size();
  for (std::string_view example : kValued) {
    if (name != example.substr(0, example.find(' ')))
      continue;
    if (has_value)
      return read_value(name, word.substr(name.size() + 1), options, complaint);
    if (next >= argc) {
      complaint = std::string(name) + " needs " +
                  (example.find(':') != std::string_view::npos ? "a clock" : "a value") +
                  " after it, as " + std::string(example);
      return false;
    }
    return read_value(name, argv[next++], options, complaint);
  }
  bool* flag = nullptr;
  if (name == "--each")
    flag = &options.each;
  else if (name == "--decimal")
    flag = &options.decimal;
  else if (name == "--overnight")
    flag = &options.overnight;
  else if (name == "--help")
    flag = &options.help;
  else if (name == "--version")
    flag = &options.version;
  if (flag == nullptr) {
    complaint = "unknown option " + quote(name);
    return false;
  }
  if (has_value) {
    complaint = "option " + quote(name) + " takes no value";
    return false;
  }
  *flag = true;
  return true;
}

// Reads a word of short options, such as -ed or -t40:00; next moves past a value that is the
// word after it.
bool read_short(std::string_view word, int argc, const char* const* argv, int& next,
                Options& options, std::string& complaint)
{
  for (std::size_t i = 1; i < word.size(); ++i) {
    switch (word[i]) {
      case 'e':
        options.each = true;
        break;
      case 'd':
        options.decimal = true;
        break;
      case 'h':
        options.help = true;
        return true;
      case 't':
        if (i + 1 < word.size())
          return read_clock("-t", word.substr(i + 1), options.has_target, options.target,
                            complaint);
        if (next >= argc) {
          complaint = "-t needs a clock after it, as -t 40:00";
          return false;
        }
        return read_clock("-t", argv[next++], options.has_target, options.target, complaint);
      default:
        complaint = "unknown option " + quote(std::string("-") + word[i]);
        // "-e-d" holds a '-', which names no option of its own.
        if (word[i] == '-')
          complaint = "unknown option '-' in " + quote(word);
        return false;
    }
  }
  return true;
}

}  // namespace

bool parse_options(int argc, const char* const* argv, Options& options, std::string& complaint)
{
  bool options_end = false;
  int next = 1;
  while (next < argc && !options.help && !options.version) {
    std::string_view word = argv[next++];
    if (options_end || word == "-" || word.empty() || word.front() != '-') {
      options.files.emplace_back(word);
      continue;
    }
    if (word == "--") {
      options_end = true;
      continue;
    }
    bool read = word.substr(0, 2) == "--" ? read_long(word, argc, argv, next, options, complaint)
                                          : read_short(word, argc, argv, next, options, complaint);
    if (!read)
      return false;
  }
  // Options that make no sense together.
  if (options.help || options.version)
    return true;
  if (options.each && options.by != Key::kNone)
    complaint = "--each and --by do not go together: --by prints a line for each group";
  else if (options.has_target_each && !options.each && options.by == Key::kNone)
    complaint = "--target-each needs --each or --by, which print the lines it is for";
  return complaint.empty();
}
