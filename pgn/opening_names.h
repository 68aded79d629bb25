// Opening names from a table of named lines (ECO code, name, SAN movetext, tab-separated): each
// line is played from the start, and the position it ends in takes its name. A game is named by
// the last position of its main line that the table names, so a transposition into a named
// position counts as that opening.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "chess/jurnal.h"
#include "pgn/pgn_types.h"

class OpeningNames {
 public:
  // Adds the lines of a table text (header lines "eco name pgn" are passed over). False, with
  // the reason, when a line's moves cannot be played; the table is then incomplete.
  bool AddTable(std::string_view text, std::string& problem);

  // The name of the last position of the main line the table names; "" when none is.
  std::string_view NameOf(const jurnal& game) const;

  size_t size() const { return names.size(); }

 private:
  // Which of the table's positions may still follow from a board, told from what never comes
  // back: men (none is ever added) and pawns on their home ranks (no pawn ever returns there).
  // For each set of home pawns (white's rank 2 in the low byte, black's rank 7 in the high
  // one), the fewest men of a named position whose home pawns are all among them; 33: none.
  void Prepare();
  bool MayStillFollow(const doska& board) const;

  // The name of a position key, or -1: open addressing over a power-of-two table at most a
  // quarter full (a game's first positions are mostly named ones: each is looked up).
  int32_t Find(uint64_t key) const {
    for (size_t at = size_t(key) & mask;; at = (at + 1) & mask) {
      const Slot& slot = slots[at];
      if (slot.name < 0 || slot.key == key) return slot.name;
    }
  }

  struct Slot {
    uint64_t key = 0;
    int32_t name = -1;  // -1: empty
  };
  std::unordered_map<uint64_t, uint32_t> byKey;  // position key (with side and rights) to name
  std::vector<Slot> slots;                       // the same, for Find
  size_t mask = 0;
  std::vector<uint64_t> filter;          // a bit per value of a key's top 16 bits
  std::vector<uint8_t> fewestMenWithin;  // per home-pawn set, as above
  std::vector<std::string> names;
  struct PositionTraits {
    uint32_t homePawns = 0;
    int men = 0;
  };
  std::vector<PositionTraits> positions;  // per name
};

// "Sicilian Defense: Najdorf Variation" as the Opening "Sicilian Defense" and the Variation
// "Najdorf Variation"; a name without ": " is an Opening alone.
std::pair<std::string_view, std::string_view> SplitOpeningName(std::string_view name);

// Sets the Opening tag, and the Variation tag when the name has one, in place or after the other
// tags; a Variation tag the game held goes when the name has none (it would name another line).
void SetOpeningTags(TGamesTagArray& tags, std::string_view name);
