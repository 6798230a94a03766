// Runs a program with the given arguments many times and prints the median wall time of a
// whole run, spawn to exit, in microseconds. Standard output goes to /dev/null.
//
//   spawn_timer RUNS PROGRAM [ARG...]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char* argv[])
{
  if (argc < 3) {
    std::fprintf(stderr, "usage: spawn_timer RUNS PROGRAM [ARG...]\n");
    return 2;
  }
  int runs = std::atoi(argv[1]);
  if (runs < 1)
    runs = 1;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawn(&pid, argv[2], &actions, nullptr, argv + 2, environ) != 0) {
      std::perror(argv[2]);
      return 1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    auto end = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  std::sort(times.begin(), times.end());
  std::printf("%.0f\n", times[times.size() / 2]);
  return 0;
}
