// Reading every game of a PGN text into game list entries, and re-reading entries that were
// listed but not kept in memory.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_source.h"
#include "io/file_read.h"
#include "pgn/kept_keys.h"
#include "pgn/memory_budget.h"
#include "pgn/opening_positions.h"
#include "pgn/pgn_types.h"
#include "pgn/position_search.h"

// The lines ending in text[from, to): CR LF, LF and a lone CR each end one (a CR is lone when
// no LF follows it in the text).
size_t CountLineEnds(std::string_view text, size_t from, size_t to);

// Where a game, or a stretch of damaged text, was skipped, and why.
struct ReadIssue {
  int64_t gamePosition = 0;  // 1-based byte position of the game's start
  int32_t gameLine = 0;      // its line number
  int32_t gameNumber = 0;    // 1 for the text's first game
  int64_t position = 0;      // 1-based byte position where the reader gave up
  int32_t line = 0;
  int code = 0;
  std::string detail;  // what the code alone does not say (a FEN error, for instance)
};

// The issues of one text, with line numbers counted as they are added.
class ReadReport {
 public:
  void Add(std::string_view text, size_t gameStart, size_t where, int code, std::string detail = {});
  std::vector<ReadIssue> issues;
  int32_t filteredOut = 0;  // good games the reading filters left out

 private:
  int32_t LineOf(std::string_view text, size_t position);
  size_t countedTo = 0;
  int32_t countedLines = 1;
};

// The filters a folder load applies while reading; every game passes unless a front end says
// otherwise.
class GameFilter {
 public:
  virtual ~GameFilter() = default;
  virtual bool TagsPass(const TGamesTagArray&) { return true; }
  virtual bool MoveCountPasses(const TGame&) { return true; }
  virtual bool EcoPasses(TGame&) { return true; }  // may refresh the entry's ECO tag
  // Whether these filters look at a game's moves (its length, or its ECO code worked out again)
  // when `filtering` says the tag and move-count filters apply: a reader then keeps every game's
  // move records. A filter that does not say so is taken to.
  virtual bool NeedMoves(bool /*filtering*/) const { return true; }
};

struct ReadOptions {
  bool filter = false;                        // apply the tag and move-count filters while reading
  GameFilter* filters = nullptr;              // null: every game passes
  const std::atomic<bool>* stop = nullptr;    // set by the job's Stop
  std::atomic<int64_t>* progress = nullptr;   // the byte position reached, for progress
  SourcePath sourcePath;                      // stored in every entry kept
  ReadReport* report = nullptr;               // where skipped games and damaged text are reported
  MemoryBudget* budget = nullptr;             // games past it are kept let go; null: all stay
  int32_t growthStep = 1024;                  // entries the games list grows by (a job passes its host's)
  bool summarise = false;                     // give every game kept its summary
  bool findEco = true;                        // with summarise: its ECO code too
  const PositionSearch* positions = nullptr;  // asked at every main line position; null: none
  bool keepsOnlyPositionsFound = false;       // a game the positions' search does not select is
                                              // left out as it is read (counted as filtered out)
  // With summarise: the named positions whose index of the last one the main line passes goes
  // into the summary (its opening name); null: none looked for.
  const OpeningPositions* openings = nullptr;
  // Cleared when nothing will write or show the games' comments: they are stepped over, never
  // copied (a game read again later has them again).
  bool keepsComments = true;
  // Under a budget: the keys of the games a duplicate check has kept so far. A long game whose
  // key is there is let go as it is read instead of packed (it will be dropped, or read again).
  const KeptKeys* keptKeys = nullptr;
};

// Makes ready what readers on several threads share and would otherwise set up on first use
// (the ECO table). Call it before starting them.
void PrepareConcurrentReading();

// Reads every game of a whole-file text and appends the games kept to `games`; returns 0, or
// the first code above 100 met. Such damage (text where a game should start, a tag section or
// movetext that cannot be read on) costs the damaged game and the text up to the next line that
// surely begins a game; reading goes on from there.
int ReadGames(std::string_view text, TGames& games, const ReadOptions& options);

