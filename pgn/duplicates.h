// Duplicate keys: two games are duplicates when they start from the same position and their
// main lines hold the same moves (in any order) and are equally long.
#pragma once

#include <cstdint>
#include <vector>

#include "pgn/pgn_types.h"

struct THash {
  uint64_t startKey = 0;  // the start position
  uint64_t movesKey = 0;  // exclusive-or over the main line's moves
  int32_t entryIndex = -1;
  // The main line's length: an exclusive-or lets repeated moves cancel out, so a game with
  // knight shuffles would otherwise equal the same game without them.
  int32_t plies = 0;
  // False for an entry whose game could not be read: it is never a duplicate of anything.
  bool keyed = false;
};
using THashes = std::vector<THash>;

// The key of a game record, for the given entry index.
THash KeyOfGame(const jurnal& game, int32_t entryIndex);

// Key order: moves key, then start key (both as signed numbers), then length.
int CompareKeys(const THash& a, const THash& b);
inline bool SameKey(const THash& a, const THash& b) { return CompareKeys(a, b) == 0; }

// The keys in key order, sorted the one way that decides which of several equal keys ends last
// (a quicksort with the first record as pivot, run without recursion).
THashes SortedKeys(const THashes& keys);

// The index of a record equal to the key in a sorted array, or -1.
int32_t FindKey(const THashes& sorted, const THash& key);
