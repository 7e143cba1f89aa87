#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>

#include <gtest/gtest.h>

#include "platform/TMemoryBudget.h"

namespace {
// Runs check in a child process whose data-segment limit is `bytes` (the
// parent's limits stay as they are); true when the check held there.
template <typename Check> bool HoldsUnderDataLimit(rlim_t bytes, Check check) {
  const pid_t child = fork();
  if (child == 0) {
    rlimit limit{};
    getrlimit(RLIMIT_DATA, &limit);
    limit.rlim_cur = bytes;
    const bool ok = setrlimit(RLIMIT_DATA, &limit) == 0 && check();
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

TEST(TMemoryBudget, PhysicalMemoryIsAWholeNumberOfBytes) {
  const double bytes = TMemoryBudget::PhysicalBytes();
  ASSERT_TRUE(std::isfinite(bytes));
  EXPECT_GT(bytes, 0.0);
  EXPECT_EQ(bytes, std::floor(bytes));
  EXPECT_TRUE(TMemoryBudget::Holds(0.0));
  EXPECT_FALSE(TMemoryBudget::Holds(2.0 * bytes));
}

TEST(TMemoryBudget, TheProcessLimitsBoundTheBudget) {
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_DATA, &limit), 0);
  const rlim_t kLimit = 3u << 30; // 3 GiB, under any hard limit that is set
  if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < kLimit)
    GTEST_SKIP() << "the hard data limit is below the test's limit";
  EXPECT_TRUE(HoldsUnderDataLimit(kLimit, [&] {
    const double allowed = TMemoryBudget::AllowedBytes();
    const double budget = std::fmin(allowed, TMemoryBudget::PhysicalBytes());
    return allowed <= static_cast<double>(kLimit) && TMemoryBudget::Holds(budget) &&
           !TMemoryBudget::Holds(static_cast<double>(kLimit) + 1.0);
  }));
}
} // namespace
