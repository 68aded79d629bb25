// Reading options as a job reads: every game packed as it is read, under a budget nothing
// reaches, and summarised (its ECO code only when asked).
#pragma once

#include <cstdint>

#include "pgn/game_reader.h"
#include "pgn/memory_budget.h"

namespace sample {

// `budget` must outlive the options' use.
inline ReadOptions JobReading(MemoryBudget& budget, bool findEco = false) {
  budget.limit = int64_t(1) << 40;
  ReadOptions options;
  options.budget = &budget;
  options.summarise = true;
  options.findEco = findEco;
  return options;
}

}  // namespace sample
