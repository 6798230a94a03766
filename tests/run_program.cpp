#include "run_program.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sstream>
#ifdef _WIN32
#include <thread>
#endif

#include <gtest/gtest.h>

#ifndef _WIN32
// POSIX leaves the declaration to the program; only some C libraries make it by default.
extern "C" char** environ;
#endif

namespace {

#ifdef _WIN32

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

// Writes all of input, then closes the pipe, so that the program reads to its end. A program
// that stops reading early breaks the pipe, which ends the writing.
void write_all(HANDLE pipe, const std::string& input)
{
  std::size_t done = 0;
  DWORD n = 0;
  while (done < input.size()) {
    DWORD size = static_cast<DWORD>(std::min<std::size_t>(input.size() - done, 65536));
    if (!WriteFile(pipe, input.data() + done, size, &n, nullptr))
      break;
    done += n;
  }
  CloseHandle(pipe);
}

// A pipe of which the program inherits one end, the reading one where program_reads: the
// other stays here alone. Were the writing end of its input inherited, that input would never
// end.
void open_pipe(HANDLE& read, HANDLE& write, bool program_reads)
{
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  EXPECT_TRUE(CreatePipe(&read, &write, &inherit, 0));
  SetHandleInformation(program_reads ? write : read, HANDLE_FLAG_INHERIT, 0);
}

#else

// Reads what fd holds now onto text; closes it, and sets it to -1, at its end.
void read_some(int& fd, std::string& text)
{
  char buffer[4096];
  ssize_t n = read(fd, buffer, sizeof buffer);
  if (n > 0) {
    text.append(buffer, static_cast<std::size_t>(n));
    return;
  }
  if (n < 0 && errno == EINTR)
    return;
  close(fd);
  fd = -1;
}

// Writes what is left of input to fd, as much as it takes now; closes it, and sets it to -1,
// once all is written, so that the program reads to its end, or once the program has stopped
// reading (SIGPIPE is ignored meanwhile).
void write_some(int& fd, const std::string& input, std::size_t& written)
{
  ssize_t n = write(fd, input.data() + written, input.size() - written);
  if (n > 0)
    written += static_cast<std::size_t>(n);
  bool failed = n < 0 && errno != EAGAIN && errno != EINTR;
  if (!failed && written < input.size())
    return;
  close(fd);
  fd = -1;
}

// Feeds the program its input and reads its two outputs, in one thread with poll, so that no
// pipe waits on another that is full: qemu-i386 was seen to hang with a thread for each.
void exchange(int in, int out, int err, const std::string& input, Outcome& result)
{
  std::size_t written = 0;
  fcntl(in, F_SETFL, O_NONBLOCK);
  if (input.empty()) {
    close(in);
    in = -1;
  }
  while (in != -1 || out != -1 || err != -1) {
    // poll passes over a negative descriptor.
    pollfd fds[3] = {{in, POLLOUT, 0}, {out, POLLIN, 0}, {err, POLLIN, 0}};
    if (poll(fds, 3, -1) < 0) {
      if (errno == EINTR)
        continue;
      ADD_FAILURE() << "poll: " << std::strerror(errno);
      return;
    }
    if (fds[0].revents != 0)
      write_some(in, input, written);
    if (fds[1].revents != 0)
      read_some(out, result.out);
    if (fds[2].revents != 0)
      read_some(err, result.err);
  }
}

// A pipe whose ends the program does not inherit: it gets only the copies made for it as its
// standard streams. Were the writing end of its input left open in it, that input would
// never end.
void open_pipe(int fds[2])
{
  EXPECT_EQ(pipe(fds), 0);
  fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  fcntl(fds[1], F_SETFD, FD_CLOEXEC);
}

// The emulator's words, then the program and its arguments. A program built for another
// machine is started through its emulator: no binfmt handler would run it.
std::vector<std::string> command_words(const std::string& program,
                                       const std::vector<std::string>& args)
{
  std::vector<std::string> words;
  std::istringstream emulator(SHIFTSUM_EMULATOR);
  std::string word;
  while (emulator >> word)
    words.push_back(word);
  words.push_back(program);
  words.insert(words.end(), args.begin(), args.end());
  return words;
}

// Starts argv with its standard streams in, out and err, in folder.
pid_t spawn(std::vector<char*>& argv, int in, int out, int err, const RunSettings& settings)
{
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in, 0);
  if (settings.output == Output::kPipe || settings.output == Output::kPipeWithoutReader)
    posix_spawn_file_actions_adddup2(&actions, out, 1);
  else if (settings.output == Output::kFullDevice)
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
  else
    posix_spawn_file_actions_addclose(&actions, 1);
  posix_spawn_file_actions_adddup2(&actions, err, 2);
  // posix_spawn has no portable way to set the folder, so the test's own changes meanwhile.
  const std::filesystem::path start = std::filesystem::current_path();
  if (!settings.folder.empty())
    std::filesystem::current_path(settings.folder);
  pid_t pid = -1;
  // The environment passes through, so that the program can run under valgrind.
  EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
  std::filesystem::current_path(start);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

#endif

}  // namespace