// The same on up to `threads` threads, with the same games, issues and result. The text is cut
// ahead of reading at lines starting with "[" and each piece read on its own thread; a piece
// counts only where reading the text before it stopped right at its start (a cut inside a
// comment or a damaged game is found so, and that stretch read again in turn).
// The first pieces are the largest; they fall to `minimumPieceBytes` (smaller ones cost more to
// cut and hand over than they save in waiting; tests make them small to put many cuts into a
// short text).
int ReadGamesInPieces(std::string_view text, TGames& games, const ReadOptions& options, size_t threads,
                      size_t minimumPieceBytes = size_t(1) << 17);

// What reading a file in windows came to.
struct WindowedRead {
  ReadError error = ReadError::None;  // the file could not be opened, read or unpacked
  std::string errorDetail;            // the system's or the unpacking library's words
  int result = 0;                     // as ReadGames returns
  int64_t size = 0;                   // the file's size when opened (as stored: compressed)
  int64_t bytes = 0;                  // of text read from it (unpacked)
  int64_t largestWindow = 0;          // the most text held at once
  Compression compression = Compression::None;
  int32_t keptForNoSpool = 0;  // games let go that stayed in memory: the spool could not take them
  std::string spoolError;      // why
  // Pieces read on a thread of their own whose start the reading before them did not stop at
  // (it lay inside a comment or a damaged game): their games were read again in turn.
  int32_t piecesReadAgain = 0;
};

// What one window of a text gives when a reader takes the games window by window instead of
// all at once (to list them): its games and issues with the file's positions and numbers, and
// the window's text, whose byte 0 is at file offset `base`; the text up to `consumed` is done.
struct WindowTaken {
  TGames& games;
  std::vector<ReadIssue>& issues;
  int32_t filteredOut;  // good games the reading filters left out
  std::string_view text;
  int64_t base;
  size_t consumed;
};

// How a windowed read reports, besides its games.
struct WindowedReadOptions {
  size_t threads = 1;
  size_t windowBytes = size_t(8) << 20;
  size_t minimumPieceBytes = size_t(1) << 17;
  // The most text a window grows to for one game or stretch of stray text (a hostile or broken
  // file, such as gigabytes of zeros compressed to a few megabytes, must not take all memory).
  size_t longestStretch = size_t(64) << 20;
  std::atomic<int64_t>* storedProgress = nullptr;  // bytes taken from the file as stored (compressed)
  // When set, each window's games and issues go here and not into the games and the report.
  std::function<void(WindowTaken&)> takeWindow;
};

// Reads a text from `source` with the same games, issues and report lines as reading it whole,
// holding only a window of about `windowBytes` (more only where one game or comment is longer):
// the games beginning before the window's last line that starts with "[" are read (in pieces
// on up to `threads` threads), and the text from where that reading stopped is carried into the
// next window. Positions, lines and game numbers are the text's. A failure of the source ends
// the text there: the games before it are read, and the failure is in the result.
// A text that cannot be read again by position (compressed, or a stream) keeps the games the
// budget lets go in a spool of its own, which the entries' source names.
WindowedRead ReadTextInWindows(ByteSource& source, TGames& games, const ReadOptions& options,
                               const WindowedReadOptions& windows);

// The same for a file of any size, plain or compressed.
WindowedRead ReadFileInWindows(const std::filesystem::path& path, TGames& games, const ReadOptions& options,
                               const WindowedReadOptions& windows);
WindowedRead ReadFileInWindows(const std::filesystem::path& path, TGames& games, const ReadOptions& options,
                               size_t threads, size_t windowBytes, size_t minimumPieceBytes = size_t(1) << 17);

// Gives back their game to the entries of `games` (indexes from `selection`, from `start` on)
// that are read again from where `source`'s are (its file or its spool) and hold no parsed
// game: a packed one is unpacked; the others are read again, with one read of the byte range
// that covers them all (or, where that range would hold long stretches of other games, once per
// stretch of wanted games).
// Each index handled is marked in `done`. Returns the number of entries given their game.
int RereadGames(const SourcePath& source, TGames& games, const std::vector<int32_t>& selection, size_t start,
                std::vector<bool>& done);

// The game of one entry unpacked, or read again from its source (its file, position and
// length); null when
// it cannot be read there or the file no longer holds it. The entry is left as it is.
std::unique_ptr<jurnal> ReadGameAgain(const TGame& entry);
