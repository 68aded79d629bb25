#include "job/game_selector.h"

#include "pgn/game_filters.h"

bool GameSelector::Selects(TGame& entry, int64_t number, JobCounts& counts) {
  if (!search.Active()) {
    if (GameFilterPasses(entry, options)) return true;
    ++counts.filteredOut;
    return false;
  }
  if ((GameFilterPasses(entry, options) && search.Matches(entry, number)) == search.invert) {
    ++counts.filteredOut;
    return false;
  }
  if (search.stopAfter > 0 && chosen >= search.stopAfter) {
    ++counts.pastStopAfter;
    return false;
  }
  ++chosen;
  return true;
}
