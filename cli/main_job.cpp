#include "cli/main_job.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>

#include "chess/eco.h"
#include "cli/input_folders.h"
#include "cli/job_summary.h"
#include "cli/progress_line.h"
#include "cli/standard_streams.h"
#include "dialogs/renaming.h"
#include "job/job.h"
#include "panel/settings_file.h"
#include "pgn/read_codes.h"
#include "plugin/host.h"

#ifdef _WIN32
#include <io.h>
#define PGN_ISATTY _isatty
#define PGN_FILENO _fileno
#else
#include <unistd.h>
#define PGN_ISATTY isatty
#define PGN_FILENO fileno
#endif

namespace {

volatile std::sig_atomic_t interrupts = 0;

extern "C" void OnInterrupt(int) {
  interrupts = interrupts + 1;
  if (interrupts >= 2) std::_Exit(130);  // a second Ctrl-C leaves at once
  std::signal(SIGINT, OnInterrupt);
}

// Waits for the job, turning Ctrl-C into a stop request, and keeps one progress line on a terminal.
class TerminalWait : public ModalWait {
 public:
  explicit TerminalWait(bool show) : visible(show && PGN_ISATTY(PGN_FILENO(stderr))) {}

  void WaitUntilDone(TJobState& state) override {
    const auto start = std::chrono::steady_clock::now();
    {
      HostLockGuard lock;
      bytesAtStart = state.counts.bytesRead;
      writtenAtStart = state.counts.written;
    }
    while (state.stage.load() != JobStage::Done) {
      if (interrupts > 0) RequestStop();
      if (visible) Draw(state, start);
      std::this_thread::sleep_for(std::chrono::milliseconds(visible ? 200 : 5));
    }
    if (visible) std::fprintf(stderr, "\r%79s\r", "");
  }

 private:
  void Draw(TJobState& state, std::chrono::steady_clock::time_point start) {
    const JobStage stage = state.stage.load();
    double part = 0;
    if (stage == JobStage::Loading && state.loadSize > 0) part = double(state.loadPosition) / double(state.loadSize);
    if (stage != JobStage::Loading && state.stepCount > 0) part = double(state.stepPosition) / double(state.stepCount);
    std::filesystem::path path;
    int64_t written, bytes;
    {
      HostLockGuard lock;  // the worker changes these
      path = state.currentPath;
      written = state.counts.written;
      bytes = state.counts.bytesRead;
    }
    // Loading: the bytes of the files merged and of the one being read; saving: the games written.
    if (stage == JobStage::Loading) bytes += state.loadPosition;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::string rate;
    if (state.kind == JobKind::ProcessAndSave)
      rate = stage == JobStage::Saving ? GameRate(written - writtenAtStart, seconds) : "";
    else
      rate = ByteRate(bytes - bytesAtStart, seconds);
    const std::string line = ProgressLine(StageText(stage), path.filename().string(), part, rate);
    std::fprintf(stderr, "\r%-79s", line.c_str());
    std::fflush(stderr);
  }

