// A job whose output keeps the input's order written as its games are read, window by window,
// instead of after the whole input: a copy of one file (filtered, searched, without duplicates,
// in any format) holds a window of games at a time, never the collection, and its writing runs
// beside the reading of the next window.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "job/formatted_block.h"
#include "job/game_selector.h"
#include "job/job_request.h"
#include "job/output_queue.h"
#include "pgn/output_split.h"
#include "services/host.h"

class SaveWhileReading {
 public:
  // Writes into the request's output (one file: no split), the games of the file `source`;
  // `gamesBefore` games were listed before them (the first is numbered gamesBefore + 1).
  SaveWhileReading(const JobRequest& request, Host& services, const std::filesystem::path& source,
                   JobProgress& progress, int64_t gamesBefore);
  SaveWhileReading(const SaveWhileReading&) = delete;
  SaveWhileReading& operator=(const SaveWhileReading&) = delete;

  // Takes the next games read, in order, after the duplicate check: their ECO codes, filters and
  // search as saving a list applies them, then their texts into the output. The games go.
  void Take(TGames& games);

  // Ends the writing: the file goes in place, or with `finished` false (a stop) is dropped
  // with what went out of it.
  OutputQueue::Outcome Close(bool finished);

  int64_t Taken() const { return taken; }
  // What the saving did: games written (before write failures), left out by the filters and
  // the search, and selected past --stop-after.
  const JobCounts& Counts() const { return counts; }
  std::vector<UnwrittenGame>& Unwritten() { return unwritten; }

 private:
  const JobRequest& request;
  Host& services;
  JobProgress& progress;
  const int64_t gamesBefore;
  int64_t taken = 0;  // games taken so far: the next one's number is gamesBefore + taken + 1
  GameSelector selector;
  JobCounts counts;
  std::vector<UnwrittenGame> unwritten;
  OutputQueue output;
  OutputBuffer buffer;
  FormattedBlock block;
  std::filesystem::path file;  // named by the first game written
  int64_t gamesInFile = 0;
};
