// The one line of progress pgnutil keeps on a terminal while a job runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// At most this many columns, so that the line never wraps on a terminal of 80.
constexpr size_t ProgressLineWidth = 79;

// Stage, file, a bar of 20 for `part` (0..1) and the rate, in that order, in columns that stay
// put; the file name is shortened from its start, behind "...", to fit.
std::string ProgressLine(std::string_view stage, std::string_view file, double part, std::string_view rate);

// The rate of a stretch of work: "12.3 MB/s" for bytes, "2,345 games/s" for games; empty before
// a tenth of a second has passed, when any figure would be noise.
std::string ByteRate(int64_t bytes, double seconds);
std::string GameRate(int64_t games, double seconds);