  int64_t bytesAtStart = 0;  // read and written by the jobs before this one
  int64_t writtenAtStart = 0;
  bool visible;
};

// Loading settings needs no window here.
class NoWindow : public SettingsWindow {
 public:
  PanelRect PanelRectangle() override { return {}; }
  bool PanelVisible() override { return false; }
  WorkArea DesktopWorkArea() override { return {0, 0, 1920, 1080}; }
  void MovePanel(const PanelRect&) override {}
  void ShowPanel() override {}
  void ShowOutputBase(const std::u16string&) override {}
  void CheckMakeDefault(bool) override {}
  void RefreshOptionControls() override {}
};

// False when the file could not be written whole.
bool WriteReport(const std::filesystem::path& file) {
  std::ofstream out(file, std::ios::binary);
  for (const SkippedGame& s : JobState.skipped)
    out << s.file.string() << ":" << s.issue.gameLine
        << (IsStrayText(s)             ? ": text skipped: "
            : IsNoteCode(s.issue.code) ? ": game " + std::to_string(s.issue.gameNumber) + " kept, but: "
                                       : ": game " + std::to_string(s.issue.gameNumber) + " skipped: ")
        << DescribeReadCode(s.issue.code) << (s.issue.detail.empty() ? "" : " (" + s.issue.detail + ")") << " [code "
        << s.issue.code << ", byte " << s.issue.gamePosition << ", stopped at line " << s.issue.line << "]\n";
  out.close();
  return bool(out);
}

// The files standing for "-": standard input copied into one, standard output written into
// another, both in a temporary folder of their own.
struct StreamFiles {
  std::unique_ptr<TemporaryFolder> folder;
  std::filesystem::path input;   // the copy of standard input, when "-" is an input
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
int PrepareStreams(const CliRequest& request, StreamFiles& streams) {
  const bool readsInput = std::any_of(request.inputs.begin(), request.inputs.end(),
                                      [](const auto& path) { return IsStandardStream(path); });
  const bool writesOutput = IsStandardStream(request.output);
  if (!readsInput && !writesOutput) return 0;
  // One stream holds one file: a split (given here or in the settings file) makes no sense there.
  if (writesOutput && SplitsOutput(ProcessingOptions)) {
    std::fprintf(stderr, "pgnutil: -o - writes one stream: the output cannot be split\n");
    return 2;
  }
  streams.folder = std::make_unique<TemporaryFolder>();
  if (streams.folder->Path().empty()) {
    std::fprintf(stderr, "pgnutil: no temporary folder for standard input or output: %s\n",
                 streams.folder->error.c_str());
    return 1;
  }
  if (readsInput) streams.input = streams.folder->Path() / "stdin.pgn";
  if (writesOutput) {
    streams.output = streams.folder->Path() / "stdout";
    ProcessingOptions.doNotRewrite = false;
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);  // a reader that stops early (| head) ends the copy, not the program
#endif
  }
  return 0;
}

// Copies standard input into its file, when it is an input, with a progress line on a
// terminal; 0 when done, else the exit status.
int ReadStandardInput(const StreamFiles& streams, bool quiet) {
  if (streams.input.empty()) return 0;
  if (PGN_ISATTY(PGN_FILENO(stdin)))
    std::fprintf(stderr,
                 "pgnutil: reading games from the terminal, up to end of file (Ctrl-D, or Ctrl-Z on Windows)\n");
  const bool visible = !quiet && PGN_ISATTY(PGN_FILENO(stderr));
  const auto start = std::chrono::steady_clock::now();
  auto lastDrawn = start;
  auto copied = [&](int64_t bytes) {
    const auto now = std::chrono::steady_clock::now();
    if (visible && now - lastDrawn >= std::chrono::milliseconds(200)) {
      lastDrawn = now;
      const double seconds = std::chrono::duration<double>(now - start).count();
      char amount[32];
      std::snprintf(amount, sizeof amount, "%.1f MB so far", double(bytes) / 1e6);
      std::fprintf(stderr, "\r%-79s",
                   ProgressLine("Read standard input...", amount, 0, ByteRate(bytes, seconds)).c_str());
      std::fflush(stderr);
    }
    return interrupts == 0;  // Ctrl-C ends the copy; nothing is loaded then
  };
  std::string error;
  const bool done = CopyStreamToFile(stdin, streams.input, error, copied);
  if (visible) std::fprintf(stderr, "\r%79s\r", "");
  if (done || interrupts) return 0;
  std::fprintf(stderr, "pgnutil: standard input: %s\n", error.c_str());
  return 1;
}

// Loads every input in turn; returns 1 when one did not exist, else 0.
int LoadInputs(const CliRequest& request, const StreamFiles& streams, TerminalWait& wait) {
  int status = 0;
  for (const std::filesystem::path& given : request.inputs) {
    if (JobState.stopRequested || interrupts) break;
    const std::filesystem::path& input = IsStandardStream(given) ? streams.input : given;
    std::error_code error;
    if (std::filesystem::is_directory(input, error)) {
      const int64_t filesBefore = JobState.counts.filesRead + JobState.counts.filesUnreadable;
      for (const std::filesystem::path& folder : FoldersToRead(input, request.recursive)) {
        if (JobState.stopRequested || interrupts) break;
        JobState.folderPath = folder;
        StartJob(JobKind::LoadFolder, wait);
      }
      if (JobState.counts.filesRead + JobState.counts.filesUnreadable == filesBefore && !JobState.stopRequested &&
          !interrupts)
        std::fprintf(stderr, "pgnutil: %s: no .pgn file in the folder%s\n", input.string().c_str(),
                     !request.recursive && HasSubfolders(input) ? " (--recursive reads the folders below it)" : "");
    } else if (std::filesystem::exists(input, error)) {
      JobState.currentPath = input;
      StartJob(JobKind::LoadFile, wait);
    } else {
      std::fprintf(stderr, "pgnutil: %s: no such file or folder\n", input.string().c_str());
      status = 1;
    }
  }
  return status;
}

}  // namespace

