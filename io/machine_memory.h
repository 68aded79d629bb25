// The memory the machine has, for defaults that should follow it.
#pragma once

#include <cstdint>

// The machine's physical memory in bytes; 0 when it cannot be asked.
int64_t PhysicalMemoryBytes();
