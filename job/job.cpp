#include "job/job.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <unordered_set>
#include <utility>

#include "io/file_read.h"
#include "job/formatted_block.h"
#include "job/game_selector.h"
#include "job/key_index.h"
#include "job/output_files.h"
#include "job/output_queue.h"
#include "job/read_ahead.h"
#include "job/save_while_reading.h"
#include "options/processing_options.h"
#include "pgn/eco_tags.h"
#include "pgn/entry_prefetch.h"
#include "pgn/game_filters.h"
#include "pgn/grouping_sort.h"
#include "pgn/output_split.h"
#include "pgn/pgn_writer.h"
#include "services/host.h"

namespace {

// The keys of the new games kept by a duplicate check so far, and their index.
struct NewGameKeys {
  THashes keys;
  KeyIndex index;
  KeptKeys asked;  // the same keys, for the reading threads to ask while a file is read
};

void DropRepeats(TGameList& list, TGames& fresh, JobCounts& counts);
void DropDuplicates(TGameList& list, TGames& fresh, NewGameKeys& kept, JobCounts& counts, TGames* droppedInto);
void AppendNewGames(TGameList& list, TGames& fresh, const THashes* keys, JobCounts& counts);

// One job as it runs: its request, what it shows and what it did so far.
struct Run {
  TGameList& list;
  const JobRequest& request;
  Host& services;
  JobProgress& progress;
  JobResult result;
  const TProcessingOptions& options = request.options;

