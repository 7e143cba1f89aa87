// The worker team: every item of dynamically shared work done exactly once
// for any count, worker 0 on the caller's thread, the lowest failing
// worker's failure raised after all have stopped; and the usable cores.
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/TCores.h"
#include "platform/TWorkerTeam.h"
#include "support/ExpectThrowMsg.h"

namespace {
TEST(TWorkerTeam, EveryItemOnceForAnyCount) {
  for (unsigned count : {0u, 1u, 2u, 3u, 7u}) {
    std::vector<std::atomic<int>> done(1000);
    std::atomic<std::size_t> next(0);
    std::atomic<unsigned> workers(0);
    TWorkerTeam::Run(count, [&](unsigned) {
      ++workers;
      for (std::size_t item = next++; item < done.size(); item = next++)
        ++done[item];
    });
    EXPECT_EQ(workers.load(), count == 0 ? 1u : count);
    for (const std::atomic<int>& item : done)
      ASSERT_EQ(item.load(), 1) << count;
  }
}

TEST(TWorkerTeam, WorkerZeroIsTheCallersThread) {
  const std::thread::id caller = std::this_thread::get_id();
  std::vector<std::thread::id> seen(3);
  TWorkerTeam::Run(3, [&](unsigned w) { seen[w] = std::this_thread::get_id(); });
  EXPECT_EQ(seen[0], caller);
  EXPECT_NE(seen[1], caller);
  EXPECT_NE(seen[2], seen[1]);
}

TEST(TWorkerTeam, TheLowestFailureIsRaisedAfterTheOthersStop) {
  std::atomic<bool> stopped(false);
  std::atomic<int> finished(0);
  const auto work = [&](unsigned w) {
    if (w == 3 || w == 1)
      throw std::string("worker ") + std::to_string(w);
    while (!stopped)
      std::this_thread::yield();
    ++finished;
  };
  EXPECT_THROW_MSG(TWorkerTeam::Run(4, work, [&] { stopped = true; }), "worker 1");
  EXPECT_EQ(finished.load(), 2);
  EXPECT_THROW_MSG(TWorkerTeam::Run(1, [](unsigned) { throw "alone"; }), "alone");
}

TEST(TCores, UsableCoresFollowTheAffinityMask) {
  const unsigned usable = TCores::Usable();
  EXPECT_GE(usable, 1u);
  const unsigned machine = std::thread::hardware_concurrency();
  if (machine > 0) {
    EXPECT_LE(usable, machine);
  }
  // In a child pinned to one core, one core is usable.
  const pid_t child = fork();
  if (child == 0) {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu() < 0 ? 0 : sched_getcpu(), &one);
    const bool pinned = sched_setaffinity(0, sizeof one, &one) == 0;
    _exit(pinned && TCores::Usable() == 1 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
} // namespace
