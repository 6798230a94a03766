// Runs the built program as a user would and checks its output byte for byte.
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "usage_text.h"

#ifndef _WIN32
// POSIX leaves the declaration to the program; only some C libraries make it by default.
extern "C" char** environ;
#endif

namespace {

// Where the program's standard output goes.
enum class Output { kPipe, kPipeWithoutReader, kFullDevice, kClosed };

struct Outcome {
  std::string out;
  std::string err;
  int status = -1;
};

#ifdef _WIN32

// A console program's standard output is a text stream: each newline goes out as CR LF.
std::string native_lines(const std::string& text)
{
  std::string lines;
  for (char c : text) {
    if (c == '\n')
      lines += '\r';
    lines += c;
  }
  return lines;
}

// Quotes one argument so that the C runtime's parser gives it back unchanged.
std::string quote_argument(const std::string& arg)
{
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos)
    return arg;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes double only before a quote, which is itself escaped.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::string read_all(HANDLE pipe)
{
  std::string text;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0)
    text.append(buffer, n);
  CloseHandle(pipe);
  return text;
}

// Windows starts no program with its standard output closed, and has no full device.
Outcome run_shiftsum(const std::vector<std::string>& args, Output output = Output::kPipe)
{
  std::string command_line = quote_argument(SHIFTSUM_PATH);
  for (const std::string& arg : args)
    command_line += " " + quote_argument(arg);

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out_read;
  HANDLE out_write;
  HANDLE err_read;
  HANDLE err_write;
  EXPECT_TRUE(CreatePipe(&out_read, &out_write, &inherit, 0));
  EXPECT_TRUE(CreatePipe(&err_read, &err_write, &inherit, 0));
  SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);
  if (output == Output::kPipeWithoutReader) {
    CloseHandle(out_read);
    out_read = nullptr;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  PROCESS_INFORMATION process{};
  EXPECT_TRUE(CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             nullptr, &startup, &process));
  CloseHandle(out_write);
  CloseHandle(err_write);

  // Its output is small, so reading one pipe to the end before the other cannot block.
  Outcome result;
  if (out_read != nullptr)
    result.out = read_all(out_read);
  result.err = read_all(err_read);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  result.status = static_cast<int>(status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

// The whole command line, program name included, is capped at 32,767 characters.
std::size_t longest_expression()
{
  return 30000;
}

#else

std::string native_lines(const std::string& text)
{
  return text;
}

std::string read_all(int fd)
{
  std::string text;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(n));
  close(fd);
  return text;
}

// The emulator's words, then the program and its arguments. A program built for another
// machine is started through its emulator: no binfmt handler would run it.
std::vector<std::string> command_words(const std::vector<std::string>& args)
{
  std::vector<std::string> words;
  std::istringstream emulator(SHIFTSUM_EMULATOR);
  std::string word;
  while (emulator >> word)
    words.push_back(word);
  words.emplace_back(SHIFTSUM_PATH);
  words.insert(words.end(), args.begin(), args.end());
  return words;
}

Outcome run_shiftsum(const std::vector<std::string>& args, Output output = Output::kPipe)
{
  std::vector<std::string> words = command_words(args);
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);

  int out[2];
  int err[2];
  EXPECT_EQ(pipe(out), 0);
  EXPECT_EQ(pipe(err), 0);
  if (output == Output::kPipeWithoutReader) {
    close(out[0]);
    out[0] = -1;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output == Output::kPipe || output == Output::kPipeWithoutReader)
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  else if (output == Output::kFullDevice)
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
  else
    posix_spawn_file_actions_addclose(&actions, 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  pid_t pid;
  // A write to a pipe without a reader fails with EPIPE where SIGPIPE is ignored, as the
  // program inherits it here; otherwise the signal would end the program first.
  auto sigpipe = std::signal(SIGPIPE, SIG_IGN);
  // The environment passes through, so that the program can run under valgrind.
  EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
  std::signal(SIGPIPE, sigpipe);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(err[1]);

  // Its output is small, so reading one pipe to the end before the other cannot block.
  Outcome result;
  if (out[0] != -1)
    result.out = read_all(out[0]);
  result.err = read_all(err[0]);
  int status = 0;
  EXPECT_EQ(waitpid(pid, &status, 0), pid);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// Three quarters of what the system lets the arguments and the environment take together,
// less the environment: the rest is room for an emulator's or valgrind's own words. Linux
// lets them take a quarter of the stack limit, 2 MiB by default, which gives about 1.5 MB;
// past 1.6 MB the run would only take longer.
std::size_t longest_expression()
{
  std::size_t limit = static_cast<std::size_t>(std::max(sysconf(_SC_ARG_MAX), 0L));
  for (char** variable = environ; *variable != nullptr; ++variable)
    limit -= std::min(limit, std::strlen(*variable) + 1 + sizeof *variable);
  return std::min<std::size_t>(limit / 4 * 3, 1600000);
}

#endif

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
  const fs::path start = fs::current_path();
  const fs::path folder = start / "wildcards";
  fs::create_directories(folder);
  std::ofstream(folder / "30").close();
  fs::current_path(folder);
  for (const char* word : {"3*", "3?"}) {
    Outcome r = run_shiftsum({"1:", word});
    EXPECT_EQ(r.out, native_lines(kUsage)) << word;
    EXPECT_EQ(r.status, 0) << word;
  }
  fs::current_path(start);
  fs::remove_all(folder);
}

// Output that cannot be written fails the run, with the cause in one line on standard error,
// whether it was a total or the usage text. A pipe without a reader fails it everywhere; POSIX
// systems can also close the output, and some have a full device.
TEST(Cli, UnwritableOutputFailsTheRun)
{
  struct Case {
    Output output;
    const char* cause;  // null where the C runtime's text for it varies
  };
#ifdef _WIN32
  // Wine's C runtime gives the closed pipe's error as EINVAL; Windows' own may say EPIPE.
  std::vector<Case> cases = {{Output::kPipeWithoutReader, nullptr}};
#else
  std::vector<Case> cases = {{Output::kPipeWithoutReader, "Broken pipe"},
                             {Output::kClosed, "Bad file descriptor"}};
  if (std::filesystem::exists("/dev/full"))
    cases.push_back({Output::kFullDevice, "No space left on device"});
#endif
  const std::string prefix = "shiftsum: write error: ";
  const std::vector<std::string> expressions[] = {{"1:00"}, {"1:00+"}};
  for (const Case& c : cases) {
    for (const auto& args : expressions) {
      Outcome r = run_shiftsum(args, c.output);
      if (c.cause != nullptr) {
        EXPECT_EQ(r.err, native_lines(prefix + c.cause + "\n")) << args[0];
      } else {
        EXPECT_EQ(r.err.rfind(prefix, 0), 0U) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
      }
      EXPECT_EQ(r.status, 1) << args[0];
    }
  }
}

// As long an expression as the platform's command line holds, over arguments of at most
// 120,000 bytes: about 390,000 terms on Linux, 7,500 on Windows.
TEST(Cli, LongExpressionOverManyArguments)
{
  const std::size_t terms = longest_expression() / 4;
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
