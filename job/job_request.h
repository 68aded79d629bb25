// What one job is asked to do, what it did, and what it shows while it runs: the values that
// cross between a front end (the plug-in's panel, pgnutil, a test) and the job.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <vector>

#include "io/byte_source.h"
#include "job/job_state.h"
#include "options/output_form.h"
#include "options/processing_options.h"
#include "pgn/game_search.h"
#include "pgn/opening_names.h"

using TIndexArray = std::vector<int32_t>;

struct JobRequest {
  JobKind kind = JobKind::LoadFile;
  std::filesystem::path input;             // LoadFile: the file; LoadFolder: the folder
  std::FILE* inputStream = nullptr;        // LoadFile: read this stream instead (`input` names it)
  TIndexArray selection;                   // ProcessAndSave: the entries to write, in order before sorting
  TProcessingOptions options;              // a copy: the job never sees them change
  OutputForm form;                         // ProcessAndSave: the format written and the writer's knobs
  const OpeningNames* openings = nullptr;  // ProcessAndSave: names for Opening tags, when added
  GameSearch search;                       // beyond the options' filters: positions looked for while loading,
                                           // the games ProcessAndSave selects
  std::filesystem::path outputBase;        // ProcessAndSave: the output path without ".pgn"
  bool outputBaseIsFile = false;           // ProcessAndSave: outputBase is the one file itself (a pipe, a device)
  int64_t memoryLimit = 0;                 // bytes of parsed games kept in the list; 0: the list's own
  int32_t readerThreads = 0;               // files (or pieces of one) read at once; 0: one per core, at most four
  int64_t readingWindow = 0;               // bytes of a file's text read at once; 0: a few megabytes
  // The games the search leaves out are written too (beside the output): none is left out while
  // reading.
  bool keepsGamesLeftOut = false;
  // LoadFile: the games are written as they are read into the output (outputBase, form and
  // openings as ProcessAndSave takes them), in the file's order, and never join the list. Only
  // for output in one file (no split) whose games are named by nothing read after them.
  bool savesWhileReading = false;
  // LoadFile, LoadFolder: the games are read without their comments, which nothing will write
  // (the options remove them) or show (the list is not kept after the job's writing).
  bool dropsComments = false;
  // Loading with duplicates removed: receives the duplicates dropped, in input order, instead of
  // their being let go (the list's memory budget still counts them).
  TGames* duplicatesDropped = nullptr;
};

// What a job did. Results of several jobs add up.
struct JobResult {
  JobCounts counts;
  std::vector<SkippedGame> skipped;
  std::vector<UnwrittenGame> unwritten;
  std::vector<UnreadableFile> unreadableFiles;
  std::vector<WriteFailure> writeFailures;
  std::vector<SpoolShortfall> spoolShortfalls;
  bool stopped = false;  // a stop request ended it early

  void Add(JobResult&& later);
};

// What a running job shows and what stops it: the one thing the job's thread and the one waiting
// for it share. Counters are atomics read without a lock; the current file under a mutex.
class JobProgress {
 public:
  std::atomic<JobStage> stage{JobStage::Done};
  std::atomic<bool> stopRequested{false};
  std::atomic<int64_t> loadPosition{0}, loadSize{0};  // in the file being read, as stored (compressed)
  std::atomic<int64_t> loadText{0};                   // bytes of its text so far (unpacked)
  std::atomic<Compression> loadCompression{Compression::None};
  std::atomic<int32_t> stepPosition{0}, stepCount{0};  // in the stages after loading
  std::atomic<int64_t> bytesRead{0};                   // of the files read and merged so far
  std::atomic<int64_t> gamesWritten{0};

  void SetFile(const std::filesystem::path& path);
  std::filesystem::path File() const;

  // The job's last step: the stage becomes Done, and whoever waits for it wakes at once.
  void MarkDone();
  // Waits until the stage is Done, at most `patience`; whether it is.
  bool WaitUntilDone(std::chrono::milliseconds patience);

  // Called by the job on each stage it enters (step 0) and before each game it saves (its
  // position); tests use it to stop a job at a chosen point.
  std::function<void(JobStage, int32_t)> observer;

 private:
  mutable std::mutex mutex;
  std::filesystem::path file;    // being read, or being written
  std::condition_variable done;  // the stage became Done (under `mutex`)
};
