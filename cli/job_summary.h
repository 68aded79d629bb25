// What pgnutil tells at the end of its jobs: the counts, the games skipped by reason, and every
// file whose reading stopped before its end.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "job/job_state.h"
#include "panel/processing_options.h"

// The summary, one line each: games and files read (with repeats and duplicates dropped), games
// skipped by reason, names renamed (when renaming was asked for), games filtered out, games and
// files written.
std::string JobSummary(const JobCounts& counts, const std::vector<SkippedGame>& skipped, std::optional<int> renamed);

// One line for each file whose reading stopped: where, why, and what was not read.
std::vector<std::string> StopNotices(const std::vector<SkippedGame>& skipped);

// When the filters left no game and a player's name was among them: a reminder that names are
// matched exactly (the usual reason); empty otherwise.
std::string NoGameHint(const JobCounts& counts, const TProcessingOptions& options);

// Whether the reader stopped there (rather than skipping one game).
bool StoppedReading(const SkippedGame& skipped);
