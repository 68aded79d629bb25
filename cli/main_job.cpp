#include "cli/main_job.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <utility>

#include "chess/eco.h"
#include "cli/count_text.h"
#include "cli/input_folders.h"
#include "cli/job_summary.h"
#include "cli/own_files.h"
#include "cli/progress_line.h"
#include "cli/standard_streams.h"
#include "dialogs/renaming.h"
#include "io/file_identity.h"
#include "io/machine_memory.h"
#include "io/write_target.h"
#include "job/job.h"
#include "job/job_problems.h"
#include "pgn/memory_budget.h"
#include "pgn/pgn_writer.h"
#include "pgn/read_codes.h"
#include "services/host.h"

#ifdef _WIN32
#include <io.h>
#define PGN_ISATTY _isatty
#define PGN_FILENO _fileno
#else
#include <fcntl.h>
#include <unistd.h>
#define PGN_ISATTY isatty
#define PGN_FILENO fileno
#endif

extern const char BuiltinOpeningTable[];
extern const std::size_t BuiltinOpeningTableSize;

namespace {

volatile std::sig_atomic_t interrupts = 0;
volatile std::sig_atomic_t endingSignal = 0;  // the last signal that asked the run to end
// While standard input is copied: an empty input to put in its place when a signal comes, so
// that a read about to start ends at once instead of waiting for input that may never come.
volatile std::sig_atomic_t emptyInput = -1;

// Ctrl-C, or a signal that ends the run: the job stops at the next game and what is complete is
// kept; a second one leaves at once, taking the streams' temporary files with it.
extern "C" void OnEndingSignal(int signal) {
  endingSignal = signal;
  interrupts = interrupts + 1;
#ifndef _WIN32
  if (emptyInput >= 0) dup2(int(emptyInput), STDIN_FILENO);
#endif
  if (interrupts >= 2) {
    RemoveOnSignal();
    std::_Exit(128 + signal);
  }
#ifdef _WIN32
  std::signal(signal, OnEndingSignal);  // the system resets the handler before calling it
#endif
}

// Signals ignored when the program starts stay ignored: nohup ignores SIGHUP, a shell SIGINT for
// what it runs in the background.
void CatchEndingSignals() {
#ifdef _WIN32
  for (int signal : {SIGINT, SIGTERM, SIGBREAK}) std::signal(signal, OnEndingSignal);
#else
  // Without SA_RESTART: a read of standard input waiting for more returns, so that the copy ends.
  struct sigaction action = {};
  action.sa_handler = OnEndingSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction before = {};
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
#endif
}

// Waits for the job, turning Ctrl-C into a stop request, and keeps one progress line on a terminal.
class TerminalWait : public ModalWait {
 public:
  explicit TerminalWait(bool show) : visible(show && PGN_ISATTY(PGN_FILENO(stderr))) {}

  // The kind of the job waited for next: its rate is of bytes read, or of games written.
  JobKind kind = JobKind::LoadFile;

  void WaitUntilDone(JobProgress& state) override {
    const auto start = std::chrono::steady_clock::now();
    bytesAtStart = state.bytesRead;
    writtenAtStart = state.gamesWritten;
    // Woken as the job ends; meanwhile every so often to pass Ctrl-C on and draw the line.
    while (!state.WaitUntilDone(std::chrono::milliseconds(visible ? 200 : 50))) {
      if (interrupts > 0) state.stopRequested = true;
      if (visible) Draw(state, start);
    }
    if (visible) std::fprintf(stderr, "\r%79s\r", "");
  }

