// The one line of progress pgnutil keeps on a terminal while a job runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// At most this many columns, so that the line never wraps on a terminal of 80.
constexpr size_t ProgressLineWidth = 79;

// Stage, file, a bar of 20 for `part` (0..1) and the rate, in that order, in columns that stay
// put; the file name is shortened from its start, behind "...", to fit. With `amounts` (of a
// compressed file or a stream) the bar is 10 long and they follow it.
std::string ProgressLine(std::string_view stage, std::string_view file, double part, std::string_view rate,
                         std::string_view amounts = {});

// How much of a file has been read, where the bar alone does not say: "31M->124M" for a
// compressed file (as stored, then its text), "124M" for a stream; megabytes of 10^6 bytes,
// "12.4G" from 10 GB. Empty for a plain file.
std::string LoadAmounts(int64_t storedBytes, int64_t textBytes, bool compressed, bool stream);

// The rate of a stretch of work: "12.3 MB/s" for bytes, "2,345 games/s" for games; empty before
// a tenth of a second has passed, when any figure would be noise.
std::string ByteRate(int64_t bytes, double seconds);
std::string GameRate(int64_t games, double seconds);
