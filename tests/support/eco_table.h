// ECO table files for tests: records of a position key and a code.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"

// The bytes of a table file: each key big-endian, then its three-character code.
inline std::string EcoTableFileBytes(const std::vector<std::pair<uint64_t, std::string>>& entries) {
  std::string bytes;
  for (const auto& [key, code] : entries) {
    for (int shift = 56; shift >= 0; shift -= 8) bytes += char(key >> shift);
    bytes += code;
  }
  return bytes;
}

inline void WriteEcoTableFile(const std::filesystem::path& file,
                              const std::vector<std::pair<uint64_t, std::string>>& entries) {
  TempDir::Write(file, EcoTableFileBytes(entries));
}

// Position keys of the first moves of 1. e4 d5.
constexpr uint64_t KeyOfInitialPosition = 0x463B96181691FC9CULL;
constexpr uint64_t KeyAfterE4 = 0x823C9B50FD114196ULL;
constexpr uint64_t KeyAfterE4D5 = 0x0756B94461C50FB0ULL;
