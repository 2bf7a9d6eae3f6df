#include "tests/support/kill_loop.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace kelvo::test {

// The child says when its first round is done; the kill then falls anywhere in the next two
// rounds (timed by the first), so that every moment of a round is hit whatever the machine's speed.
void killWhileRepeating(int runs, const std::function<void()>& repeat, const std::function<void(int)>& check) {
  std::mt19937 random(20261209);
  for (int run = 0; run < runs; ++run) {
    int ready[2];
    if (pipe(ready) != 0) std::abort();
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) std::abort();
    if (child == 0) {
      close(ready[0]);
      repeat();
      if (write(ready[1], "r", 1) != 1) _exit(1);
      for (;;) repeat();
    }
    close(ready[1]);
    char c = 0;
    const bool started = read(ready[0], &c, 1) == 1;
    close(ready[0]);
    const auto round = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    if (started) usleep(std::uniform_int_distribution<useconds_t>(0, static_cast<useconds_t>(2 * round.count()))(random));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    check(run);
  }
}

}  // namespace kelvo::test