#ifdef _WIN32

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

Outcome run_program(const std::string& program, const std::vector<std::string>& args,
                    const RunSettings& settings)
{
  std::string command_line = quote_argument(program);
  for (const std::string& arg : args)
    command_line += " " + quote_argument(arg);

  HANDLE in_read;
  HANDLE in_write;
  HANDLE out_read;
  HANDLE out_write;
  HANDLE err_read;
  HANDLE err_write;
  open_pipe(in_read, in_write, true);
  open_pipe(out_read, out_write, false);
  open_pipe(err_read, err_write, false);
  if (settings.output == Output::kPipeWithoutReader) {
    CloseHandle(out_read);
    out_read = nullptr;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in_read;
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  std::string folder = settings.folder.string();
  PROCESS_INFORMATION process{};
  EXPECT_TRUE(CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             folder.empty() ? nullptr : folder.c_str(), &startup, &process));
  CloseHandle(in_read);
  CloseHandle(out_write);
  CloseHandle(err_write);

  // Each stream has its own thread, so that none waits on another's full pipe.
  Outcome result;
  std::thread writer(write_all, in_write, std::cref(settings.input));
  std::thread err_reader([&result, err_read] { result.err = read_all(err_read); });
  if (out_read != nullptr)
    result.out = read_all(out_read);
  err_reader.join();
  writer.join();
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  result.status = static_cast<int>(status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

std::vector<Unwritable> unwritable_outputs()
{
  // Wine's C runtime gives the closed pipe's error as EINVAL; Windows' own may say EPIPE.
  return {{Output::kPipeWithoutReader, nullptr}};
}

// The whole command line, program name included, is capped at 32,767 characters.
std::size_t longest_arguments()
{
  return 30000;
}

#else

std::string native_lines(const std::string& text)
{
  return text;
}

Outcome run_program(const std::string& program, const std::vector<std::string>& args,
                    const RunSettings& settings)
{
  std::vector<std::string> words = command_words(program, args);
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);

  int in[2];
  int out[2];
  int err[2];
  open_pipe(in);
  open_pipe(out);
  open_pipe(err);
  if (settings.output == Output::kPipeWithoutReader) {
    close(out[0]);
    out[0] = -1;
  }
  // A write to a pipe without a reader fails with EPIPE where SIGPIPE is ignored, as the
  // program inherits it here; otherwise the signal would end the program first, or this test
  // when the program leaves its input unread.
  auto sigpipe = std::signal(SIGPIPE, SIG_IGN);
  pid_t pid = spawn(argv, in[0], out[1], err[1], settings);
  close(in[0]);
  close(out[1]);
  close(err[1]);

  Outcome result;
  exchange(in[1], out[0], err[0], settings.input, result);
  std::signal(SIGPIPE, sigpipe);
  int status = 0;
  EXPECT_EQ(waitpid(pid, &status, 0), pid);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::vector<Unwritable> unwritable_outputs()
{
  std::vector<Unwritable> outputs = {{Output::kPipeWithoutReader, "Broken pipe"},
                                     {Output::kClosed, "Bad file descriptor"}};
  if (std::filesystem::exists("/dev/full"))
    outputs.push_back({Output::kFullDevice, "No space left on device"});
  return outputs;
}

// Three quarters of what the system lets the arguments and the environment take together,
// less the environment: the rest is room for an emulator's or valgrind's own words. Linux
// lets them take a quarter of the stack limit, 2 MiB by default, which gives about 1.5 MB;
// past 1.6 MB the run would only take longer.
std::size_t longest_arguments()
{
  std::size_t limit = static_cast<std::size_t>(std::max(sysconf(_SC_ARG_MAX), 0L));
  for (char** variable = environ; *variable != nullptr; ++variable)
    limit -= std::min(limit, std::strlen(*variable) + 1 + sizeof *variable);
  return std::min<std::size_t>(limit / 4 * 3, 1600000);
}

#endif

void expect_write_error(const std::string& err, const std::string& prefix, const char* cause,
                        const std::string& shown)
{
  if (cause != nullptr) {
    EXPECT_EQ(err, native_lines(prefix + cause + "\n")) << shown;
    return;
  }
  EXPECT_EQ(err.rfind(prefix, 0), 0U) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
}
