// The keys of the games a duplicate check keeps, added to by the check while the reading
// threads ask: a game read whose key is there will be dropped as a duplicate, and need not be
// packed on its way.
#pragma once

#include <cstdint>
#include <shared_mutex>
#include <unordered_set>

#include "pgn/duplicates.h"
#include "pgn/pgn_types.h"

class KeptKeys {
 public:
  void Add(const THash& key);
  // Whether a game of this summary duplicates a game kept. A game the answer wrongs (two keys
  // that mix alike, about one in 2^64) is only let go, and read again when it is written.
  bool Holds(const TGameSummary& summary) const;

 private:
  mutable std::shared_mutex mutex;
  std::unordered_set<uint64_t> mixed;
};
