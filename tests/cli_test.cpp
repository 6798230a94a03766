// Runs the built program as a user would and checks its output byte for byte.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const char kUsage[] =
    "\nUsage:\n\n"
    "\tIf you worked from 9:23 to 17:35 and had a 30 minute lunchbreak\n"
    "\tthe first day, then worked from 10:11 to 18:17 the second day\n"
    "\twith a 40 minutes break then you write:\n\n"
    "\tshiftsum (9:23,17:35) - 0:30 + (10:11,18:17) - 0:40\n\n"
    "\tFor work overnight from e.g. 19:00 to 3:00 you have to use (19:00,27:00)\n\n";

struct Outcome {
  std::string out;
  std::string err;
  int status = -1;
};

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

// Runs the program with args after its name, or with no argv[0] at all (argc 0).
Outcome run_shiftsum(const std::vector<std::string>& args, bool with_name = true)
{
  std::vector<char*> argv;
  std::string name = SHIFTSUM_PATH;
  if (with_name)
    argv.push_back(name.data());
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  int out[2];
  int err[2];
  EXPECT_EQ(pipe(out), 0);
  EXPECT_EQ(pipe(err), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  pid_t pid;
  // The environment passes through, so that the program can run under valgrind.
  EXPECT_EQ(posix_spawn(&pid, SHIFTSUM_PATH, &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(err[1]);

  // Its output is small, so reading one pipe to the end before the other cannot block.
  Outcome result;
  result.out = read_all(out[0]);
  result.err = read_all(err[0]);
  int status = 0;
  EXPECT_EQ(waitpid(pid, &status, 0), pid);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string total(const std::string& text)
{
  return "\nTotal time: " + text + "\n\n";
}

TEST(Cli, PrintsTotalOrUsageAndAlwaysExitsZero)
{
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"(9:23,17:35)", "-", "0:30", "+", "(10:11,18:17)", "-", "0:40"}, total("15:8")},
      {{"(9:23,17:35)-0:30+(10:11,18:17)-0:40"}, total("15:8")},
      {{}, kUsage},
      {{""}, kUsage},
      {{"", "1:00"}, total("1:0")},
      {{"1:00", "", "+", "", "2:00", ""}, total("3:0")},
      {{"1:00", "+", "2:00"}, total("3:0")},
      {{"1:00 + 2:00"}, kUsage},
      {{"1:", "30"}, total("1:30")},
      {{"-1:00"}, total("-1:0")},
      {{"(19:00,27:00)"}, total("8:0")},
      {{"1:00+"}, kUsage},
      {{"-"}, kUsage},
      {{"--1:00"}, kUsage},
      {{"%s%n", "1:00"}, kUsage},
      {{"35791394:7", "+", "0:1"}, kUsage},
  };
  for (const auto& c : cases) {
    Outcome r = run_shiftsum(c.args);
    std::string shown = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(r.out, c.out) << shown;
    EXPECT_EQ(r.err, "") << shown;
    EXPECT_EQ(r.status, 0) << shown;
  }
}

TEST(Cli, NoArgumentVectorAtAll)
{
  Outcome r = run_shiftsum({}, false);
  EXPECT_EQ(r.out, kUsage);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
}

// Near the platform's argument-size limit: 400,000 terms over many arguments.
TEST(Cli, LongExpressionOverManyArguments)
{
  const struct {
    const char* operators;  // used in turn between the terms
    const char* total;
  } cases[] = {{"+", "6666:40"}, {"+-", "0:0"}};
  for (const auto& c : cases) {
    std::vector<std::string> args(1, "0:1");
    for (std::size_t i = 1; i < 400000; ++i) {
      if (args.back().size() >= 120000)
        args.emplace_back();
      args.back() += c.operators[i % std::strlen(c.operators)];
      args.back() += "0:1";
    }
    Outcome r = run_shiftsum(args);
    EXPECT_EQ(r.out, total(c.total)) << c.operators;
    EXPECT_EQ(r.status, 0);
  }
}

}  // namespace
