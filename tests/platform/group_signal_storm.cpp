// A parent under a storm of SIGINT sent to its own process group, as a
// terminal's Ctrl+C reaches a whole job: it starts short children one after
// another (`runChild`) while another thread signals the group, and prints how
// many children that storm ended. The parent blocks SIGINT, as tessavo-check
// does, so it lives through the storm.
//
//   group_signal_storm PROGRAM RUNS
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/child_process.h"

int main(int argc, char** argv) {
  if (argc < 3 || ::setpgid(0, 0) != 0) return 2;
  sigset_t interrupt;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  ::pthread_sigmask(SIG_BLOCK, &interrupt, nullptr);

  std::atomic<bool> done{false};
  std::thread storm([&done] {
    while (!done.load()) {
      ::kill(0, SIGINT);
      std::this_thread::yield();
    }
  });
  platform::ChildLaunch launch;
  launch.program = argv[1];
  launch.arguments = {argv[1]};
  int ended = 0;
  const int runs = std::atoi(argv[2]);
  for (int run = 0; run < runs; ++run) {
    const platform::ChildOutcome outcome = platform::runChild(launch, nullptr, 0);
    if (outcome.end != platform::ChildOutcome::End::Exited) ++ended;
  }
  done = true;
  storm.join();
  std::printf("%d\n", ended);
  return 0;
}
