// The plug-in's module state around the job: one job state, one selection, and StartJob, which
// turns them and the plug-in's options into a request and adds the result back.
#include "job/job.h"
#include "options/processing_options.h"
#include "services/host.h"

TJobState JobState;
TIndexArray Selection;

void StartJob(JobKind kind, ModalWait& wait) {
  JobRequest request;
  request.kind = kind;
  request.options = ProcessingOptions;
  request.readerThreads = JobState.folderReaders;
  switch (kind) {
    case JobKind::LoadFile:
      request.input = JobState.currentPath;
      break;
    case JobKind::LoadFolder:
      request.input = JobState.folderPath;
      break;
    case JobKind::ProcessAndSave:
      request.selection = Selection;
      request.outputBase = JobState.currentPath;
      break;
  }
  JobState.kind = kind;
  JobResult result = RunJobWhileWaiting(GameList, request, JobState, wait);
  HostLockGuard lock;
  JobState.Add(std::move(result));
}

void RequestStop() { JobState.stopRequested = true; }

TIndexArray BuildSelection(TGameList& list) {
  TIndexArray highlighted;
  for (int32_t index : list.displayOrder)
    if (index >= 0 && size_t(index) < list.highlight.size() && list.highlight[size_t(index)])
      highlighted.push_back(index);
  if (highlighted.empty()) return list.displayOrder;
  if (highlighted.size() >= 2) return highlighted;
  switch (CurrentHost().AskProcessOneGame()) {
    case Host::Answer::Yes:
      return highlighted;
    case Host::Answer::No:
      return list.displayOrder;
    default:
      return {};
  }
}

void MergeNewGames(TGameList& list, TGames& fresh) {
  JobCounts counts;
  MergeNewGames(list, fresh, ProcessingOptions.removeDuplicates, counts);
  JobResult merged;
  merged.counts = counts;
  HostLockGuard lock;
  JobState.Add(std::move(merged));
}
