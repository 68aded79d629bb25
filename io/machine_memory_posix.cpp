#include <unistd.h>

#include "io/machine_memory.h"

int64_t PhysicalMemoryBytes() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  return int64_t(pages) * int64_t(pageSize);
}
