#ifndef SHIFTSUM_TESTS_RUN_PROGRAM_H_
#define SHIFTSUM_TESTS_RUN_PROGRAM_H_

// Starts a built program as a user would, and collects what it writes and its exit status.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

// Where the program's standard output goes.
enum class Output { kPipe, kPipeWithoutReader, kFullDevice, kClosed };

// What a run is given besides its arguments.
struct RunSettings {
  Output output = Output::kPipe;
  std::string input;             // all of standard input, through a pipe
  std::filesystem::path folder;  // the working folder; empty for the test's own
};

struct Outcome {
  std::string out;
  std::string err;
  int status = -1;
};

// Runs program with args, through the emulator that SHIFTSUM_EMULATOR names on a POSIX
// system where that is set. Windows starts no program with its standard output closed, and
// has no full device: there, those outputs are a pipe.
Outcome run_program(const std::string& program, const std::vector<std::string>& args,
                    const RunSettings& settings = {});

// A standard output that cannot be written, and the C runtime's text for its error: null
// where that varies.
struct Unwritable {
  Output output;
  const char* cause;
};

// The unwritable outputs of this platform. A pipe without a reader fails a write everywhere;
// POSIX systems can also close the output, and some have a full device.
std::vector<Unwritable> unwritable_outputs();

// Checks that standard error holds one line: prefix, then the cause where it is known.
void expect_write_error(const std::string& err, const std::string& prefix, const char* cause,
                        const std::string& shown);

// text as a program writes it to a text stream: on Windows, each newline goes out as CR LF.
std::string native_lines(const std::string& text);

// How many bytes of arguments a program can be started with here, leaving room for an
// emulator's or valgrind's own words.
std::size_t longest_arguments();

#endif  // SHIFTSUM_TESTS_RUN_PROGRAM_H_
