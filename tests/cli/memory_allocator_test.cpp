// When the command line asks the C library for heaps of large pages (starting again to do so).
#include "cli/memory_allocator.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

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

// Only a large job starts again: it costs a few milliseconds, a third of a small job's time.
TEST(MemoryAllocator, OnlyAJobReadingMuchStartsAgain) {
  TempDir dir;
  TempDir::Write(dir / "small.pgn", "[Event \"a\"]\n\n1. e4 *\n");
  EXPECT_FALSE(ReadsMuch({dir / "small.pgn"}));
  EXPECT_FALSE(ReadsMuch({}));
  // Names that are no file count for nothing (an option's value among inspect's arguments).
  EXPECT_FALSE(ReadsMuch({dir / "small.pgn", std::filesystem::path("--has"), dir / "missing.pgn"}));
  // A file of 40 MB (sparse: nothing written), or two of 20 MB together.
  for (const char* name : {"a.pgn", "b.pgn"}) TempDir::Write(dir / name, "");
  std::filesystem::resize_file(dir / "a.pgn", 40 << 20);
  EXPECT_TRUE(ReadsMuch({dir / "a.pgn"}));
  std::filesystem::resize_file(dir / "a.pgn", 20 << 20);
  std::filesystem::resize_file(dir / "b.pgn", 20 << 20);
  EXPECT_FALSE(ReadsMuch({dir / "a.pgn"}));
  EXPECT_TRUE(ReadsMuch({dir / "a.pgn", dir / "b.pgn"}));
  // A folder or standard input: how much is not known before reading.
  std::filesystem::create_directory(dir / "folder");
  EXPECT_TRUE(ReadsMuch({dir / "folder"}));
  EXPECT_TRUE(ReadsMuch({dir / "small.pgn", std::filesystem::path("-")}));
}

}  // namespace
