// The memory the machine has, for defaults that should follow it.
#pragma once

#include <cstdint>
#include <string_view>

// The memory this process may use in bytes: the machine's physical memory, or less where a
// control group (a container's limit) allows less; 0 when it cannot be asked.
int64_t PhysicalMemoryBytes();

// A control group's memory limit as its file states it ("max" or a number of bytes, with a line
// break): the bytes, or 0 for no limit or a text that is not one.
int64_t MemoryLimitFromText(std::string_view text);
