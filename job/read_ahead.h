// Work on a list of items done by several threads ahead of the one thread that takes the
// results in order: the folder job reads files this way while it merges them one by one.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class ReadAhead {
 public:
  // Starts `threads` threads that run `work` on items 0, 1, ... count - 1, never more than
  // `window` items (at least one per thread; by default as many as threads) in front of the
  // last one taken.
  ReadAhead(size_t count, size_t threads, std::function<void(size_t)> work, size_t window = 0);
  // Lets the threads finish the item they are on, and waits for them.
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // Waits until item k is done, calling `meanwhile` every 20 ms until then.
  void Wait(size_t k, const std::function<void()>& meanwhile);
  // Item k has been taken: the threads may go one item further.
  void Taken(size_t k);

 private:
  void Run();

  const size_t count;
  const size_t ahead;
  std::function<void(size_t)> work;
  std::mutex handOver;
  std::condition_variable ready;
  std::vector<bool> finished;
  size_t next = 0;         // the next item a thread takes
  size_t taken = 0;        // items taken so far
  bool abandoned = false;  // nothing more will be taken
  std::vector<std::thread> threads;
};
