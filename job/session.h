// The plug-in's session as a value: the listed games, the user's choices for the next job, the
// running job's state and the selection, with what a click does to them. The plug-in owns the one
// session; here it is only passed in, so that everything a click sets off is testable natively.
#pragma once

#include <filesystem>

#include "job/game_list.h"
#include "job/job.h"
#include "options/processing_options.h"
#include "services/host.h"

// The plug-in's view of the running job: its progress, and what its jobs did so far.
struct TJobState : JobProgress, JobResult {
  JobKind kind = JobKind::LoadFile;
  int32_t folderReaders = 0;
};

// The choices (options, output path, mode) come first, so that the settings file and the
// output-path field take the session where they take the choices.
struct TSession : TJobChoices {
  TGameList GameList;
  TJobState JobState;
  TIndexArray Selection;  // the entries a processing job works on, in writing order before sorting
  // The program the session runs in, which its jobs and questions go to (not owned).
  Host* Services = &QuietHost();
};

// The request a job of `kind` makes from the session: a load reads `input` (a file or a folder),
// processing writes the session's Selection under its output path.
JobRequest MakeJobRequest(const TSession& session, JobKind kind, const std::filesystem::path& input = {});

// Runs the job on the session's list while `wait` waits, and adds what it did to JobState.
void StartJob(TSession& session, JobKind kind, ModalWait& wait, const std::filesystem::path& input = {});

// The entries to process, in display order: the highlighted ones, or all of them; with exactly
// one highlighted the host asks whether to work with that one. Empty: no job.
TIndexArray BuildSelection(TGameList& list, Host& host);

// MergeNewGames with the session's options, counted into its JobState (the transfers from the
// host).
void MergeNewGames(TSession& session, TGames& fresh);