  bool Stopped() const { return progress.stopRequested.load(); }
  // The stage changes and saving steps, seen by the observer when one is set.
  void Enter(JobStage stage) {
    progress.stage = stage;
    if (progress.observer && stage != JobStage::Done) progress.observer(stage, 0);
  }
  // Whether a game the board search leaves out can be left out as soon as it is read, never to
  // be held: unless the games left out are wanted (inverted, or written aside), game numbers
  // count every game, or a duplicate of a game left out must still be found.
  bool SearchesWhileReading() const {
    const GameSearch& search = request.search;
    return search.positions.Active() && !search.invert && search.ranges.empty() && !options.removeDuplicates &&
           !request.keepsGamesLeftOut;
  }
  // The threads that read files: as the request asks, else one per processor, at most four.
  size_t ReaderThreads() const {
    return request.readerThreads > 0 ? size_t(request.readerThreads)
                                     : std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
  }
};

// Whether a folder's file is one of games: its name ends in ".pgn", whatever the case (as the
// system's file search matches it), or in ".pgn" and a compression's ending (".pgn.zst"). A
// compression this build does not read is still taken, so that the file is named and refused
// rather than passed over without a word.
bool IsPgnName(const std::filesystem::path& name) {
  std::string text = name.string();
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  auto endsWith = [&](std::string_view end) {
    return text.size() >= end.size() && std::string_view(text).substr(text.size() - end.size()) == end;
  };
  for (std::string_view end : {".pgn", ".pgn.gz", ".pgn.zst", ".pgn.bz2", ".pgn.xz"})
    if (endsWith(end)) return true;
  return false;
}

// Counts what the output files came to once all were written. The games that went into a file
// that failed are in none (it is left as it was), and are not counted as written.
void RecordOutput(Run& run, OutputQueue::Outcome outcome) {
  JobCounts& counts = run.result.counts;
  for (OutputQueue::Failure& failure : outcome.failures) {
    counts.written -= failure.games;
    counts.lostToWriteFailures += failure.games;
    run.progress.gamesWritten -= failure.games;
    run.result.writeFailures.push_back(WriteFailure{std::move(failure.path), std::move(failure.reason)});
  }
  counts.outputFiles = outcome.files;
  counts.outputFilesAppended = outcome.appendedToExisting;
  for (auto& [path, reason] : outcome.notPlaced) run.result.writeFailures.push_back(WriteFailure{path, reason});
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
  if (entry.sourcePath.Spool())
    return "the copy kept of it on disk (its file cannot be read by position) cannot be read";
  std::error_code error;
  const std::filesystem::path& path = entry.sourcePath;
  if (!std::filesystem::exists(path, error)) return "its file is gone";
  const auto size = std::filesystem::file_size(path, error);
  if (!error && size < uintmax_t(entry.sourcePosition) + uintmax_t(entry.sourceLength) - 1)
    return "its file is shorter than when it was read";
  return "its file changed since it was read, or cannot be read";
}

// Where a file's reading shows how far it came: the job's progress, or a file read ahead's own.
struct FileCounters {
  std::atomic<int64_t>& size;      // bytes of the file as stored
  std::atomic<int64_t>& position;  // how far the reader has come in them
  std::atomic<int64_t>& text;      // bytes of text read so far (unpacked)
  std::atomic<Compression>& compression;
};

// One file read into games, apart from the list and the job state, so that several files can
// be read at once.
struct FileRead {
  std::atomic<int64_t> size{0}, position{0}, text{0};  // when read ahead
  std::atomic<Compression> compression{Compression::None};
  FileCounters Counters() { return FileCounters{size, position, text, compression}; }
  ReadError error = ReadError::None;  // why it was not read, or not to its end
  std::string errorDetail;
  int64_t bytes = 0;  // of the file's text
  int32_t keptForNoSpool = 0;
  std::string spoolError;
  TGames games;
  ReadReport report;
};

// The window a file is read through: a few megabytes whatever the file's size, so that memory
// holds the games kept and not the text of the file.
constexpr size_t ReadingWindow = size_t(8) << 20;

// Reads a file (or the request's stream) into `read`, showing its progress in `counters`.
// With `takeWindow`, each window's games and issues go there instead.
void ReadFileGames(const Run& run, const std::filesystem::path& path, std::FILE* stream, bool filter,
                   MemoryBudget* budget, int32_t growthStep, FileRead& read, FileCounters counters, size_t threads,
                   const std::function<void(WindowTaken&)>& takeWindow = {}, const KeptKeys* keptKeys = nullptr) {
  counters.position = 0;
  OptionFilters filters(run.options);
  ReadOptions options;
  options.filter = filter;
  options.filters = &filters;
  options.stop = &run.progress.stopRequested;
  options.progress = &counters.text;
  options.sourcePath = path;
  options.report = &read.report;
  options.budget = budget;
  options.keptKeys = keptKeys;
  options.growthStep = growthStep;
  options.positions = &run.request.search.positions;
  options.keepsOnlyPositionsFound = run.SearchesWhileReading();
  options.keepsComments = !(run.request.dropsComments && run.options.removeComments);
  // The summary a game kept packed needs (its keys and length, and its ECO code when codes are
  // wanted) is found now, on the reading threads, while the game is at hand.
  const TProcessingOptions& o = run.options;
  options.summarise = true;
  options.findEco = o.addEcoNames || o.splitEcoLevel != EcoSplit::None || !o.ecoOpening.empty();
  // Opening names are found the same way (a summary holds a name's index in a 16-bit number).
  const OpeningNames* openings = run.request.openings;
  if (run.request.form.addOpening && openings && openings->size() < size_t(INT16_MAX))
    options.openings = &openings->Positions();
  WindowedReadOptions windows;
  windows.threads = threads;
  windows.windowBytes = run.request.readingWindow > 0 ? size_t(run.request.readingWindow) : ReadingWindow;
  windows.storedProgress = &counters.position;
  windows.takeWindow = takeWindow;
  ReadError openError = ReadError::None;
  std::unique_ptr<ByteSource> source =
      stream ? StreamByteSource(stream, &run.progress.stopRequested) : OpenByteSource(path, openError);
  if (!source) {
    read.error = openError;
    return;
  }
  counters.size = std::max<int64_t>(0, source->storedSize);
  counters.compression = source->GetCompression();
  const WindowedRead windowed = ReadTextInWindows(*source, read.games, options, windows);
  read.error = windowed.error;
  read.errorDetail = windowed.errorDetail;
  read.bytes = windowed.bytes;
  read.keptForNoSpool = windowed.keptForNoSpool;
  read.spoolError = windowed.spoolError;
}

// Why a file was not read, or not to its end, in words.
std::string WhyNotRead(const FileRead& read) {
  return read.errorDetail.empty() ? Describe(read.error) : read.errorDetail;
}

// Counts a file read into the job's figures and hands its games over. A file that failed part
// of the way keeps the games read before the failure, and the failure is named.
void RecordFileRead(Run& run, const std::filesystem::path& path, FileRead& read, TGames& fresh) {
  JobResult& result = run.result;
  if (read.error != ReadError::None) {
    result.unreadableFiles.push_back(UnreadableFile{path, WhyNotRead(read), read.bytes});
    if (read.bytes == 0) {
      ++result.counts.filesUnreadable;
      return;
    }
  }
  if (read.keptForNoSpool > 0)
    result.spoolShortfalls.push_back(SpoolShortfall{path, read.spoolError, read.keptForNoSpool});
  ++result.counts.filesRead;
  result.counts.bytesRead += read.bytes;
  run.progress.bytesRead += read.bytes;
  // Games left out as they were read (by the filters of a folder load, or the search) were read.
  result.counts.gamesRead += int64_t(read.games.size()) + read.report.filteredOut;
  result.counts.filteredOut += read.report.filteredOut;
  for (ReadIssue& issue : read.report.issues) result.skipped.push_back(SkippedGame{path, std::move(issue)});
  fresh = std::move(read.games);
}

// Shows the progress of a file read ahead.
void ShowFileProgress(JobProgress& progress, const FileRead& read) {
  progress.loadSize = read.size.load();
  progress.loadPosition = read.position.load();
  progress.loadText = read.text.load();
  progress.loadCompression = read.compression.load();
}

// Reads again the games let go that are written from position `p` of `order` on, as many as a
// quarter of the memory budget holds (at least one), with one read per stretch of each file.
// `pending` counts, per entry, the positions read for that are not written yet: a game written
// into two files is read once for both, and let go after the last.
void ReloadAhead(TGameList& list, const std::vector<int32_t>& order, size_t p, std::vector<bool>& tried,
                 std::vector<int32_t>& pending) {
  const int64_t allowance = std::max<int64_t>(1, list.memory.limit / 4);
  int64_t estimate = 0;
  // Per place games are read again from (a file, or the spool of a compressed file or stream).
  std::map<std::pair<std::filesystem::path, const GameSpool*>, std::pair<SourcePath, std::vector<int32_t>>> byPlace;
  for (size_t q = p; q < order.size() && estimate < allowance; ++q) {
    const size_t index = size_t(order[q]);
    const TGame& entry = list.entries[index];
    // Packed games are unpacked by the formatting threads as they write them.
    if (tried[q] || !entry.summary.known || !entry.packed.empty() || (entry.game && pending[index] == 0)) continue;
    tried[q] = true;
    if (pending[index]++ > 0) continue;  // already being read for an earlier position
    estimate += int64_t(entry.summary.plies) * int64_t(sizeof(mov)) + entry.sourceLength;
    auto& [source, indexes] = byPlace[{entry.sourcePath.get(), entry.sourcePath.Spool()}];
    if (source.empty()) source = entry.sourcePath;
    indexes.push_back(order[q]);
  }
  for (const auto& [place, wanted] : byPlace) {
    std::vector<bool> done;
    RereadGames(wanted.first, list.entries, wanted.second, 0, done);
  }
}

// Games let go to save memory keep what sorting and filtering need; those without it are read
// again now, the others only when their text is written.
void ReloadUnsummarisedGames(Run& run) {
  TGameList& list = run.list;
  const TIndexArray& selection = run.request.selection;
  JobProgress& progress = run.progress;
  std::vector<bool> done(selection.size(), false);
  progress.stepCount = int32_t(selection.size());
  progress.stepPosition = 0;
  run.Enter(JobStage::LoadingPending);
  for (size_t p = 0; p < selection.size(); ++p) {
    progress.stepPosition = int32_t(p);
    const int32_t index = selection[p];
    if (done[p] || index < 0 || size_t(index) >= list.entries.size()) continue;
    const TGame& entry = list.entries[size_t(index)];
    if (!entry.game && !entry.summary.known && entry.sourcePosition > 0)
      RereadGames(entry.sourcePath, list.entries, selection, p, done);
  }
}

// Codes found from the moves go into the tags before sorting, so that the order, the file
// boundaries, the file names and the written tags all see the same code.
void AddEcoCodes(Run& run) {
  TGameList& list = run.list;
  const TIndexArray& selection = run.request.selection;
  for (size_t p = 0; p < selection.size(); ++p) {
    HostLockGuard lock;
    PrefetchEntries(list.entries, selection, p);
    const int32_t index = selection[p];
    if (index < 0 || size_t(index) >= list.entries.size()) continue;
    TGame& entry = list.entries[size_t(index)];
    if (entry.game || entry.summary.known) RefreshEcoTag(entry, run.options.removeOldEcoTags);
  }
}

// With a split by opening the names go into the tags before sorting, as ECO codes do. A game let
// go from memory is read again for it, and let go again.
void AddOpeningNames(Run& run) {
  TGameList& list = run.list;
  const TIndexArray& selection = run.request.selection;
  const OpeningNames& openings = *run.request.openings;
  for (size_t p = 0; p < selection.size(); ++p) {
    if (run.Stopped()) return;
    HostLockGuard lock;
    PrefetchEntries(list.entries, selection, p);
    const int32_t index = selection[p];
    if (index < 0 || size_t(index) >= list.entries.size()) continue;
    TGame& entry = list.entries[size_t(index)];
    if (entry.summary.opening != TGameSummary::OpeningNotLookedFor) {  // found as it was read
      if (const std::string_view name = openings.Name(entry.summary.opening); !name.empty())
        SetOpeningTags(entry.tags, name);
      continue;
    }
    std::unique_ptr<jurnal> record;
    const jurnal* game = entry.game.get();
    if (!game) {
      record = entry.packed.empty() ? ReadGameAgain(entry) : entry.packed.Unpack();
      game = record.get();
    }
    if (!game) continue;  // not read again: the writing names it as unwritten
    if (const std::string_view name = openings.NameOf(*game); !name.empty()) SetOpeningTags(entry.tags, name);
  }
}

// The games a search selects, in the selection's order (GameSelector).
TIndexArray SelectMatching(Run& run) {
  GameSelector selector(run.options, run.request.search);
  TIndexArray chosen;
  for (const int32_t index : run.request.selection) {
    if (index < 0 || size_t(index) >= run.list.entries.size()) continue;
    if (selector.Selects(run.list.entries[size_t(index)], int64_t(index) + 1, run.result.counts))
      chosen.push_back(index);
  }
  return chosen;
}

// The selection in writing order (grouped as the split wants), then without the games the
// filters leave out (a search has left them out before already).
std::vector<int32_t> SortAndFilter(Run& run, SplitWork& work) {
  std::vector<int32_t> result;
  const bool searched = run.request.search.Active();
  SortForOutput(run.list.entries, searched ? SelectMatching(run) : run.request.selection, result, work, run.options,
                &run.progress.stopRequested, &run.progress.stepPosition);
  if (!run.Stopped() && !searched) {
    run.Enter(JobStage::ApplyingFilters);
    const size_t before = result.size();
    result = FilterList(run.list.entries, result, run.options);
    run.result.counts.filteredOut += int64_t(before - result.size());
  }
  return result;
}

// Writes the games of `result` in order into the files the split gives them.
void WriteOutputFiles(Run& run, SplitWork& work, const std::vector<int32_t>& result) {
  TGameList& list = run.list;
  const TProcessingOptions& options = run.options;
  JobProgress& progress = run.progress;
  JobCounts& counts = run.result.counts;
  const std::u16string base = run.request.outputBase.u16string();
  OutputBuffer buffer;
  // The files are created and written on a thread of their own while the texts are made.
  OutputQueue output(!options.doNotRewrite, SourcesOf(list.entries, result), OutputPieceSize);
  bool begun = false;          // a piece of the current file went out
  std::filesystem::path file;  // the current output file
  work.currentGroup = 0;
  progress.stepCount = int32_t(result.size());
  progress.stepPosition = 0;
  run.Enter(JobStage::Saving);
  bool filled = false;      // text went into the buffer during this stage
  int64_t gamesInFile = 0;  // written into the current file since it was begun
  bool finished = true;
  std::vector<bool> tried(result.size(), false);         // positions whose game a reload looked for
  std::vector<int32_t> pending(list.entries.size(), 0);  // per entry: positions read for, not written
  // The games' texts are made a block ahead by two threads; what goes into which file, and
  // where a stop leaves off, is decided here one position at a time.
  FormattedBlock block;
  for (size_t p = 0; p < result.size(); ++p) {
    progress.stepPosition = int32_t(p);
    if (progress.observer) progress.observer(JobStage::Saving, int32_t(p));
    if (run.Stopped()) {
      finished = false;  // the file being built is dropped, and what went out of it undone
      break;
    }
    HostLockGuard lock;
    PrefetchEntries(list.entries, result, p);
    if (BeginsNewFile(work, list.entries, result, p, options)) {
      if (buffer.Size() > 0 || begun) {
        output.Finish(file, buffer, gamesInFile);
        gamesInFile = 0;
        begun = false;
      }
      file = run.request.outputBaseIsFile
                 ? run.request.outputBase
                 : OutputFileName(work, base, list.entries, result, p, options, run.services.PathLength(),
                                  OutputExtension(run.request.form.format));
      progress.SetFile(file);
    }
    TGame& entry = list.entries[size_t(result[p])];
    const size_t index = size_t(result[p]);
    const bool formatted = block.Holds(p);
    if (!formatted && !entry.game && entry.packed.empty() && entry.summary.known && !tried[p])
      ReloadAhead(list, result, p, tried, pending);
    // Its last position read for: let go again after this writing (its summary still holds).
    const bool letGoAfter = tried[p] && --pending[index] == 0;
    if (!formatted) {
      if (!entry.game && entry.packed.empty()) {
        // Could not be read again: never left out without a word.
        run.result.unwritten.push_back(UnwrittenGame{entry.sourcePath, entry.sourcePosition, WhyNotReadAgain(entry)});
        continue;
      }
      // With "add ECO names" the tag was refreshed before sorting; nothing has changed it since.
      block.Format(list.entries, result, p, options, run.request.form,
                   run.request.form.addOpening && !options.splitByOpening ? run.request.openings : nullptr);
    }
    buffer.Append(block.Text(p));
    if (letGoAfter) entry.game.reset();
    filled = true;
    ++counts.written;
    ++progress.gamesWritten;
    ++gamesInFile;
    if (buffer.Size() >= OutputPieceSize) {
      output.Write(file, buffer);
      begun = true;
    }
  }
  // The last file is written even when it received no game after earlier ones did.
  if (finished && filled) output.Finish(file, buffer, gamesInFile);
  if (!finished) {
    counts.written -= gamesInFile;  // the file being built is dropped
    progress.gamesWritten -= gamesInFile;
    output.Abandon();  // what went out of it is undone before the files go in place
  }
  RecordOutput(run, output.Close());
}

void ProcessAndSave(Run& run) {
  ReloadUnsummarisedGames(run);
  if (run.options.addEcoNames) AddEcoCodes(run);
  // Named before sorting when the split needs the names, else as the games are written.
  const bool namedBeforeSorting = run.request.form.addOpening && run.request.openings && run.options.splitByOpening;
  if (namedBeforeSorting) AddOpeningNames(run);
  run.Enter(JobStage::Sorting);
  SplitWork work;
  const std::vector<int32_t> result = SortAndFilter(run, work);
  if (!run.Stopped()) WriteOutputFiles(run, work, result);
  HostLockGuard lock;
  work.Clear();
}

// The files of a folder are read by several threads at once, each file into its own games;
// the worker merges them one by one in name order, so the list comes out exactly as if one
// thread had read the files in turn. A few files at most are read ahead of the merge.
void FolderScan(Run& run) {
  TGameList& list = run.list;
  JobProgress& progress = run.progress;
  const std::filesystem::path& folder = run.request.input;
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind;
    if (it->is_regular_file(kind) && IsPgnName(it->path().filename())) files.push_back(it->path());
  }
  for (std::filesystem::path& file : files) file = FirstNameOfFile(list, file);
  if (error) {
    // A folder that cannot be listed (whole or in part) is named, never passed over in silence.
    run.result.unreadableFiles.push_back(UnreadableFile{folder, "the folder cannot be listed: " + error.message()});
    ++run.result.counts.filesUnreadable;
  }
  std::sort(files.begin(), files.end());  // a stable order from one system to another
  const size_t readers = run.ReaderThreads();
  const int32_t growthStep = run.services.GrowthStep();  // asked here: the readers never query the host
  PrepareConcurrentReading();
  std::unique_ptr<FileRead[]> reads(new FileRead[files.size()]);
  // Up to four files a reader in front of the merge, so that a large file does not hold the
  // other readers up; what they read waits as parsed games, which the memory budget counts.
  ReadAhead ahead(
      files.size(), readers,
      [&](size_t k) {
        if (!run.Stopped())
          ReadFileGames(run, files[k], nullptr, true, &list.memory, growthStep, reads[k], reads[k].Counters(), 1);
      },
      4 * readers);
  for (size_t k = 0; k < files.size(); ++k) {
    progress.SetFile(files[k]);  // no trailing NUL: the same file opened alone is the same source
    if (run.Stopped()) break;
    progress.loadSize = 0;
    progress.loadPosition = 0;
    progress.loadText = 0;
    run.Enter(JobStage::Loading);
    // The progress display follows the file awaited while it is read.
    ahead.Wait(k, [&] { ShowFileProgress(progress, reads[k]); });
    ShowFileProgress(progress, reads[k]);
    if (run.Stopped()) break;  // the games of the file being read are dropped
    TGames fresh;
    RecordFileRead(run, files[k], reads[k], fresh);
    MergeNewGames(list, fresh, run.options.removeDuplicates, run.result.counts, &progress,
                  run.request.duplicatesDropped);
    ahead.Taken(k);
  }
}

