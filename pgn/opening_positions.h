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
  // Adds a position; its index is the number of positions added before it. False, adding
  // nothing, for a key added before (it keeps its first index) and past 65,535 positions.
  bool Add(uint64_t key, const doska& board);
  // Makes the look-ups ready: call after the last Add.
  void Prepare();

  bool empty() const { return keys.empty(); }

  // The index of the position with the key, or -1.
  int32_t IndexOf(uint64_t key) const {
    if (slots.empty() || !((filter[key >> 54] >> ((key >> 48) & 63)) & 1)) return -1;  // most positions
    for (size_t at = size_t(key) & mask;; at = (at + 1) & mask) {
      const uint16_t slot = slots[at];
      if (slot == EmptySlot) return -1;
      if (keys[slot] == key) return slot;
    }
  }

  // Whether a named position may still come on the board, told from what never comes back: men
  // (none is ever added) and pawns on their home ranks (no pawn ever returns there). Once it is
  // false, a line may stop being looked at.
  bool MayStillFollow(const doska& board) const;

 private:
  struct Traits {
    uint32_t homePawns;  // white's rank 2 in the low byte, black's rank 7 in the high one
    int men;
  };
  std::vector<uint64_t> keys;  // by index
  std::vector<Traits> traits;  // the same, for Prepare
  std::unordered_set<uint64_t> keysAdded;
  // Open addressing over a power-of-two table at most a quarter full (a game's first positions
  // are mostly named ones: each is looked up), of places in `keys`: two small arrays a reader's
  // caches hold, where slots of whole keys took four times the room.
  static constexpr uint16_t EmptySlot = 0xFFFF;
  std::vector<uint16_t> slots;
  size_t mask = 0;
  std::vector<uint64_t> filter;  // a bit per value of a key's top 16 bits
  // For each set of home pawns, the fewest men of a named position whose home pawns are all
  // among them; 33: none.
  std::vector<uint8_t> fewestMenWithin;
};
