#include "job/job_request.h"

#include <iterator>
#include <utility>

void JobResult::Add(JobResult&& later) {
  JobCounts& c = counts;
  const JobCounts& l = later.counts;
  c.filesRead += l.filesRead;
  c.filesUnreadable += l.filesUnreadable;
  c.gamesRead += l.gamesRead;
  c.repeats += l.repeats;
  c.duplicates += l.duplicates;
  c.merged += l.merged;
  c.filteredOut += l.filteredOut;
  c.pastStopAfter += l.pastStopAfter;
  c.written += l.written;
  c.outputFiles += l.outputFiles;
  c.outputFilesAppended += l.outputFilesAppended;
  c.lostToWriteFailures += l.lostToWriteFailures;
  c.bytesRead += l.bytesRead;
  auto append = [](auto& to, auto& from) { std::move(from.begin(), from.end(), std::back_inserter(to)); };
  append(skipped, later.skipped);
  append(unwritten, later.unwritten);
  append(unreadableFiles, later.unreadableFiles);
  append(writeFailures, later.writeFailures);
  append(spoolShortfalls, later.spoolShortfalls);
  stopped = stopped || later.stopped;
}

void JobProgress::SetFile(const std::filesystem::path& path) {
  std::lock_guard<std::mutex> hold(mutex);
  file = path;
}

std::filesystem::path JobProgress::File() const {
  std::lock_guard<std::mutex> hold(mutex);
  return file;
}

void JobProgress::MarkDone() {
  {
    std::lock_guard<std::mutex> hold(mutex);
    stage = JobStage::Done;
  }
  done.notify_all();
}

bool JobProgress::WaitUntilDone(std::chrono::milliseconds patience) {
  std::unique_lock<std::mutex> hold(mutex);
  return done.wait_for(hold, patience, [&] { return stage.load() == JobStage::Done; });
}
