#include "cli/memory_allocator.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

#ifdef __GLIBC__
#include <malloc.h>
#include <unistd.h>
#endif

namespace {

// Below this budget the heaps keep no memory in reserve.
constexpr int64_t FrugalBudgetMiB = 256;

bool Frugal(int64_t budgetMiB) { return budgetMiB != 0 && budgetMiB < FrugalBudgetMiB; }

#ifdef __GLIBC__
constexpr const char* TunablesVariable = "GLIBC_TUNABLES";

std::string TransparentHugePagesSetting() {
  std::string setting;
  if (std::FILE* file = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "r")) {
    char line[128];
    if (std::fgets(line, sizeof line, file)) setting = line;
    std::fclose(file);
  }
  return setting;
}
#endif

}  // namespace

bool ReadsMuch(const std::vector<std::filesystem::path>& inputs) {
  constexpr uintmax_t Much = uintmax_t(32) << 20;
  uintmax_t total = 0;
  for (const std::filesystem::path& input : inputs) {
    if (input == "-") return true;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(input, error);
    if (status.type() == std::filesystem::file_type::directory) return true;
    if (status.type() != std::filesystem::file_type::regular) continue;
    const uintmax_t size = std::filesystem::file_size(input, error);
    if (!error) total += size;
    if (total >= Much) return true;
  }
  return false;
}

bool WantsLargeHeapPages(std::string_view transparentHugePages, const char* tunables, int64_t budgetMiB) {
  return transparentHugePages.find("[madvise]") != std::string_view::npos && tunables == nullptr && !Frugal(budgetMiB);
}

void TuneMemoryAllocator([[maybe_unused]] int64_t budgetMiB, [[maybe_unused]] char** argv) {
#ifdef __GLIBC__
  // The C library reads its tunables only as a program starts: the program starts again, the
  // same process with the same arguments, files open and signals ignored. Once started so, the
  // variable is set and it does not happen again; a system without /proc or refusing to start
  // programs leaves the job as it was.
  if (argv && WantsLargeHeapPages(TransparentHugePagesSetting(), std::getenv(TunablesVariable), budgetMiB)) {
    // By its own name, which the system shows the process under ("exe" when started as
    // /proc/self/exe); a program file since deleted or replaced is not started again.
    char program[4096];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length > 0 && size_t(length) < sizeof program - 1) {
      program[length] = '\0';
      setenv(TunablesVariable, "glibc.malloc.hugetlb=1", 1);
      execv(program, argv);
      unsetenv(TunablesVariable);
    }
  }
  // Every thread's heap is reserved whole but opened for use a page at a time, one mprotect call
  // each, and each call takes the lock of the process's memory map that the other threads' page
  // faults wait on: loading a 25 MB folder made 31,000 of them, half the time the job spent in
  // the kernel. With a pad the heap opens in one step of 64 MiB of address space (pages still
  // cost memory only once touched). But a heap then also keeps up to that much freed memory
  // instead of handing it back, so not when a small memory budget asks for frugality.
  if (!Frugal(budgetMiB)) mallopt(M_TOP_PAD, 64 << 20);
#endif
}
