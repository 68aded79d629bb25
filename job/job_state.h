// The kinds and stages of a batch job, and the records of what it did.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "pgn/game_reader.h"

enum class JobKind : uint8_t { LoadFile = 0, LoadFolder = 1, ProcessAndSave = 2 };

enum class JobStage : uint8_t {
  Starting = 0,
  Loading = 1,
  FilteringDuplicates = 2,
  Saving = 3,
  Sorting = 4,
  LoadingPending = 5,
  ApplyingFilters = 6,
  Finishing = 7,
  Done = 8,
};

// "Start working...", "Load games...", and so on: what the progress display shows per stage.
const char* StageText(JobStage stage);

// An output file that could not be written, and the system's reason.
struct WriteFailure {
  std::filesystem::path path;
  std::string reason;
};

// A file that could not be read, or not to its end, and why.
struct UnreadableFile {
  std::filesystem::path path;
  std::string reason;
  int64_t bytesRead = 0;  // of its text before the failure: the games there were kept
};

// A game chosen for writing that could not be written: it could not be read again from its
// file, or its file no longer holds it there.
struct UnwrittenGame {
  std::filesystem::path file;
  int64_t position = 0;  // 1-based byte position of the game in that file
  std::string reason;
};

// Games of a compressed file or a stream that the memory budget let go but that stayed in
// memory: the spool on disk that should have held them could not.
struct SpoolShortfall {
  std::filesystem::path file;
  std::string reason;
  int32_t games = 0;
};

// A game, or a stretch of damaged text, that the reader skipped.
struct SkippedGame {
  std::filesystem::path file;
  ReadIssue issue;
};

// What a job did, for the summary the command line prints.
struct JobCounts {
  int64_t filesRead = 0, filesUnreadable = 0;
  int64_t gamesRead = 0, repeats = 0, duplicates = 0, merged = 0;
  int64_t filteredOut = 0, written = 0, outputFiles = 0;
  int64_t pastStopAfter = 0;        // games that matched after the search had as many as it wanted
  int64_t outputFilesAppended = 0;  // output files that existed before and were appended to
  int64_t lostToWriteFailures = 0;  // games meant for files that could not be written
  int64_t bytesRead = 0;            // of the files read and merged
};
