// The duplicate keys of the game list as a hash table, kept from one merge to the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pgn/duplicates.h"

// Holds, by their place in the list's array of keys, the keyed keys of that array from its start
// up to where it was last caught up. The array may only grow between two uses; whatever else
// changes it (compaction, keys computed afresh) clears the index, and the next use builds it again.
// A merge thus looks each new key up in the index instead of passing over every key of the list,
// which made loading a folder of many files slower with every file.
class KeyIndex {
 public:
  void Clear();
  // Takes in the keys added to `keys` since the last call.
  void CatchUp(const THashes& keys);
  // Whether a key the same as `key` (as SameKey says) is among those taken in.
  bool Holds(const THashes& keys, const THash& key) const;

 private:
  void Insert(const THashes& keys, uint32_t place);
  void Grow(const THashes& keys);

  std::vector<uint32_t> slots;  // a power of two, at most half full: a key's place + 1, or 0
  size_t used = 0;
  size_t covered = 0;  // keys[0..covered) taken in
};
