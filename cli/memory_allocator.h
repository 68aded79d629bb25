// How the C library's allocator is set up for a job of the command line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

// Whether the program should start again with the C library asked to back its heaps with large
// pages: where the system gives them only on request (transparent huge pages in "madvise" mode,
// `transparentHugePages` holding the system's setting as it reads, "always [madvise] never"),
// the user has set no allocator tunables of their own (`tunables` null) and the memory budget
// (MiB, 0 for none) does not ask for frugality. The games of a large job fill tens of megabytes
// of heap, and touching each of its small pages for the first time cost a quarter of such a
// job's time on the machines measured.
bool WantsLargeHeapPages(std::string_view transparentHugePages, const char* tunables, int64_t budgetMiB);

// Whether a job reading `inputs` is large enough for starting again to pay (it costs a few
// milliseconds): files of 32 MB or more together, a folder, or standard input ("-"). A name that
// is not there (a misspelt file, an option's value) does not count.
bool ReadsMuch(const std::vector<std::filesystem::path>& inputs);

// Sets the allocator up for a job under the memory budget `budgetMiB` (0 for none); where
// WantsLargeHeapPages, this starts the program again (`argv` as it was given; null: never) with
// that asked of the C library, and returns only when that cannot be done.
void TuneMemoryAllocator(int64_t budgetMiB, char** argv);
