#include "job/read_ahead.h"

#include <algorithm>
#include <chrono>

ReadAhead::ReadAhead(size_t itemCount, size_t threadCount, std::function<void(size_t)> itemWork, size_t window)
    : count(itemCount),
      ahead(std::max({size_t(1), threadCount, window})),
      work(std::move(itemWork)),
      finished(itemCount) {
  const size_t started = std::min({std::max<size_t>(1, threadCount), ahead, count});
  for (size_t t = 0; t < started; ++t) threads.emplace_back([this] { Run(); });
}

ReadAhead::~ReadAhead() {
  {
    std::lock_guard lock(handOver);
    abandoned = true;
  }
  ready.notify_all();
  for (std::thread& thread : threads) thread.join();
}

void ReadAhead::Run() {
  for (;;) {
    size_t k;
    {
      std::unique_lock lock(handOver);
      ready.wait(lock, [this] { return abandoned || next >= count || next < taken + ahead; });
      if (abandoned || next >= count) return;
      k = next++;
    }
    work(k);
    {
      std::lock_guard lock(handOver);
      finished[k] = true;
    }
    ready.notify_all();
  }
}

void ReadAhead::Wait(size_t k, const std::function<void()>& meanwhile) {
  std::unique_lock lock(handOver);
  while (!ready.wait_for(lock, std::chrono::milliseconds(20), [&] { return bool(finished[k]); })) meanwhile();
}

void ReadAhead::Taken(size_t k) {
  {
    std::lock_guard lock(handOver);
    taken = std::max(taken, k + 1);
  }
  ready.notify_all();
}
