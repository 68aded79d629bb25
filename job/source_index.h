// Where the listed games came from, by file, kept from one merge to the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

#include "pgn/pgn_types.h"

// For each source file, the positions of the entries taken in from the list's start up to where
// it was last caught up. The list may only grow between two uses; whatever else changes it
// (compaction) clears the index, and the next use builds it again. A merge thus asks whether a
// new game was read before (same file, same position) without passing over every entry, which
// made loading a folder of many files slower with every file.
class SourceIndex {
 public:
  void Clear();
  // Takes in the entries added to `entries` since the last call.
  void CatchUp(const TGames& entries);
  // The positions of the entries taken in from `path`, or null when none. Entries without a
  // source are never taken in, and nothing is found under an empty path.
  const std::unordered_set<int64_t>* PositionsOf(const std::filesystem::path& path) const;

 private:
  struct PathHash {
    size_t operator()(const std::filesystem::path& path) const { return std::filesystem::hash_value(path); }
  };
  std::unordered_map<std::filesystem::path, std::unordered_set<int64_t>, PathHash> positions;
  size_t covered = 0;  // entries[0..covered) taken in
};
