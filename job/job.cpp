#include "job/job.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <unordered_set>
#include <utility>

#include "io/file_read.h"
#include "job/formatted_block.h"
#include "job/output_files.h"
#include "job/read_ahead.h"
#include "options/processing_options.h"
#include "pgn/eco_tags.h"
#include "pgn/entry_prefetch.h"
#include "pgn/game_filters.h"
#include "pgn/grouping_sort.h"
#include "pgn/output_split.h"
#include "pgn/pgn_writer.h"
#include "plugin/host.h"

TIndexArray Selection;

namespace {

bool Stopped() { return JobState.stopRequested.load(); }

// The threads that read files: as the job state asks, else one per processor, at most four.
size_t ReaderThreads() {
  return JobState.folderReaders > 0 ? size_t(JobState.folderReaders)
                                    : std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
}

// The worker's stage changes and saving steps, seen by the observer when one is set.
void Enter(JobStage stage) {
  JobState.stage = stage;
  if (JobState.observer && stage != JobStage::Done) JobState.observer(stage, 0);
}

// Whether a name ends in ".pgn", whatever the case (as the system's file search matches it).
bool IsPgnName(const std::filesystem::path& name) {
  std::string extension = name.extension().string();
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".pgn";
}

// An output file's text is written out in pieces of about this size, so that a file of
// hundreds of megabytes never sits whole in memory.
constexpr size_t OutputPieceSize = size_t(16) << 20;

// Writes what is left of the current output file and makes it the target.
// `games` went into it since it was begun: a file that failed holds none of them (it is left
// as it was), and they are not counted as written.
void FinishOutputFile(const std::filesystem::path& path, std::unique_ptr<OutputFileWriter>& writer,
                      const OutputBuffer& buffer, OutputFileSet& files, int64_t& games) {
  if (!writer) writer = files.Begin(path);
  writer->Write(buffer);
  const WriteResult result = writer->Finish();
  writer.reset();
  files.Finished(path, result);
  HostLockGuard lock;
  if (!result.ok) {
    JobState.counts.written -= games;
    JobState.counts.lostToWriteFailures += games;
  }
  games = 0;
  JobState.counts.outputFiles = files.FileCount();
  JobState.counts.outputFilesAppended = files.AppendedToExisting();
  if (!result.ok) JobState.writeFailures.push_back(WriteFailure{path, result.error});
}

// The files the games of `order` come from: those the job may read again while it writes.
std::vector<std::filesystem::path> SourcesOf(const TGames& entries, const std::vector<int32_t>& order) {
  std::vector<std::filesystem::path> sources;
  SourcePath last;
  for (int32_t index : order) {
    const SourcePath& source = entries[size_t(index)].sourcePath;
    if (source.empty() || source.SharesCopyWith(last)) continue;
    last = source;
    sources.push_back(source);
  }
  std::sort(sources.begin(), sources.end());
  sources.erase(std::unique(sources.begin(), sources.end()), sources.end());
  return sources;
}

// Why a game chosen for writing could not be read again from its file.
std::string WhyNotReadAgain(const TGame& entry) {
  std::error_code error;
  const std::filesystem::path& path = entry.sourcePath;
  if (!std::filesystem::exists(path, error)) return "its file is gone";
  const auto size = std::filesystem::file_size(path, error);
  if (!error && size < uintmax_t(entry.sourcePosition) + uintmax_t(entry.sourceLength) - 1)
    return "its file is shorter than when it was read";
  return "its file changed since it was read, or cannot be read";
}

// One file read into games, apart from the list and the job state, so that several files can
// be read at once.
struct FileRead {
  std::atomic<int64_t> size{0};      // bytes of the file, once read (when read ahead)
  std::atomic<int64_t> position{0};  // how far the reader has come (when read ahead)
  bool readable = true;
  ReadError error = ReadError::None;  // why it was not readable
  int64_t bytes = 0;                  // of the file's text
  TGames games;
  ReadReport report;
};

// Reads a file into `read`, showing its size and the position reached in `size` and `position`.
void ReadFileGames(const std::filesystem::path& path, bool filter, MemoryBudget* budget, int32_t growthStep,
                   FileRead& read, std::atomic<int64_t>& size, std::atomic<int64_t>& position, size_t threads) {
  std::string text;
  read.error = readfile(path, text);
  if (read.error != ReadError::None) {
    read.readable = false;
    return;
  }
  read.bytes = size = int64_t(text.size());
  position = 1;
  OptionFilters filters(ProcessingOptions);
  ReadOptions options;
  options.filter = filter;
  options.filters = &filters;
  options.stop = &JobState.stopRequested;
  options.progress = &position;
  options.sourcePath = path;
  options.report = &read.report;
  options.budget = budget;
  options.growthStep = growthStep;
  // ECO codes wanted later are found now, on the reading threads, while the games are at hand.
  const TProcessingOptions& o = ProcessingOptions;
  options.summarise = o.addEcoNames || o.splitEcoLevel > 0 || !o.ecoOpening.empty();
  ReadGamesInPieces(text, read.games, options, threads);
}

// Counts a file read into the job's figures and hands its games over.
void RecordFileRead(const std::filesystem::path& path, FileRead& read, TGames& fresh) {
  HostLockGuard lock;
  if (!read.readable) {
    JobState.unreadableFiles.push_back(UnreadableFile{path, Describe(read.error)});
    ++JobState.counts.filesUnreadable;
    return;
  }
  ++JobState.counts.filesRead;
  JobState.counts.bytesRead += read.bytes;
  JobState.counts.gamesRead += int64_t(read.games.size());
  JobState.counts.filteredOut += read.report.filteredOut;
  for (ReadIssue& issue : read.report.issues) JobState.skipped.push_back(SkippedGame{path, std::move(issue)});
  fresh = std::move(read.games);
}

// Reads again the games let go that are written from position `p` of `order` on, as many as a
// quarter of the memory budget holds (at least one), with one read per stretch of each file.
// `pending` counts, per entry, the positions read for that are not written yet: a game written
// into two files is read once for both, and let go after the last.
void ReloadAhead(TGameList& list, const std::vector<int32_t>& order, size_t p, std::vector<bool>& tried,
                 std::vector<int32_t>& pending) {
  const int64_t allowance = std::max<int64_t>(1, list.memory.limit / 4);
  int64_t estimate = 0;
  std::map<std::filesystem::path, std::vector<int32_t>> byFile;
  for (size_t q = p; q < order.size() && estimate < allowance; ++q) {
    const size_t index = size_t(order[q]);
    const TGame& entry = list.entries[index];
    if (tried[q] || !entry.summary.known || (entry.game && pending[index] == 0)) continue;
    tried[q] = true;
    if (pending[index]++ > 0) continue;  // already being read for an earlier position
    estimate += int64_t(entry.summary.plies) * int64_t(sizeof(mov)) + entry.sourceLength;
    byFile[entry.sourcePath].push_back(order[q]);
  }
  for (const auto& [path, indexes] : byFile) {
    std::vector<bool> done;
    RereadGames(path, list.entries, indexes, 0, done);
  }
}

void ProcessAndSave(TGameList& list, const std::u16string& base) {
  const TProcessingOptions& options = ProcessingOptions;
  std::vector<bool> done;
  {
    HostLockGuard lock;
    JobState.stepCount = int32_t(Selection.size());
    done.assign(Selection.size(), false);
  }
  JobState.stepPosition = 0;
  Enter(JobStage::LoadingPending);
  for (size_t p = 0; p < Selection.size(); ++p) {
    JobState.stepPosition = int32_t(p);
    const int32_t index = Selection[p];
    if (done[p] || index < 0 || size_t(index) >= list.entries.size()) continue;
    const TGame& entry = list.entries[size_t(index)];
    // Games let go to save memory keep what sorting and filtering need; they are read again
    // only when their text is written.
    if (!entry.game && !entry.summary.known && entry.sourcePosition > 0)
      RereadGames(entry.sourcePath, list.entries, Selection, p, done);
  }

  // Codes found from the moves go into the tags before sorting, so that the order, the file
  // boundaries, the file names and the written tags all see the same code.
  if (options.addEcoNames) {
    for (size_t p = 0; p < Selection.size(); ++p) {
      HostLockGuard lock;
      PrefetchEntries(list.entries, Selection, p);
      const int32_t index = Selection[p];
      if (index < 0 || size_t(index) >= list.entries.size()) continue;
      TGame& entry = list.entries[size_t(index)];
      if (entry.game || entry.summary.known) RefreshEcoTag(entry, true);
    }
  }

  Enter(JobStage::Sorting);
  SplitWork work;
  std::vector<int32_t> result;
  SortForOutput(list.entries, Selection, result, work, options, &JobState.stopRequested, &JobState.stepPosition);
  if (!Stopped()) {
    Enter(JobStage::ApplyingFilters);
    const size_t before = result.size();
    result = FilterList(list.entries, result, options);
    HostLockGuard lock;
    JobState.counts.filteredOut += int64_t(before - result.size());
  }
  if (!Stopped()) {
    OutputBuffer buffer;
    std::unique_ptr<OutputFileWriter> writer;  // the current file, once a piece went out
    OutputFileSet files(!options.doNotRewrite, SourcesOf(list.entries, result));
    work.currentGroup = 0;
    JobState.stepCount = int32_t(result.size());
    JobState.stepPosition = 0;
    Enter(JobStage::Saving);
    bool filled = false;      // text went into the buffer during this stage
    int64_t gamesInFile = 0;  // written into the current file since it was begun
    bool finished = true;
    std::vector<bool> tried(result.size(), false);         // positions whose game a reload looked for
    std::vector<int32_t> pending(list.entries.size(), 0);  // per entry: positions read for, not written
    // The games' texts are made a block ahead by two threads; what goes into which file, and
    // where a stop leaves off, is decided here one position at a time.
    FormattedBlock block;
    for (size_t p = 0; p < result.size(); ++p) {
      JobState.stepPosition = int32_t(p);
      if (JobState.observer) JobState.observer(JobStage::Saving, int32_t(p));
      if (Stopped()) {
        finished = false;  // the file being built is dropped, and what went out of it undone
        break;
      }
      HostLockGuard lock;
      PrefetchEntries(list.entries, result, p);
      if (BeginsNewFile(work, list.entries, result, p, options)) {
        if (buffer.Size() > 0 || writer) FinishOutputFile(JobState.currentPath, writer, buffer, files, gamesInFile);
        JobState.currentPath = OutputFileName(work, base, list.entries, result, p, options, CurrentHost().PathLength());
        buffer.Clear();
      }
      TGame& entry = list.entries[size_t(result[p])];
      const size_t index = size_t(result[p]);
      const bool formatted = block.Holds(p);
      if (!formatted && !entry.game && entry.summary.known && !tried[p]) ReloadAhead(list, result, p, tried, pending);
      // Its last position read for: let go again after this writing (its summary still holds).
      const bool letGoAfter = tried[p] && --pending[index] == 0;
      if (!formatted) {
        if (!entry.game) {
          // Could not be read again: never left out without a word.
          JobState.unwritten.push_back(UnwrittenGame{entry.sourcePath, entry.sourcePosition, WhyNotReadAgain(entry)});
          continue;
        }
        // With "add ECO names" the tag was refreshed before sorting; nothing has changed it since.
        block.Format(list.entries, result, p, options);
      }
      buffer.Append(block.Text(p));
      if (letGoAfter) entry.game.reset();
      filled = true;
      ++JobState.counts.written;
      ++gamesInFile;
      if (buffer.Size() >= OutputPieceSize) {
        if (!writer) writer = files.Begin(JobState.currentPath);
        writer->Write(buffer);
        buffer.Clear();
      }
    }
    // The last file is written even when it received no game after earlier ones did.
    if (finished && filled) FinishOutputFile(JobState.currentPath, writer, buffer, files, gamesInFile);
    if (!finished) JobState.counts.written -= gamesInFile;  // the file being built is dropped
    writer.reset();  // a file left unfinished by a stop is undone before the files go in place
    for (auto& [path, reason] : files.Complete()) {
      HostLockGuard lock;
      JobState.writeFailures.push_back(WriteFailure{path, reason});
    }
  }
  HostLockGuard lock;
  work.Clear();
  JobState.stage = JobStage::Done;
}

// The files of a folder are read by several threads at once, each file into its own games;
// the worker merges them one by one in name order, so the list comes out exactly as if one
// thread had read the files in turn. A few files at most are read ahead of the merge.
void FolderScan(TGameList& list) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (std::filesystem::directory_iterator it(JobState.folderPath, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code kind;
    if (it->is_regular_file(kind) && IsPgnName(it->path().filename())) files.push_back(it->path());
  }
  if (error) {
    // A folder that cannot be listed (whole or in part) is named, never passed over in silence.
    HostLockGuard lock;
    JobState.unreadableFiles.push_back(
        UnreadableFile{JobState.folderPath, "the folder cannot be listed: " + error.message()});
    ++JobState.counts.filesUnreadable;
  }
  std::sort(files.begin(), files.end());  // a stable order from one system to another
  const size_t readers = ReaderThreads();
  const int32_t growthStep = CurrentHost().GrowthStep();  // asked here: the readers never query the host
  PrepareConcurrentReading();
  std::unique_ptr<FileRead[]> reads(new FileRead[files.size()]);
  // Up to four files a reader in front of the merge, so that a large file does not hold the
  // other readers up; what they read waits as parsed games, which the memory budget counts.
  ReadAhead ahead(
      files.size(), readers,
      [&](size_t k) {
        if (!Stopped())
          ReadFileGames(files[k], true, &list.memory, growthStep, reads[k], reads[k].size, reads[k].position, 1);
      },
      4 * readers);
  for (size_t k = 0; k < files.size(); ++k) {
    {
      HostLockGuard lock;
      JobState.currentPath = files[k];  // no trailing NUL: the same file opened alone is the same source
    }
    if (Stopped()) break;
    JobState.loadSize = 0;
    JobState.loadPosition = 0;
    Enter(JobStage::Loading);
    // The progress display follows the file awaited while it is read.
    ahead.Wait(k, [&] {
      JobState.loadSize = reads[k].size.load();
      JobState.loadPosition = reads[k].position.load();
    });
    JobState.loadSize = reads[k].size.load();
    JobState.loadPosition = reads[k].size.load();
    if (Stopped()) break;  // the games of the file being read are dropped
    TGames fresh;
    RecordFileRead(files[k], reads[k], fresh);
    MergeNewGames(list, fresh);
    ahead.Taken(k);
  }
  JobState.stage = JobStage::Done;
}

void Worker(JobKind kind) {
  JobState.stage = JobStage::Starting;
  TGameList& list = GameList;
  switch (kind) {
    case JobKind::LoadFile: {
      TGames fresh;
      ReadOneFile(JobState.currentPath, false, fresh, &list.memory);
      if (!Stopped()) MergeNewGames(list, fresh);
      JobState.stage = JobStage::Done;
      break;
    }
    case JobKind::LoadFolder:
      FolderScan(list);
      break;
    case JobKind::ProcessAndSave: {
      std::u16string base;
      {
        HostLockGuard lock;
        base = JobState.basePath = JobState.currentPath.u16string();
      }
      ProcessAndSave(list, base);
      break;
    }
  }
}

}  // namespace

