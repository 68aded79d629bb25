// A date as one integer that compares in date order: (year * 13 + month) * 32 + day, with 0 in
// the month or day for a part not given.
#pragma once

#include <cstdint>

constexpr int32_t DateKey(int32_t year, int32_t month, int32_t day) { return (year * 13 + month) * 32 + day; }
constexpr int32_t DateYear(int32_t key) { return key / 416; }
constexpr int32_t DateMonth(int32_t key) { return (key / 32) % 13; }
constexpr int32_t DateDay(int32_t key) { return key % 32; }
