// Ordering the games of a processing job so that the games of each output file stand together;
// with the split by player, every game is listed under its White and under its Black player.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "options/processing_options.h"
#include "pgn/output_split.h"
#include "pgn/pgn_types.h"

// Sorts the selection for output into `result` (longer than the selection with the player
// split, whose groups go to `work`). Stops early, leaving a partial order, when `stop` is set;
// `progress` counts the work done for the progress display. `stepByStep` sorts runs of games
// told apart only by position one partition at a time, as the fast path replaces (for tests).
void SortForOutput(TGames& entries, const std::vector<int32_t>& selection, std::vector<int32_t>& result,
                   SplitWork& work, const TProcessingOptions& options, const std::atomic<bool>* stop = nullptr,
                   std::atomic<int32_t>* progress = nullptr, bool stepByStep = false);