 private:
  void Draw(JobProgress& state, std::chrono::steady_clock::time_point start) {
    const JobStage stage = state.stage.load();
    double part = 0;
    if (stage == JobStage::Loading && state.loadSize > 0) part = double(state.loadPosition) / double(state.loadSize);
    if (stage != JobStage::Loading && state.stepCount > 0) part = double(state.stepPosition) / double(state.stepCount);
    const std::filesystem::path path = state.File();
    const int64_t written = state.gamesWritten;
    int64_t bytes = state.bytesRead;
    // Loading: the bytes of text of the files merged and of the one being read; saving: the
    // games written.
    std::string amounts;
    if (stage == JobStage::Loading) {
      bytes += state.loadText;
      amounts = LoadAmounts(state.loadPosition, state.loadText, state.loadCompression != Compression::None,
                            state.loadSize <= 0);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::string rate;
    if (kind == JobKind::ProcessAndSave)
      rate = stage == JobStage::Saving ? GameRate(written - writtenAtStart, seconds) : "";
    else
      rate = ByteRate(bytes - bytesAtStart, seconds);
    const std::string shown = IsStandardStream(path) ? "(standard input)" : path.filename().string();
    const std::string line = ProgressLine(StageText(stage), shown, part, rate, amounts);
    std::fprintf(stderr, "\r%-79s", line.c_str());
    std::fflush(stderr);
  }

  int64_t bytesAtStart = 0;  // read and written by the jobs before this one
  int64_t writtenAtStart = 0;
  bool visible;
};

// The report: every game skipped or noted, and every game that could not be written. Written
// whole through a temporary file, so that a failure leaves no half report; false then, with the
// reason in `error`.
bool WriteReport(const std::filesystem::path& file, const JobResult& result, std::string& error) {
  std::ostringstream out;
  for (const SkippedGame& s : result.skipped)
    out << s.file.string() << ":" << s.issue.gameLine
        << (IsStrayText(s)             ? ": text skipped: "
            : IsNoteCode(s.issue.code) ? ": game " + std::to_string(s.issue.gameNumber) + " kept, but: "
                                       : ": game " + std::to_string(s.issue.gameNumber) + " skipped: ")
        << DescribeReadCode(s.issue.code) << (s.issue.detail.empty() ? "" : " (" + s.issue.detail + ")") << " [code "
        << s.issue.code << ", byte " << s.issue.gamePosition << ", stopped at line " << s.issue.line << "]\n";
  for (const UnwrittenGame& game : result.unwritten)
    out << game.file.string() << ": game at byte " << game.position << " not written: " << game.reason << "\n";
  OutputBuffer buffer;
  buffer.Append(out.str());
  const WriteResult written = WriteOutputFile(file, buffer, false);
  error = written.error;
  return written.ok;
}

// The names standing for "-": standard input, read as it comes (the games let go under the
// memory budget kept in a spool of the reader's own), and standard output, written into a file
// in a temporary folder of its own and copied out at the end.
struct StreamFiles {
  std::unique_ptr<TemporaryFolder> folder;
  std::filesystem::path input;   // what the games of standard input name as their file, when "-" is an input
  std::filesystem::path output;  // the output base, when the output is "-"

