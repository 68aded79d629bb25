// Opening names from a table of named lines (ECO code, name, SAN movetext, tab-separated): each
// line is played from the start, and the position it ends in takes its name. A game is named by
// the last position of its main line that the table names, so a transposition into a named
// position counts as that opening.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "chess/jurnal.h"
#include "pgn/opening_positions.h"
#include "pgn/pgn_types.h"

class OpeningNames {
 public:
  // Adds the lines of a table text (header lines "eco name pgn" are passed over). False, with
  // the reason, when a line's moves cannot be played; the table is then incomplete.
  bool AddTable(std::string_view text, std::string& problem);

  // The name of the last position of the main line the table names; "" when none is.
  std::string_view NameOf(const jurnal& game) const;

  size_t size() const { return names.size(); }

  // The named positions, for a reader that passes a main line's positions itself and keeps the
  // index of the last one named, and the name of such an index.
  const OpeningPositions& Positions() const { return positions; }
  std::string_view Name(int32_t index) const {
    return index >= 0 && size_t(index) < names.size() ? std::string_view(names[size_t(index)]) : std::string_view();
  }

 private:
  OpeningPositions positions;
  std::vector<std::string> names;
};

// "Sicilian Defense: Najdorf Variation" as the Opening "Sicilian Defense" and the Variation
// "Najdorf Variation"; a name without ": " is an Opening alone.
std::pair<std::string_view, std::string_view> SplitOpeningName(std::string_view name);

// Sets the Opening tag, and the Variation tag when the name has one, in place or after the other
// tags; a Variation tag the game held goes when the name has none (it would name another line).
void SetOpeningTags(TGamesTagArray& tags, std::string_view name);
