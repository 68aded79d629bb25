#include "io/machine_memory.h"

int64_t MemoryLimitFromText(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.remove_suffix(1);
  if (text.empty() || text.size() > 19) return 0;  // "max", or more digits than a limit has
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  // Version 1 of the control groups states "no limit" as the largest page-aligned number.
  constexpr int64_t NoLimit = int64_t(1) << 62;
  return value >= NoLimit ? 0 : value;
}
