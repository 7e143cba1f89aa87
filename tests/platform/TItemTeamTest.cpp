// The item team: every item done once on any worker count; the lowest
// failing item's failure raised and no later item begun; deliveries in item
// order while the work runs ahead; the worker count for an amount of work.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/TCores.h"
#include "platform/TItemTeam.h"
#include "support/ExpectThrowMsg.h"

namespace {
// A little work whose length varies with the item, so that workers overtake.
void Linger(long item) {
  std::this_thread::sleep_for(std::chrono::microseconds((item * 37) % 300));
}
} // namespace

TEST(TItemTeam, EveryItemOnceAndDeliveredInOrder) {
  for (unsigned workers : {0u, 1u, 2u, 3u, 4u}) {
    for (long items : {0L, 1L, 2L, 5L, 200L}) {
      std::vector<std::atomic<int>> done(static_cast<std::size_t>(items));
      std::vector<long> delivered;
      TItemTeam::RunInOrder(
          items, workers,
          [&](long item, unsigned worker) {
            EXPECT_LT(worker, std::max(workers, 1u));
            Linger(item);
            ++done[item];
          },
          [&](long item, unsigned) { delivered.push_back(item); });
      for (long item = 0; item < items; ++item) {
        EXPECT_EQ(1, done[item].load());
        EXPECT_EQ(item, delivered[item]);
      }
      EXPECT_EQ(static_cast<std::size_t>(items), delivered.size());
    }
  }
}

TEST(TItemTeam, TheLowestFailingItemIsRaisedAndNoLaterItemBegun) {
  for (unsigned workers : {1u, 2u, 4u}) {
    for (bool inOrder : {false, true}) {
      std::atomic<long> highestBegun(-1);
      std::atomic<long> deliveredPastFailure(0);
      const auto work = [&](long item, unsigned) {
        long seen = highestBegun.load();
        while (item > seen && !highestBegun.compare_exchange_weak(seen, item)) {
        }
        Linger(item);
        if (item == 60 || item == 61 || item == 90)
          throw item == 60 ? "item 60" : "a later item";
      };
      const auto deliver = [&](long item, unsigned) { deliveredPastFailure += item >= 60; };
      EXPECT_THROW_MSG(inOrder ? TItemTeam::RunInOrder(1000, workers, work, deliver)
                               : TItemTeam::Run(1000, workers, work),
                       "item 60");
      // Items begun before the failure was known: at most one a worker.
      EXPECT_LT(highestBegun.load(), 60 + static_cast<long>(workers) + 1);
      EXPECT_EQ(0, deliveredPastFailure.load());
    }
  }
}

TEST(TItemTeam, WorkersFollowTheWorkAndAFixedCountOverridesThem) {
  const unsigned cores = TCores::Usable();
  EXPECT_EQ(1u, TItemTeam::Workers(0.0, 100.0));
  EXPECT_EQ(1u, TItemTeam::Workers(150.0, 100.0));
  EXPECT_EQ(std::min(cores, 2u), TItemTeam::Workers(250.0, 100.0));
  EXPECT_EQ(cores, TItemTeam::Workers(1e12, 100.0));
  {
    const TItemTeam::TFixedWorkers fixed(3);
    EXPECT_EQ(3u, TItemTeam::Workers(0.0, 100.0));
    {
      const TItemTeam::TFixedWorkers inner(1);
      EXPECT_EQ(1u, TItemTeam::Workers(1e12, 100.0));
    }
    EXPECT_EQ(3u, TItemTeam::Workers(1e12, 100.0));
  }
  EXPECT_EQ(1u, TItemTeam::Workers(150.0, 100.0));
}