  // What to call a path in a message: the streams by name, other paths as they are.
  std::string Shown(const std::filesystem::path& path) const {
    if (!input.empty() && path == input) return "(standard input)";
    if (!output.empty() && path.parent_path() == output.parent_path()) return "(standard output)";
    return path.string();
  }
};

// Names the files for the streams the request names, in a temporary folder made for them; 0
// when ready, else the exit status.
int PrepareStreams(const CliRequest& request, StreamFiles& streams, TProcessingOptions& options) {
  const bool readsInput = std::any_of(request.inputs.begin(), request.inputs.end(),
                                      [](const auto& path) { return IsStandardStream(path); });
  const bool writesOutput = IsStandardStream(request.output);
  if (!readsInput && !writesOutput) return 0;
  // One stream holds one file: a split (given here or in the settings file) makes no sense there.
  if (writesOutput && SplitsOutput(options)) {
    std::fprintf(stderr, "pgnutil: -o - writes one stream: the output cannot be split\n");
    return 2;
  }
  if (readsInput) {
    streams.input = "-";
    BinaryMode(stdin);
  }
  if (!writesOutput) return 0;
  streams.folder = std::make_unique<TemporaryFolder>();
  if (streams.folder->Path().empty()) {
    std::fprintf(stderr, "pgnutil: no temporary folder for standard output: %s\n", streams.folder->error.c_str());
    return 1;
  }
  RegisterForRemovalOnSignal(streams.folder->Path(), true);
  if (writesOutput) {
    streams.output = streams.folder->Path() / "stdout";
    const std::string made = "stdout" + std::string(OutputExtension(request.form.format));
    for (const std::string& name : {made, made + ".new"})
      RegisterForRemovalOnSignal(streams.folder->Path() / name, false);
    options.doNotRewrite = false;
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);  // a reader that stops early (| head) ends the copy, not the program
#endif
  }
  return 0;
}

// The file a job writes for an output base when it does not split: the base and the format's
// extension (".pgn" for the files beside the output).
std::filesystem::path OutputFileOf(const std::filesystem::path& base, OutputFormat format = OutputFormat::Pgn) {
  std::filesystem::path file = base;
  file += std::string(OutputExtension(format));
  return file;
}

// The one file written for an output base beside the output: a pipe or a device as it is.
std::filesystem::path AsideFileOf(const std::filesystem::path& base) {
  return ResolveWriteTarget(base).kind == TargetKind::Stream ? base : OutputFileOf(base);
}

// Says, when games are to come from the terminal, how to end them.
void AnnounceTerminalInput(const StreamFiles& streams) {
  if (!streams.input.empty() && PGN_ISATTY(PGN_FILENO(stdin)))
    std::fprintf(stderr,
                 "pgnutil: reading games from the terminal, up to end of file (Ctrl-D, or Ctrl-Z on Windows)\n");
}

// While standard input may be read: a signal puts an empty input in its place, so that reads to
// come end at once instead of waiting for input that may never come.
class EmptyInputOnSignal {
 public:
  explicit EmptyInputOnSignal(bool reading) {
#ifndef _WIN32
    if (!reading) return;
    emptyInput = open("/dev/null", O_RDONLY);
    if (interrupts) dup2(int(emptyInput), STDIN_FILENO);  // a signal before the handler knew of it
#else
    (void)reading;
#endif
  }
  ~EmptyInputOnSignal() {
#ifndef _WIN32
    if (emptyInput >= 0) close(int(std::exchange(emptyInput, -1)));
#endif
  }
};

// The jobs of one run of pgnutil, on a game list of its own, adding up what they did.
struct Jobs {
  TGameList list;
  JobProgress progress;
  JobResult total;
  TProcessingOptions options;
  OutputForm form;                         // of the main output; the files beside it hold PGN
  const OpeningNames* openings = nullptr;  // with --add-opening
  GameSearch search;
  int32_t threads = 0;
  bool outputBaseIsFile = false;  // -o names a pipe or a device: written as it is
  Host& services = QuietHost();   // the command line runs in no host: no current game, no list
  bool keepDuplicates = false;    // --duplicates-to: the duplicates dropped are kept to be written
  bool keepGamesLeftOut = false;  // --rejected: the games the search leaves out are written too
  TGames duplicates;              // those, as loading drops them
  TGameList duplicateList;        // and as a list, to write them
  // The output, when the games are written as they are read (empty: after all are loaded).
  std::filesystem::path savedWhileReading;

  void Run(JobKind kind, const std::filesystem::path& input, TerminalWait& wait,
           const std::filesystem::path& outputBase = {}, std::FILE* stream = nullptr) {
    JobRequest request;
    request.kind = kind;
    request.input = input;
    request.inputStream = stream;
    request.options = options;
    request.readerThreads = threads;
    request.search = search;  // positions are looked for as games are read
    request.form = form;      // opening names too
    request.openings = openings;
    if (keepDuplicates) request.duplicatesDropped = &duplicates;
    request.keepsGamesLeftOut = keepGamesLeftOut;
    // The list goes with the program: comments the output removes need not be read, unless the
    // games set aside are written whole beside it.
    request.dropsComments = options.removeComments && !keepDuplicates && !keepGamesLeftOut;
    const bool savesWhileReading = kind == JobKind::LoadFile && !savedWhileReading.empty();
    if (kind == JobKind::ProcessAndSave || savesWhileReading) {
      request.savesWhileReading = savesWhileReading;
      request.selection = list.displayOrder;
      request.outputBase = savesWhileReading ? savedWhileReading : outputBase;
      request.outputBaseIsFile = outputBaseIsFile;
    }
    wait.kind = kind;
    total.Add(RunJobWhileWaiting(list, request, services, progress, wait));
  }
  int64_t FilesSeen() const { return total.counts.filesRead + total.counts.filesUnreadable; }

