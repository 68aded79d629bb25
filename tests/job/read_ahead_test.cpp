// Items worked on ahead by several threads and taken in order by one.
#include "job/read_ahead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

TEST(ReadAhead, ItemsAreDoneAtMostTheThreadCountAheadAndTakenInOrder) {
  constexpr size_t count = 40, threads = 3;
  std::atomic<size_t> takenSoFar{0};
  std::atomic<bool> tooFarAhead{false};
  std::vector<std::atomic<int>> done(count);
  {
    ReadAhead ahead(count, threads, [&](size_t k) {
      if (k >= takenSoFar.load() + threads) tooFarAhead = true;
      ++done[k];
    });
    for (size_t k = 0; k < count; ++k) {
      int waits = 0;
      ahead.Wait(k, [&] { ++waits; });
      EXPECT_EQ(done[k].load(), 1) << k;  // finished when Wait returns
      takenSoFar = k + 1;
      ahead.Taken(k);
    }
  }
  EXPECT_FALSE(tooFarAhead.load());
  for (size_t k = 0; k < count; ++k) EXPECT_EQ(done[k].load(), 1) << k;  // each exactly once
}

TEST(ReadAhead, GivingUpEarlyEndsTheThreads) {
  std::atomic<int> started{0};
  {
    ReadAhead ahead(100, 2, [&](size_t) { ++started; });
    ahead.Wait(0, [] {});
    ahead.Taken(0);
  }  // the rest is never taken: the destructor must not wait for it
  EXPECT_LE(started.load(), 3);
  ReadAhead none(0, 4, [](size_t) { FAIL() << "no items"; });
}

}  // namespace
