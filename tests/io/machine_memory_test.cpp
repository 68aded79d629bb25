// The memory a process may use: the machine's, or a container's limit where one is set, read
// from the control group's file as the system writes it.
#include "io/machine_memory.h"

#include <gtest/gtest.h>

namespace {

TEST(MachineMemory, ALimitIsReadAsTheSystemWritesIt) {
  EXPECT_EQ(MemoryLimitFromText("1073741824\n"), int64_t(1) << 30);
  EXPECT_EQ(MemoryLimitFromText("536870912"), int64_t(1) << 29);
  EXPECT_EQ(MemoryLimitFromText("max\n"), 0);                  // version 2: none
  EXPECT_EQ(MemoryLimitFromText("9223372036854771712\n"), 0);  // version 1: none
  EXPECT_EQ(MemoryLimitFromText(""), 0);                       // no such file
  EXPECT_EQ(MemoryLimitFromText("12a4\n"), 0);
  EXPECT_EQ(MemoryLimitFromText("99999999999999999999999\n"), 0);
  EXPECT_EQ(MemoryLimitFromText("-5\n"), 0);
}

TEST(MachineMemory, TheMachineAnswers) {
  // Every system this runs on tells: at least the 256 MiB no machine of ours has less than.
  EXPECT_GE(PhysicalMemoryBytes(), int64_t(256) << 20);
}

}  // namespace
