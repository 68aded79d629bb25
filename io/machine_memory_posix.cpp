#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "io/machine_memory.h"

namespace {

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The smallest memory limit of this process's control group (version 2, by its path in
// /proc/self/cgroup, or the root's) or of version 1's memory controller; 0 when none is set.
int64_t ControlGroupLimit() {
  int64_t limit = 0;
  auto take = [&](int64_t value) {
    if (value > 0 && (limit == 0 || value < limit)) limit = value;
  };
  const std::string groups = FileText("/proc/self/cgroup");
  for (size_t at = 0; at < groups.size();) {
    const size_t end = std::min(groups.find('\n', at), groups.size());
    const std::string line = groups.substr(at, end - at);
    if (line.rfind("0::", 0) == 0)
      take(MemoryLimitFromText(FileText("/sys/fs/cgroup" + line.substr(3) + "/memory.max")));
    at = end + 1;
  }
  take(MemoryLimitFromText(FileText("/sys/fs/cgroup/memory.max")));
  take(MemoryLimitFromText(FileText("/sys/fs/cgroup/memory/memory.limit_in_bytes")));
  return limit;
}

}  // namespace

int64_t PhysicalMemoryBytes() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  const int64_t physical = int64_t(pages) * int64_t(pageSize);
  const int64_t limit = ControlGroupLimit();
  return limit > 0 && limit < physical ? limit : physical;
}
