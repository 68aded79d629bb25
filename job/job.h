// The batch job: reading a file or a folder into the game list, or processing the chosen games
// and writing them into output files, on a worker thread while the caller waits.
#pragma once

#include <filesystem>

#include "job/game_list.h"
#include "job/job_state.h"

// How the caller waits for a job: the plug-in in its progress window, the command line with a
// progress line. It returns when the stage is Done and may request a stop meanwhile.
class ModalWait {
 public:
  virtual ~ModalWait() = default;
  virtual void WaitUntilDone(TJobState& state) = 0;
};

// Waits without showing anything.
class PlainWait : public ModalWait {
 public:
  void WaitUntilDone(TJobState& state) override;
};

// The entries a processing job works on, in writing order before sorting.
extern TIndexArray Selection;

// Runs one job of the kind on the global game list: JobState.currentPath names the file (LoadFile),
// JobState.folderPath the folder (LoadFolder); ProcessAndSave writes Selection to outputBase.
void StartJob(JobKind kind, ModalWait& wait);
void RequestStop();

// The entries to process, in display order: the highlighted ones, or all of them; with exactly
// one highlighted the host asks whether to work with that one. Empty: no job.
TIndexArray BuildSelection(TGameList& list);

// Reads one PGN file into new games (filtering while reading when `filter` is set).
void ReadOneFile(const std::filesystem::path& path, bool filter, TGames& fresh, MemoryBudget* budget = nullptr);

// Appends new games to the list, dropping repeats of entries already there (same source file and
// position) and, with "Duplicates" on, duplicates of listed games and of each other.
void MergeNewGames(TGameList& list, TGames& fresh);