  // Writes the games of `games` that `chosen` selects into one file beside the output (a pipe or
  // a device as it is). What it writes is counted apart; what goes wrong, with the rest.
  int64_t SaveAside(TGameList& games, const TProcessingOptions& asideOptions, const GameSearch& chosen,
                    const std::filesystem::path& base, TerminalWait& wait) {
    JobRequest request;
    request.kind = JobKind::ProcessAndSave;
    request.options = asideOptions;
    request.readerThreads = threads;
    request.search = chosen;
    request.selection = games.displayOrder;
    request.outputBase = base;
    request.outputBaseIsFile = ResolveWriteTarget(base).kind == TargetKind::Stream;
    wait.kind = JobKind::ProcessAndSave;
    JobResult aside = RunJobWhileWaiting(games, request, services, progress, wait);
    total.stopped = total.stopped || aside.stopped;
    total.counts.lostToWriteFailures += aside.counts.lostToWriteFailures;
    for (auto& failure : aside.writeFailures) total.writeFailures.push_back(std::move(failure));
    for (auto& game : aside.unwritten) total.unwritten.push_back(std::move(game));
    return aside.counts.written;
  }
};

// The games the filters and the search leave out (--rejected), and the duplicates dropped
// (--duplicates-to), each into its own file; a line each for the summary.
std::string SaveAsides(const CliRequest& request, Jobs& jobs, TerminalWait& wait) {
  std::string lines;
  const TProcessingOptions oneFile = WithoutSplits(jobs.options);
  if (!request.rejected.empty() && interrupts == 0) {
    GameSearch rejecting = jobs.search;
    rejecting.invert = !rejecting.invert;
    rejecting.stopAfter = 0;
    const int64_t written = jobs.SaveAside(jobs.list, oneFile, rejecting, request.rejected, wait);
    lines +=
        Counted(written, "game", "games") + " left out written into " + AsideFileOf(request.rejected).string() + "\n";
  }
  if (!request.duplicatesTo.empty() && interrupts == 0) {
    TGameList& list = jobs.duplicateList;
    list.memory.limit = jobs.list.memory.limit;
    JobCounts merged;
    MergeNewGames(list, jobs.duplicates, false, merged);
    for (const CliRename& rename : request.renames) RenameNames(list.entries, rename.kind, rename.from, rename.to);
    const int64_t written = jobs.SaveAside(list, WithoutFilters(oneFile), GameSearch{}, request.duplicatesTo, wait);
    lines += Counted(written, "duplicate", "duplicates") + " written into " +
             AsideFileOf(request.duplicatesTo).string() + "\n";
  }
  return lines;
}

// Whether the games can be written as they are read: one input, a file or standard input, all of
// whose games go into one file in their order, with nothing that needs the whole list first (a
// rename, or the files of games left out and duplicates beside the output).
bool SavesWhileReading(const CliRequest& request, const TProcessingOptions& options) {
  std::error_code error;
  return request.inputs.size() == 1 && !std::filesystem::is_directory(request.inputs[0], error) &&
         !SplitsOutput(options) && request.renames.empty() && request.rejected.empty() && request.duplicatesTo.empty();
}

// Loads every input in turn; returns 1 when one did not exist, else 0.
int LoadInputs(const CliRequest& request, const StreamFiles& streams, Jobs& jobs, TerminalWait& wait) {
  int status = 0;
  for (const std::filesystem::path& given : request.inputs) {
    if (jobs.total.stopped || interrupts) break;
    if (IsStandardStream(given)) {
      jobs.Run(JobKind::LoadFile, streams.input, wait, {}, stdin);
      continue;
    }
    const std::filesystem::path& input = given;
    std::error_code error;
    if (std::filesystem::is_directory(input, error)) {
      const int64_t filesBefore = jobs.FilesSeen();
      for (const std::filesystem::path& folder : FoldersToRead(input, request.recursive)) {
        if (jobs.total.stopped || interrupts) break;
        jobs.Run(JobKind::LoadFolder, folder, wait);
      }
      if (jobs.FilesSeen() == filesBefore && !jobs.total.stopped && !interrupts)
        std::fprintf(stderr, "pgnutil: %s: no .pgn file in the folder%s\n", input.string().c_str(),
                     !request.recursive && HasSubfolders(input) ? " (--recursive reads the folders below it)" : "");
    } else if (std::filesystem::exists(input, error)) {
      jobs.Run(JobKind::LoadFile, input, wait);
    } else {
      std::fprintf(stderr, "pgnutil: %s: no such file or folder\n", input.string().c_str());
      status = 1;
    }
  }
  return status;
}

// An output named by a folder ("", "." or ".." as its last part) has no name to give the files:
// the exit status 2 then, after saying so; else 0.
int RefuseFolderAsOutput(const CliRequest& request) {
  if (request.output.filename().empty() || request.output.filename() == "." || request.output.filename() == "..") {
    std::fprintf(stderr, "pgnutil: -o %s names a folder, not a file: give the output a name in it, such as %s\n",
                 request.output.string().c_str(), (request.output / "games").string().c_str());
    return 2;
  }
  return 0;
}

// A pipe or a device (-o /dev/null, a FIFO) takes the games as it is, with no ".pgn" after it,
// and cannot be split: 2 then, else 0.
int TakeStreamOutput(const CliRequest& request, const StreamFiles& streams, Jobs& jobs) {
  const TProcessingOptions& options = jobs.options;
  if (streams.output.empty() && ResolveWriteTarget(request.output).kind == TargetKind::Stream) {
    if (SplitsOutput(options)) {
      std::fprintf(stderr, "pgnutil: -o %s is a pipe or a device, one stream: the output cannot be split\n",
                   request.output.string().c_str());
      return 2;
    }
    jobs.outputBaseIsFile = true;
  }
  return 0;
}

// --eco-table: a file that holds an ECO table becomes the table's source; anything else is
// refused (2), since a table that gives no code would tag every game with an empty one, silently.
int UseEcoTable(const CliRequest& request) {
  if (request.ecoTable.empty()) return 0;
  std::error_code error;
  if (!std::filesystem::is_regular_file(request.ecoTable, error)) {
    std::fprintf(stderr, "pgnutil: --eco-table: %s: no such file\n", request.ecoTable.string().c_str());
    return 2;
  }
  if (!HoldsEcoCodes(ReadEcoTable(request.ecoTable))) {
    std::fprintf(stderr,
                 "pgnutil: --eco-table: %s is no ECO table (11-byte records: a position key, then a code "
                 "such as B20)\n",
                 request.ecoTable.string().c_str());
    return 2;
  }
  SetEcoTableSource(request.ecoTable);
  return 0;
}

// The report and the settings are never a file of games: giving one by mistake for the other
// would destroy games (the report replacing an input or the output). The report goes through a
// temporary file beside it (a pipe or a device takes it in place): that file is made and removed
// now, so that a path where it cannot go costs no wait. 0, or the exit status.
int CheckReportAndSettingsFiles(const CliRequest& request, const Jobs& jobs, const StreamFiles& streams,
                                const std::filesystem::path& output) {
  const TProcessingOptions& options = jobs.options;
  const std::filesystem::path outputFile = jobs.outputBaseIsFile ? output
                                           : streams.output.empty() && !SplitsOutput(options)
                                               ? OutputFileOf(output, jobs.form.format)
                                               : std::filesystem::path();
  for (const auto& [option, file] : {std::pair{"--report", request.reportFile}, {"--settings", request.settingsFile}}) {
    if (file.empty()) continue;
    const std::string clash = ClashWithGames(file, request.inputs, request.recursive, outputFile);
    if (!clash.empty()) {
      std::fprintf(stderr, "pgnutil: %s: %s: %s; give another file\n", option, file.string().c_str(), clash.c_str());
      return 2;
    }
  }
  if (!request.reportFile.empty()) {
    const WriteTarget target = ResolveWriteTarget(request.reportFile);
    if (const std::string reason = UnwritableReason(target.kind); !reason.empty()) {
      std::fprintf(stderr, "pgnutil: --report: %s %s: give a file name\n", request.reportFile.string().c_str(),
                   reason.c_str());
      return 2;
    }
    if (target.kind != TargetKind::Stream) {
      const std::filesystem::path probe = TemporaryBeside(target.path, ".new");
      if (!std::ofstream(probe, std::ios::binary)) {
        std::fprintf(stderr, "pgnutil: --report: %s: cannot make the file\n", request.reportFile.string().c_str());
        return 1;
      }
      std::error_code ignored;
      std::filesystem::remove(probe, ignored);
    }
  }
  return 0;
}

// --rejected and --duplicates-to never take the place of an input, of the output or of each
// other: the exit status 2 then, after saying so; else 0.
int CheckAsideFiles(const CliRequest& request, const std::filesystem::path& outputFile) {
  const auto fileOf = AsideFileOf;
  for (const auto& [option, base] :
       {std::pair{"--rejected", request.rejected}, {"--duplicates-to", request.duplicatesTo}}) {
    if (base.empty()) continue;
    const std::filesystem::path file = fileOf(base);
    std::string clash;
    if (base.filename().empty() || base.filename() == "." || base.filename() == "..")
      clash = "it names a folder, not a file";
    for (const std::filesystem::path& input : request.inputs)
      if (input != "-" && SameFile(file, input)) clash = "it is the input " + input.string();
    if (!outputFile.empty() && SamePlace(file, outputFile)) clash = "it is the output file " + outputFile.string();
    if (option == std::string("--duplicates-to") && !request.rejected.empty() &&
        SamePlace(file, fileOf(request.rejected)))
      clash = "it is the --rejected file";
    if (!clash.empty()) {
      std::fprintf(stderr, "pgnutil: %s: %s: %s; give another file\n", option, file.string().c_str(), clash.c_str());
      return 2;
    }
  }
  return 0;
}

// The folder the output goes into is made when missing, before any loading, so that a wrong path
// costs no wait: 1 when it cannot be made, else 0.
int MakeOutputFolder(const std::filesystem::path& output) {
  const std::filesystem::path outputFolder = output.parent_path();
  if (!outputFolder.empty()) {
    std::error_code error;
    std::filesystem::create_directories(outputFolder, error);
    if (error || !std::filesystem::is_directory(outputFolder)) {
      std::fprintf(stderr, "pgnutil: %s: cannot make the output folder: %s\n", outputFolder.string().c_str(),
                   error ? error.message().c_str() : "a file of that name is in the way");
      return 1;
    }
  }
  return 0;
}

// What the job did, on standard error: the summary, then every file that could not be read or
// written, the report file written; the exit status from `status` (the loading's) and all that.
int ReportWhatWasDone(const CliRequest& request, const TProcessingOptions& options, const StreamFiles& streams,
                      JobResult& done, int renamed, const std::string& asides, bool stopped, bool copied,
                      const std::string& copyError, bool cutShort, int status) {
  // Reports name the streams, not the files that stood for them.
  for (SkippedGame& s : done.skipped) s.file = streams.Shown(s.file);
  for (UnwrittenGame& game : done.unwritten) game.file = streams.Shown(game.file);
  std::fputs(JobSummary(done.counts, done.skipped, done.unwritten,
                        request.renames.empty() ? std::nullopt : std::optional<int>(renamed))
                 .c_str(),
             stderr);
  std::fputs(asides.c_str(), stderr);
  if (cutShort)
    std::fprintf(stderr, "pgnutil: the reader of standard output closed it early: the output was cut short\n");
  if (!done.unwritten.empty()) status = 1;
  const std::string hint = NoGameHint(done.counts, options);
  if (!hint.empty()) std::fprintf(stderr, "pgnutil: %s\n", hint.c_str());
  for (const UnreadableFile& file : done.unreadableFiles) {
    std::fprintf(stderr, "pgnutil: %s: %s\n", streams.Shown(file.path).c_str(), UnreadableText(file).c_str());
    status = 1;
  }
  for (const SpoolShortfall& shortfall : done.spoolShortfalls)
    std::fprintf(stderr, "pgnutil: %s: %s; %s games stayed in memory beyond the budget instead\n",
                 streams.Shown(shortfall.file).c_str(), shortfall.reason.c_str(),
                 GroupedCount(shortfall.games).c_str());
  for (const WriteFailure& f : done.writeFailures) {
    std::fprintf(stderr, "pgnutil: %s: %s\n", streams.Shown(f.path).c_str(), WriteFailureText(f).c_str());
    status = 1;
  }
  if (!copied) {
    std::fprintf(stderr, "pgnutil: standard output: %s\n", copyError.c_str());
    status = 1;
  }
  std::string reportError;
  if (!request.reportFile.empty() && !WriteReport(request.reportFile, done, reportError)) {
    std::fprintf(stderr, "pgnutil: --report: %s: not written: %s\n", request.reportFile.string().c_str(),
                 reportError.c_str());
    status = 1;
  }
  if (stopped) {
    std::fprintf(stderr, "pgnutil: stopped; what was complete is kept\n");
    status = 128 + int(endingSignal);
  }
  return status;
}

}  // namespace