// Counts what a file's games written as they were read came to, once the file is put in place
// (or dropped at a stop).
void FinishSavingWhileReading(Run& run, SaveWhileReading& saver) {
  OutputQueue::Outcome outcome = saver.Close(!run.Stopped());
  JobCounts& counts = run.result.counts;
  const JobCounts& saved = saver.Counts();
  counts.gamesRead += saver.Taken();
  counts.merged += saver.Taken();
  counts.filteredOut += saved.filteredOut;
  counts.pastStopAfter += saved.pastStopAfter;
  counts.written += saved.written;
  for (UnwrittenGame& game : saver.Unwritten()) run.result.unwritten.push_back(std::move(game));
  RecordOutput(run, std::move(outcome));
}

// One file alone (or a stream): its text is read in pieces on as many threads as the folder
// readers use. With duplicates to drop they are dropped window by window, so that a file of the
// same games many times over holds only the first of each, however long it is; the games join
// the list once the whole file is read (a stop leaves the list as it was).
void LoadFile(Run& run) {
  JobProgress& progress = run.progress;
  // A file loaded before under another name is read under that name: its games are repeats.
  const std::filesystem::path input =
      run.request.inputStream ? run.request.input : FirstNameOfFile(run.list, run.request.input);
  progress.loadSize = 0;
  progress.loadPosition = 0;
  progress.loadText = 0;
  progress.SetFile(input);
  run.Enter(JobStage::Loading);
  FileRead read;
  PrepareConcurrentReading();
  const bool removeDuplicates = run.options.removeDuplicates;
  NewGameKeys kept;
  TGames fresh;
  JobCounts dropped;  // repeats and duplicates dropped while reading
  // Games written as they are read are held a window at a time, all of them packed: the list's
  // budget is for games kept.
  std::optional<SaveWhileReading> saver;
  MemoryBudget windowBudget;
  if (run.request.savesWhileReading) {
    saver.emplace(run.request, run.services, run.request.inputStream ? std::filesystem::path() : input, progress,
                  int64_t(run.list.entries.size()));
    windowBudget.limit = INT64_MAX / 4;
  }
  std::function<void(WindowTaken&)> sieve;
  if (removeDuplicates || saver) {
    sieve = [&](WindowTaken& window) {
      if (removeDuplicates) {
        DropRepeats(run.list, window.games, dropped);
        DropDuplicates(run.list, window.games, kept, dropped, run.request.duplicatesDropped);
      }
      for (ReadIssue& issue : window.issues) read.report.issues.push_back(std::move(issue));
      read.report.filteredOut += window.filteredOut;
      if (saver) {
        saver->Take(window.games);
        return;
      }
      ReserveMore(fresh, window.games.size());
      for (TGame& game : window.games) fresh.push_back(std::move(game));
    };
  }
  ReadFileGames(run, input, run.request.inputStream, false, saver ? &windowBudget : &run.list.memory,
                run.services.GrowthStep(), read,
                FileCounters{progress.loadSize, progress.loadPosition, progress.loadText, progress.loadCompression},
                run.ReaderThreads(), sieve,
                // Duplicates written elsewhere keep their text at hand.
                removeDuplicates && !run.request.duplicatesDropped ? &kept.asked : nullptr);
  if (removeDuplicates) read.games = std::move(fresh);
  TGames games;
  RecordFileRead(run, input, read, games);
  run.result.counts.gamesRead += dropped.repeats + dropped.duplicates;  // read, then dropped
  if (saver) {
    FinishSavingWhileReading(run, *saver);
    run.result.counts.repeats += dropped.repeats;
    run.result.counts.duplicates += dropped.duplicates;
    return;
  }
  if (run.Stopped()) return;
  if (!removeDuplicates) {
    MergeNewGames(run.list, games, false, run.result.counts, &progress);
    return;
  }
  run.result.counts.repeats += dropped.repeats;
  run.result.counts.duplicates += dropped.duplicates;
  run.Enter(JobStage::Finishing);
  AppendNewGames(run.list, games, &kept.keys, run.result.counts);
}

}  // namespace

