// Items worked on ahead by several threads and taken in order by one.
#include "job/read_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

// The window is the thread count by default, or wider when asked.
class ReadAheadWindow : public ::testing::TestWithParam<size_t> {};

TEST_P(ReadAheadWindow, ItemsAreDoneAtMostTheWindowAheadAndTakenInOrder) {
  constexpr size_t count = 40, threads = 3;
  const size_t window = GetParam() ? GetParam() : threads;
  std::atomic<size_t> takenSoFar{0};
  std::atomic<bool> tooFarAhead{false};
  std::atomic<size_t> furthest{0};
  std::vector<std::atomic<int>> done(count);
  {
    ReadAhead ahead(
        count, threads,
        [&](size_t k) {
          if (k >= takenSoFar.load() + window) tooFarAhead = true;
          const size_t lead = k - std::min(k, takenSoFar.load());
          size_t seen = furthest.load();
          while (lead > seen && !furthest.compare_exchange_weak(seen, lead)) {
          }
          ++done[k];
        },
        GetParam());
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

INSTANTIATE_TEST_SUITE_P(DefaultAndWide, ReadAheadWindow, ::testing::Values(size_t(0), size_t(8)));

// With a wide window, threads go on past an item that takes long.
TEST(ReadAhead, AWideWindowLetsThreadsPassASlowItem) {
  constexpr size_t count = 10;
  std::atomic<bool> release{false};
  std::atomic<int> doneBeyond{0};
  {
    ReadAhead ahead(
        count, 2,
        [&](size_t k) {
          if (k == 0)
            while (!release.load()) std::this_thread::yield();
          else
            ++doneBeyond;
        },
        8);
    // Item 0 is held; the other thread must be able to do items 1..7 (the window is items
    // 0..7) meanwhile, and no more.
    for (int spins = 0; doneBeyond.load() < 7 && spins < 2000; ++spins)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(doneBeyond.load(), 7);
    release = true;
    for (size_t k = 0; k < count; ++k) {
      ahead.Wait(k, [] {});
      ahead.Taken(k);
    }
  }
  EXPECT_EQ(doneBeyond.load(), int(count) - 1);
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
