// Memory for the large buffers a job fills and refills (a reading window, an output file's text):
// where the system backs such memory with large pages on request (Linux, transparent huge pages
// in "madvise" mode), it is asked to, so that the first writing of a buffer of many megabytes
// costs a handful of page faults instead of thousands. Smaller blocks are plain allocations.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

struct LargeBlockFree {
  void operator()(void* block) const { std::free(block); }
};
using LargeBlock = std::unique_ptr<char[], LargeBlockFree>;

// `bytes` of uninitialised memory (at least one); throws std::bad_alloc when none can be had.
LargeBlock AllocateLargeBlock(size_t bytes);