void PlainWait::WaitUntilDone(TJobState& state) {
  while (state.stage.load() != JobStage::Done) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void StartJob(JobKind kind, ModalWait& wait) {
  JobState.kind = kind;
  JobState.stopRequested = false;
  JobState.stage = JobStage::Starting;
  std::thread worker(Worker, kind);
  wait.WaitUntilDone(JobState);
  worker.join();
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

void ReadOneFile(const std::filesystem::path& path, bool filter, TGames& fresh, MemoryBudget* budget) {
  JobState.loadSize = 0;
  Enter(JobStage::Loading);
  FileRead read;
  // One file alone: its text is read in pieces on as many threads as the folder readers use.
  PrepareConcurrentReading();
  ReadFileGames(path, filter, budget, CurrentHost().GrowthStep(), read, JobState.loadSize, JobState.loadPosition,
                ReaderThreads());
  RecordFileRead(path, read, fresh);
}

void MergeNewGames(TGameList& list, TGames& fresh) {
  Enter(JobStage::FilteringDuplicates);
  // Repeats: a game whose file and position an entry already has, looked up in the index of
  // the entries' sources kept from merge to merge: right whatever order the files were loaded
  // in, and no pass over the list per file.
  if (!list.entries.empty()) {
    {
      HostLockGuard lock;
      list.sources.CatchUp(list.entries);
    }
    TGames kept;
    SourcePath runPath;  // the new games of one file share one copy of its path: one look-up
    const std::unordered_set<int32_t>* runPositions = nullptr;
    for (TGame& game : fresh) {
      if (runPath.empty() || !game.sourcePath.SharesCopyWith(runPath)) {
        runPath = game.sourcePath;
        runPositions = list.sources.PositionsOf(game.sourcePath);
      }
      if (runPositions && runPositions->count(game.sourcePosition)) {
        HostLockGuard lock;
        ++JobState.counts.repeats;
        GiveBack(list.memory, game);
        continue;
      }
      kept.push_back(std::move(game));
    }
    fresh = std::move(kept);
  }
  THashes freshKeys;
  if (ProcessingOptions.removeDuplicates) {
    RefreshAndRemoveDuplicates(list);
    THashes keys(fresh.size());
    for (size_t i = 0; i < fresh.size(); ++i) {
      HostLockGuard lock;
      keys[i] = KeyOfEntry(fresh[i], 0);
    }
    // The new games' keys the list has already, looked up in the index of its keys kept from
    // merge to merge (a pass over all the list's keys at every file made loading a folder of
    // many files slower with every file).
    list.keyIndex.CatchUp(list.keys);
    TGames kept;
    KeyIndex keptKeys;  // the new keys already kept (in freshKeys): the first of equal ones stays
    for (size_t i = 0; i < fresh.size(); ++i) {
      const THash& key = keys[i];
      keptKeys.CatchUp(freshKeys);
      if (key.keyed && (list.keyIndex.Holds(list.keys, key) || keptKeys.Holds(freshKeys, key))) {
        HostLockGuard lock;
        ++JobState.counts.duplicates;
        GiveBack(list.memory, fresh[i]);
        continue;
      }
      freshKeys.push_back(key);
      kept.push_back(std::move(fresh[i]));
    }
    fresh = std::move(kept);
  }
  Enter(JobStage::Finishing);
  HostLockGuard lock;
  const size_t oldLength = list.entries.size();
  for (size_t i = 0; i < fresh.size(); ++i) {
    list.entries.push_back(std::move(fresh[i]));
    list.displayOrder.push_back(int32_t(oldLength + i));
    list.highlight.push_back(false);
    if (ProcessingOptions.removeDuplicates) {
      freshKeys[i].entryIndex = int32_t(oldLength + i);
      list.keys.push_back(freshKeys[i]);
    }
  }
  if (!ProcessingOptions.removeDuplicates) {
    list.keys.clear();
    list.keyIndex.Clear();
  }
  list.dropped.resize(list.entries.size(), false);
  JobState.counts.merged += int64_t(fresh.size());
  if (!fresh.empty()) list.currentRow = int32_t(list.entries.size());
  fresh.clear();
}
