// Which games a job writes, decided one game at a time in the order they are saved: those the
// filters pass and the search matches (inverted: those it does not), numbered by their place in
// the list, at most --stop-after of them. The filters come first, so that the limit counts games
// that are written. Saving a list and saving while reading decide alike through it.
#pragma once

#include <cstdint>

#include "job/job_state.h"
#include "options/processing_options.h"
#include "pgn/game_search.h"

class GameSelector {
 public:
  GameSelector(const TProcessingOptions& filters, const GameSearch& rules) : options(filters), search(rules) {}

  // Whether the game numbered `number` is written; a game left out is counted in `counts`
  // (filteredOut, or pastStopAfter once the limit is reached).
  bool Selects(TGame& entry, int64_t number, JobCounts& counts);

 private:
  const TProcessingOptions& options;
  const GameSearch& search;
  int64_t chosen = 0;
};
