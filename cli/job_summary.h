// What pgnutil tells at the end of its jobs: the counts and the games skipped by reason.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "job/job_state.h"
#include "options/processing_options.h"

// The summary, one line each: games and files read (with repeats and duplicates dropped), games
// (and stretches of text that were no game) skipped by reason, names renamed (when renaming was asked for), games
// filtered out, games and files written (with files appended to), games that could not be
// written by reason.
std::string JobSummary(const JobCounts& counts, const std::vector<SkippedGame>& skipped,
                       const std::vector<UnwrittenGame>& unwritten, std::optional<int> renamed);

// When the filters left no game and a player's name was among them: a reminder that names are
// matched exactly (the usual reason); empty otherwise.
std::string NoGameHint(const JobCounts& counts, const TProcessingOptions& options);

// Whether the reader skipped text that was no game (rather than a damaged game).
bool IsStrayText(const SkippedGame& skipped);
