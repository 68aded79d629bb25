// Which games are kept: the result, date, player, Elo, ECO and move-count filters of the
// panel's "Filters" page, and the date key and Elo values other parts use too.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "options/processing_options.h"
#include "pgn/game_reader.h"
#include "pgn/pgn_types.h"

// The date key of a Date tag value ("1990.05.17"), 0 when it holds no usable date.
int32_t DateKeyOf(std::string_view text);

struct EloValues {
  int32_t white = 0;
  int32_t black = 0;
};

// The Elo range of one colour that the output splitter collects over the games it splits.
struct EloRange {
  int32_t minimum = 100000;
  int32_t maximum = 0;
};
struct CollectedElo {
  EloRange white, black;
  // Widens the ranges with the values inside the filter's bounds.
  void Widen(const EloValues& elo, const TProcessingOptions& options);
};

// White's and Black's Elo (0 when unknown) from the tags beyond the roster.
EloValues EloValuesOf(const TGamesTagArray& tags);

// Result, date, players and Elo, stopping at the first that fails.
bool TagFilterPasses(const TGamesTagArray& tags, const TProcessingOptions& options);
// The main line's length in half-moves against the move bounds; a missing record fails.
bool MoveCountPasses(const TGame& entry, const TProcessingOptions& options);
// The game's ECO code (found or recomputed) begins with the wanted prefix.
bool EcoFilterPasses(TGame& entry, bool recompute, const TProcessingOptions& options);
// Tags, then move count, then ECO without recomputation.
bool GameFilterPasses(TGame& entry, const TProcessingOptions& options);
// The indexes, in order, whose entries pass the game filter.
std::vector<int32_t> FilterList(TGames& entries, const std::vector<int32_t>& indexes,
                                const TProcessingOptions& options);

// The filters a folder load applies while reading, from the current options.
class OptionFilters : public GameFilter {
 public:
  explicit OptionFilters(const TProcessingOptions& o) : options(o) {}
  bool TagsPass(const TGamesTagArray& tags) override { return TagFilterPasses(tags, options); }
  bool MoveCountPasses(const TGame& entry) override { return ::MoveCountPasses(entry, options); }
  bool EcoPasses(TGame& entry) override { return EcoFilterPasses(entry, true, options); }
  bool NeedMoves(bool filtering) const override;

 private:
  const TProcessingOptions& options;
};