JobResult RunJob(TGameList& list, const JobRequest& request, Host& services, JobProgress& progress) {
  Run run{list, request, services, progress, {}};
  progress.stage = JobStage::Starting;
  if (request.memoryLimit > 0) list.memory.limit = request.memoryLimit;
  switch (request.kind) {
    case JobKind::LoadFile:
      LoadFile(run);
      break;
    case JobKind::LoadFolder:
      FolderScan(run);
      break;
    case JobKind::ProcessAndSave:
      ProcessAndSave(run);
      break;
  }
  run.result.stopped = run.Stopped();
  progress.MarkDone();
  return std::move(run.result);
}

void PlainWait::WaitUntilDone(JobProgress& progress) {
  while (!progress.WaitUntilDone(std::chrono::seconds(1))) {
  }
}

JobResult RunJobWhileWaiting(TGameList& list, const JobRequest& request, Host& services, JobProgress& progress,
                             ModalWait& wait) {
  progress.stopRequested = false;
  progress.stage = JobStage::Starting;
  JobResult result;
  std::thread worker([&] { result = RunJob(list, request, services, progress); });
  wait.WaitUntilDone(progress);
  worker.join();
  return result;
}

namespace {

// Drops the games of `fresh` whose file and position an entry already has (a file loaded
// twice), looked up in the index of the entries' sources kept from merge to merge: right
// whatever order the files were loaded in, and no pass over the list per file.
void DropRepeats(TGameList& list, TGames& fresh, JobCounts& counts) {
  if (list.entries.empty()) return;
  {
    HostLockGuard lock;
    list.sources.CatchUp(list.entries);
  }
  TGames kept;
  SourcePath runPath;  // the new games of one file share one copy of its path: one look-up
  const std::unordered_set<int64_t>* runPositions = nullptr;
  for (TGame& game : fresh) {
    if (runPath.empty() || !game.sourcePath.SharesCopyWith(runPath)) {
      runPath = game.sourcePath;
      runPositions = list.sources.PositionsOf(game.sourcePath);
    }
    if (runPositions && runPositions->count(game.sourcePosition)) {
      ++counts.repeats;
      GiveBack(list.memory, game);
      continue;
    }
    kept.push_back(std::move(game));
  }
  fresh = std::move(kept);
}

// Drops the games of `fresh` that duplicate a listed game or a new game kept before them (those
// whose keys `kept` holds, which grows by the keys of the games kept now): the first of equal
// games stays. The dropped go into `droppedInto` when given (still counted by the list's memory
// budget, which holds them), else they are let go.
void DropDuplicates(TGameList& list, TGames& fresh, NewGameKeys& kept, JobCounts& counts, TGames* droppedInto) {
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
  TGames survivors;
  for (size_t i = 0; i < fresh.size(); ++i) {
    const THash& key = keys[i];
    kept.index.CatchUp(kept.keys);
    if (key.keyed && (list.keyIndex.Holds(list.keys, key) || kept.index.Holds(kept.keys, key))) {
      ++counts.duplicates;
      if (droppedInto)
        droppedInto->push_back(std::move(fresh[i]));
      else
        GiveBack(list.memory, fresh[i]);
      continue;
    }
    kept.keys.push_back(key);
    kept.asked.Add(key);
    survivors.push_back(std::move(fresh[i]));
  }
  fresh = std::move(survivors);
}

// Appends the new games to the list; with `keys` (of a duplicate check, one per game) the list's
// keys grow by them, without it they are dropped to be found again when wanted.
void AppendNewGames(TGameList& list, TGames& fresh, const THashes* keys, JobCounts& counts) {
  HostLockGuard lock;
  const size_t oldLength = list.entries.size();
  if (oldLength > 0) list.sortColumn = SourceColumn;
  for (size_t i = 0; i < fresh.size(); ++i) {
    list.entries.push_back(std::move(fresh[i]));
    list.displayOrder.push_back(int32_t(oldLength + i));
    list.highlight.push_back(false);
    if (keys) {
      THash key = (*keys)[i];
      key.entryIndex = int32_t(oldLength + i);
      list.keys.push_back(key);
    }
  }
  if (!keys) {
    list.keys.clear();
    list.keyIndex.Clear();
  }
  list.dropped.resize(list.entries.size(), false);
  counts.merged += int64_t(fresh.size());
  if (!fresh.empty()) list.currentRow = int32_t(list.entries.size());
  fresh.clear();
}

}  // namespace

void MergeNewGames(TGameList& list, TGames& fresh, bool removeDuplicates, JobCounts& counts, JobProgress* progress,
                   TGames* duplicatesDropped) {
  auto enter = [&](JobStage stage) {
    if (!progress) return;
    progress->stage = stage;
    if (progress->observer) progress->observer(stage, 0);
  };
  enter(JobStage::FilteringDuplicates);
  DropRepeats(list, fresh, counts);
  NewGameKeys kept;
  if (removeDuplicates) DropDuplicates(list, fresh, kept, counts, duplicatesDropped);
  enter(JobStage::Finishing);
  AppendNewGames(list, fresh, removeDuplicates ? &kept.keys : nullptr, counts);
}
