// When the command line asks the C library for heaps of large pages (starting again to do so).
#include "cli/memory_allocator.h"

#include <gtest/gtest.h>

namespace {

TEST(MemoryAllocator, LargeHeapPagesOnlyWhereTheSystemGivesThemOnRequest) {
  EXPECT_TRUE(WantsLargeHeapPages("always [madvise] never\n", nullptr, 0));
  // Given to every heap anyway, or never given: starting again would change nothing.
  EXPECT_FALSE(WantsLargeHeapPages("[always] madvise never\n", nullptr, 0));
  EXPECT_FALSE(WantsLargeHeapPages("always madvise [never]\n", nullptr, 0));
  // No such setting to read (another system, or /sys not there).
  EXPECT_FALSE(WantsLargeHeapPages("", nullptr, 0));
}

TEST(MemoryAllocator, TheUsersOwnTunablesAndAFrugalBudgetAreLeftAlone) {
  // Set by the user, or by this program before it started again: never a second start.
  EXPECT_FALSE(WantsLargeHeapPages("always [madvise] never\n", "glibc.malloc.arena_max=1", 0));
  EXPECT_FALSE(WantsLargeHeapPages("always [madvise] never\n", "", 0));
  // A budget below 256 MiB asks for frugality: two megabytes a page would not be.
  EXPECT_FALSE(WantsLargeHeapPages("always [madvise] never\n", nullptr, 100));
  EXPECT_FALSE(WantsLargeHeapPages("always [madvise] never\n", nullptr, 255));
  EXPECT_TRUE(WantsLargeHeapPages("always [madvise] never\n", nullptr, 256));
  EXPECT_TRUE(WantsLargeHeapPages("always [madvise] never\n", nullptr, 4000));
}

}  // namespace
