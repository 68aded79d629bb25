#include <windows.h>

#include "io/machine_memory.h"

int64_t PhysicalMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return 0;
  return int64_t(status.ullTotalPhys);
}
