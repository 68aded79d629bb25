// The state of the running batch job, shared by the worker, the user interface and the progress
// display. Stage, stop flag and counters are read without the lock; the paths under it.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
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

// A file that could not be read, and why.
struct UnreadableFile {
  std::filesystem::path path;
  std::string reason;
};

// A game chosen for writing that could not be written: it could not be read again from its
// file, or its file no longer holds it there.
struct UnwrittenGame {
  std::filesystem::path file;
  int32_t position = 0;  // 1-based byte position of the game in that file
  std::string reason;
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
  int64_t outputFilesAppended = 0;  // output files that existed before and were appended to
  int64_t lostToWriteFailures = 0;  // games meant for files that could not be written
  int64_t bytesRead = 0;            // of the files read and merged
};

struct TJobState {
  JobKind kind = JobKind::LoadFile;
  std::atomic<JobStage> stage{JobStage::Done};
  std::atomic<bool> stopRequested{false};
  std::atomic<int64_t> loadPosition{0}, loadSize{0};
  std::atomic<int32_t> stepPosition{0}, stepCount{0};
  // Under the host's lock.
  std::filesystem::path currentPath;
  std::filesystem::path folderPath;
  std::u16string basePath;
  std::vector<WriteFailure> writeFailures;
  std::vector<UnreadableFile> unreadableFiles;
  std::vector<SkippedGame> skipped;
  std::vector<UnwrittenGame> unwritten;
  JobCounts counts;
  // Threads reading the files of a folder at once, or the pieces of a file loaded alone; 0: one
  // per core, at most four.
  int32_t folderReaders = 0;
  // Called by the worker on each stage it enters (step 0) and before each game it saves (its
  // position); tests use it to stop a job at a chosen point.
  std::function<void(JobStage, int32_t)> observer;
};

extern TJobState JobState;
