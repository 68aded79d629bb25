#include "job/session.h"

#include "services/host.h"

JobRequest MakeJobRequest(const TSession& session, JobKind kind, const std::filesystem::path& input) {
  JobRequest request;
  request.kind = kind;
  request.options = session.ProcessingOptions;
  request.readerThreads = session.JobState.folderReaders;
  if (kind == JobKind::ProcessAndSave) {
    request.selection = session.Selection;
    request.outputBase = std::filesystem::path(session.outputBase);
  } else {
    request.input = input;
  }
  return request;
}

void StartJob(TSession& session, JobKind kind, ModalWait& wait, const std::filesystem::path& input) {
  const JobRequest request = MakeJobRequest(session, kind, input);
  session.JobState.kind = kind;
  JobResult result = RunJobWhileWaiting(session.GameList, request, *session.Services, session.JobState, wait);
  HostLockGuard lock;
  session.JobState.Add(std::move(result));
}

TIndexArray BuildSelection(TGameList& list, Host& host) {
  TIndexArray highlighted;
  for (int32_t index : list.displayOrder)
    if (index >= 0 && size_t(index) < list.highlight.size() && list.highlight[size_t(index)])
      highlighted.push_back(index);
  if (highlighted.empty()) return list.displayOrder;
  if (highlighted.size() >= 2) return highlighted;
  switch (host.AskProcessOneGame()) {
    case Host::Answer::Yes:
      return highlighted;
    case Host::Answer::No:
      return list.displayOrder;
    default:
      return {};
  }
}

void MergeNewGames(TSession& session, TGames& fresh) {
  JobCounts counts;
  MergeNewGames(session.GameList, fresh, session.ProcessingOptions.removeDuplicates, counts);
  JobResult merged;
  merged.counts = counts;
  HostLockGuard lock;
  session.JobState.Add(std::move(merged));
}