int RunMainJob(const CliRequest& request) {
  // Before anything is made that a signal would leave behind (the streams' temporary folder).
  CatchEndingSignals();
  // Never destroyed: the loaded games go with the process (main leaves without freeing them one
  // by one, which would only cost time; for a large collection a noticeable part of a second).
  Jobs& jobs = *new Jobs;
  jobs.options = request.options;
  jobs.form = request.form;
  jobs.search = request.search;
  jobs.threads = request.threads;
  jobs.keepDuplicates = !request.duplicatesTo.empty();
  jobs.keepGamesLeftOut = !request.rejected.empty();
  if (const int refused = RefuseFolderAsOutput(request)) return refused;
  StreamFiles streams;
  if (const int failed = PrepareStreams(request, streams, jobs.options)) return failed;
  if (const int refused = TakeStreamOutput(request, streams, jobs)) return refused;
  const std::filesystem::path output = streams.output.empty() ? request.output : streams.output;
  if (const int refused = UseEcoTable(request)) return refused;
  if (request.form.addOpening) {
    // Never destroyed, as the jobs are not.
    OpeningNames* names = new OpeningNames;
    std::string problem;
    if (!names->AddTable(std::string_view(BuiltinOpeningTable, BuiltinOpeningTableSize), problem)) {
      std::fprintf(stderr, "pgnutil: the built-in opening table: %s\n", problem.c_str());
      return 1;
    }
    jobs.openings = names;
  }
  if (const int refused = CheckReportAndSettingsFiles(request, jobs, streams, output)) return refused;
  if (const int refused = CheckAsideFiles(request, jobs.outputBaseIsFile ? output
                                                   : streams.output.empty() && !SplitsOutput(jobs.options)
                                                       ? OutputFileOf(output, jobs.form.format)
                                                       : std::filesystem::path()))
    return refused;
  jobs.list.memory.limit =
      request.memoryMiB > 0 ? request.memoryMiB << 20 : WideDefaultBudget(PhysicalMemoryBytes(), sizeof(void*) >= 8);
  for (const std::filesystem::path& base : {output, request.rejected, request.duplicatesTo})
    if (const int failed = MakeOutputFolder(base)) return failed;

  if (SavesWhileReading(request, jobs.options)) jobs.savedWhileReading = output;
  AnnounceTerminalInput(streams);
  TerminalWait wait(!request.quiet);
  int status = 0;
  {
    EmptyInputOnSignal emptyInputOnSignal(!streams.input.empty());
    status = LoadInputs(request, streams, jobs, wait);
  }
  int renamed = 0;
  for (const CliRename& rename : request.renames)
    renamed += std::max(0, RenameNames(jobs.list.entries, rename.kind, rename.from, rename.to));
  if (interrupts == 0 && !jobs.list.entries.empty()) jobs.Run(JobKind::ProcessAndSave, {}, wait, output);
  const std::string asides = SaveAsides(request, jobs, wait);
  JobResult& done = jobs.total;
  const bool stopped = interrupts > 0;
  std::string copyError;
  bool cutShort = false;
  const bool copied = streams.output.empty() || !done.writeFailures.empty() ||
                      CopyFileToStream(OutputFileOf(streams.output, jobs.form.format), stdout, copyError, cutShort);
  return ReportWhatWasDone(request, jobs.options, streams, done, renamed, asides, stopped, copied, copyError, cutShort,
                           status);
}
