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
  std::unordered_map<uint64_t, uint32_t> byKey;  // position key (with side and rights) to name
  std::vector<std::string> names;
  int fewestMen = 32;  // men on the board of the table's emptiest position: below it, none follows
};

// "Sicilian Defense: Najdorf Variation" as the Opening "Sicilian Defense" and the Variation
// "Najdorf Variation"; a name without ": " is an Opening alone.
std::pair<std::string_view, std::string_view> SplitOpeningName(std::string_view name);

// Sets the Opening tag, and the Variation tag when the name has one, in place or after the other
// tags; a Variation tag the game held goes when the name has none (it would name another line).
void SetOpeningTags(TGamesTagArray& tags, std::string_view name);
