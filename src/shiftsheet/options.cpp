#include "shiftsheet/options.h"

#include <string_view>

#include "core/term_reader.h"
#include "shiftsheet/utf8.h"

namespace {

// Reads the target, given as the value of the option named option.
bool read_target(std::string_view option, std::string_view value, Options& options,
                 std::string& complaint)
{
  options.has_target = true;
  if (parse_clock(value, options.target))
    return true;
  std::size_t colon = value.find(':');
  bool shaped = colon != std::string_view::npos && is_all_digits(value.substr(0, colon)) &&
                is_all_digits(value.substr(colon + 1));
  complaint = quote(value) + " for " + std::string(option) +
              (shaped ? " is more than 2147483647 minutes"
                      : " is not a clock; write hours:minutes, as 40:00");
  return false;
}

// Reads one long option, with its value where it takes one; next moves past a value that is
// the word after it.
bool read_long(std::string_view word, int argc, const char* const* argv, int& next,
               Options& options, std::string& complaint)
{
  std::string_view name = word.substr(0, word.find('='));
  bool has_value = name.size() < word.size();
  if (name == "--target") {
    if (has_value)
      return read_target(name, word.substr(name.size() + 1), options, complaint);
    if (next >= argc) {
      complaint = "--target needs a clock after it, as --target 40:00";
      return false;
    }
    return read_target(name, argv[next++], options, complaint);
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
          return read_target("-t", word.substr(i + 1), options, complaint);
        if (next >= argc) {
          complaint = "-t needs a clock after it, as -t 40:00";
          return false;
        }
        return read_target("-t", argv[next++], options, complaint);
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
  return true;
}