int RunMainJob(const CliRequest& request) {
  ProcessingOptions = request.options;
  if (!request.settingsFile.empty()) {
    if (!std::filesystem::exists(request.settingsFile)) {
      std::fprintf(stderr, "pgnutil: --settings: %s: no such file\n", request.settingsFile.string().c_str());
      return 2;
    }
    ResetOptions();
    NoWindow window;
    if (!LoadSettings(request.settingsFile, window, 640, 450)) {
      std::fprintf(stderr,
                   "pgnutil: --settings: %s holds no processing options (a damaged file, or one saved with "
                   "\"Make default automatically\" on)\n",
                   request.settingsFile.string().c_str());
      return 2;
    }
  }
  StreamFiles streams;
  if (const int failed = PrepareStreams(request, streams)) return failed;
  const std::filesystem::path output = streams.output.empty() ? request.output : streams.output;
  if (!request.ecoTable.empty()) {
    // A table that gives no code would tag every game with an empty one, silently.
    std::error_code error;
    if (!std::filesystem::is_regular_file(request.ecoTable, error)) {
      std::fprintf(stderr, "pgnutil: --eco-table: %s: no such file\n", request.ecoTable.string().c_str());
      return 2;
    }
    const ecoinfar table = ReadEcoTable(request.ecoTable);
    const bool codes = std::all_of(table.begin(), table.end(), [](const ecoinfo& entry) {
      const std::string& c = entry.code;
      return c.size() == 3 && c[0] >= 'A' && c[0] <= 'E' && std::isdigit(static_cast<unsigned char>(c[1])) &&
             std::isdigit(static_cast<unsigned char>(c[2]));
    });
    if (table.empty() || !codes) {
      std::fprintf(stderr,
                   "pgnutil: --eco-table: %s is no ECO table (11-byte records: a position key, then a code "
                   "such as B20)\n",
                   request.ecoTable.string().c_str());
      return 2;
    }
    SetEcoTableSource(request.ecoTable);
  }
  // The report file is made now, so that a path where it cannot go costs no wait.
  if (!request.reportFile.empty() && !std::ofstream(request.reportFile, std::ios::binary)) {
    std::fprintf(stderr, "pgnutil: --report: %s: cannot make the file\n", request.reportFile.string().c_str());
    return 1;
  }
  if (request.memoryMiB > 0) GameList.memory.limit = request.memoryMiB << 20;
  JobState.folderReaders = request.threads;
  std::signal(SIGINT, OnInterrupt);

  // The folder the output goes into is made when missing, before any loading, so that a wrong
  // path costs no wait.
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
  if (const int failed = ReadStandardInput(streams, request.quiet)) return failed;
  TerminalWait wait(!request.quiet);
  int status = LoadInputs(request, streams, wait);
  const bool stopped = interrupts > 0;
  int renamed = 0;
  for (const CliRename& rename : request.renames)
    renamed += std::max(0, RenameNames(GameList.entries, RenameKind(rename.kind), rename.from, rename.to));
  if (!stopped && !GameList.entries.empty()) {
    Selection = GameList.displayOrder;
    outputBase = output.u16string();
    JobState.currentPath = output;
    StartJob(JobKind::ProcessAndSave, wait);
  }
  std::string copyError;
  std::filesystem::path written = streams.output;
  written += ".pgn";
  const bool copied =
      streams.output.empty() || !JobState.writeFailures.empty() || CopyFileToStream(written, stdout, copyError);

  // Reports name the streams, not the files that stood for them.
  for (SkippedGame& s : JobState.skipped) s.file = streams.Shown(s.file);
  std::fputs(JobSummary(JobState.counts, JobState.skipped,
                        request.renames.empty() ? std::nullopt : std::optional<int>(renamed))
                 .c_str(),
             stderr);
  const std::string hint = NoGameHint(JobState.counts, ProcessingOptions);
  if (!hint.empty()) std::fprintf(stderr, "pgnutil: %s\n", hint.c_str());
  for (const UnreadableFile& file : JobState.unreadableFiles) {
    std::fprintf(stderr, "pgnutil: %s: not read: %s\n", streams.Shown(file.path).c_str(), file.reason.c_str());
    status = 1;
  }
  for (const WriteFailure& f : JobState.writeFailures) {
    std::fprintf(stderr, "pgnutil: %s: not written: %s\n", streams.Shown(f.path).c_str(), f.reason.c_str());
    status = 1;
  }
  if (!copied) {
    std::fprintf(stderr, "pgnutil: standard output: %s\n", copyError.c_str());
    status = 1;
  }
  if (stopped) std::fprintf(stderr, "pgnutil: stopped; what was complete is kept\n");
  if (!request.reportFile.empty() && !WriteReport(request.reportFile)) {
    std::fprintf(stderr, "pgnutil: --report: %s: not written\n", request.reportFile.string().c_str());
    status = 1;
  }
  return status;
}
