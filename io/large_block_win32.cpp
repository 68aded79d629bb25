#include <new>

#include "io/large_block.h"

LargeBlock AllocateLargeBlock(size_t bytes) {
  void* block = std::malloc(bytes > 0 ? bytes : 1);
  if (!block) throw std::bad_alloc();
  return LargeBlock(static_cast<char*>(block));
}
