// The batch job: reading a file or a folder into a game list, or processing chosen games and
// writing them into output files. A job is a function of its request: RunJob. The plug-in's
// session (job/session.h) is a thin layer over it.
#pragma once

#include <filesystem>

#include "job/game_list.h"
#include "job/job_request.h"
#include "job/job_state.h"

class Host;

// Runs one job on the calling thread, on `list`, showing its progress in `progress` and stopping
// early when progress.stopRequested is set. `services` answers the job's questions to the
// program it runs in (the longest path a name may have, how lists grow).
JobResult RunJob(TGameList& list, const JobRequest& request, Host& services, JobProgress& progress);

// How the caller waits for a job: the plug-in in its progress window, the command line with a
// progress line. It returns when the stage is Done and may request a stop meanwhile.
class ModalWait {
 public:
  virtual ~ModalWait() = default;
  virtual void WaitUntilDone(JobProgress& progress) = 0;
};

// Waits without showing anything.
class PlainWait : public ModalWait {
 public:
  void WaitUntilDone(JobProgress& progress) override;
};

// Runs the job on a worker thread while `wait` waits for it on this one.
JobResult RunJobWhileWaiting(TGameList& list, const JobRequest& request, Host& services, JobProgress& progress,
                             ModalWait& wait);

// Appends new games to the list, dropping repeats of entries already there (same source file and
// position) and, with `removeDuplicates`, duplicates of listed games and of each other; counts
// what it drops and merges into `counts`. The duplicates dropped go into `duplicatesDropped`
// when given.
void MergeNewGames(TGameList& list, TGames& fresh, bool removeDuplicates, JobCounts& counts,
                   JobProgress* progress = nullptr, TGames* duplicatesDropped = nullptr);
