// The positions an opening table names, looked up by position key: what a reader passing the
// positions of a main line needs to tell the last named one, apart from the names and from
// how the table is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "chess/doska.h"

class OpeningPositions {
 public:
  // Adds a position under an index; a key added before keeps its first index. False then.
  bool Add(uint64_t key, const doska& board, int32_t index);
  // Makes the look-ups ready: call after the last Add.
  void Prepare();

  bool empty() const { return keys.empty(); }

  // The index of the position with the key, or -1.
  int32_t IndexOf(uint64_t key) const {
    if (slots.empty() || !((filter[key >> 54] >> ((key >> 48) & 63)) & 1)) return -1;  // most positions
    for (size_t at = size_t(key) & mask;; at = (at + 1) & mask) {
      const Slot& slot = slots[at];
      if (slot.index < 0 || slot.key == key) return slot.index;
    }
  }

  // Whether a named position may still come on the board, told from what never comes back: men
  // (none is ever added) and pawns on their home ranks (no pawn ever returns there). Once it is
  // false, a line may stop being looked at.
  bool MayStillFollow(const doska& board) const;

 private:
  struct Slot {
    uint64_t key = 0;
    int32_t index = -1;  // -1: empty
  };
  struct Added {
    uint64_t key;
    int32_t index;
    uint32_t homePawns;  // white's rank 2 in the low byte, black's rank 7 in the high one
    int men;
  };
  std::vector<Added> keys;
  std::unordered_set<uint64_t> keysAdded;
  // Open addressing over a power-of-two table at most a quarter full (a game's first positions
  // are mostly named ones: each is looked up).
  std::vector<Slot> slots;
  size_t mask = 0;
  std::vector<uint64_t> filter;  // a bit per value of a key's top 16 bits
  // For each set of home pawns, the fewest men of a named position whose home pawns are all
  // among them; 33: none.
  std::vector<uint8_t> fewestMenWithin;
};
