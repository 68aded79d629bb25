// Whole-file and byte-range reads of PGN text into a byte string.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

enum class ReadError {
  None = 0,
  CannotOpen,   // missing, unreadable, or held by another program
  TooLarge,     // 2 GiB or more, for a whole-file read
  BadRange,     // a start before the first byte or a negative count
  ReadFailed,   // the system reported an error while reading
  Damaged,      // compressed data that cannot be unpacked (damaged, or cut short)
  Unsupported,  // compressed in a way this build does not read
};

// What went wrong, in words for messages ("cannot open the file", ...).
const char* Describe(ReadError error);

// Reads a whole file into `text`, which is sized (under the host's lock) to the file first and
// is not shortened when fewer bytes arrive. The file is held only for the call, and other
// openers are refused meanwhile where the system allows. On CannotOpen and TooLarge `text` is
// unchanged.
ReadError readfile(const std::filesystem::path& path, std::string& text);

// The same for `count` bytes from the 1-based byte position `start`, in a file of any size.
ReadError readrange(const std::filesystem::path& path, int64_t start, int64_t count, std::string& text);
