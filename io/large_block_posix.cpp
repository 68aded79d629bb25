#include <sys/mman.h>

#include <new>

#include "io/large_block.h"

namespace {

// The size of a large page on the machines this runs on; blocks from twice it on are aligned to
// it, so that their pages can be large ones.
constexpr size_t LargePage = size_t(2) << 20;

}  // namespace

LargeBlock AllocateLargeBlock(size_t bytes) {
  const size_t wanted = bytes > 0 ? bytes : 1;
  void* block = nullptr;
  if (wanted >= 2 * LargePage) {
    const size_t rounded = (wanted + LargePage - 1) / LargePage * LargePage;
    if (posix_memalign(&block, LargePage, rounded) != 0) throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
    madvise(block, rounded, MADV_HUGEPAGE);  // a hint: refused, the pages stay small
#endif
  } else {
    block = std::malloc(wanted);
    if (!block) throw std::bad_alloc();
  }
  return LargeBlock(static_cast<char*>(block));
}
