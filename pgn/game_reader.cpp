#include "pgn/game_reader.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>
#include <optional>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "chess/eco.h"
#include "io/file_read.h"
#include "io/large_block.h"
#include "io/os_file.h"
#include "pgn/byte_scan.h"
#include "pgn/game_spool.h"
#include "pgn/pgn_reader.h"
#include "services/host.h"

#if defined(PGN_BYTE_SCAN_AVX2)
namespace {

// The line ends of text[i, end) thirty-two bytes at a time while a block and the byte after it
// lie before `end`, as CountLineEnds counts sixteen; `i` moves past what was counted.
__attribute__((target("avx2"))) size_t CountLineEndsAvx2(const char* text, size_t& i, size_t end) {
  const __m256i lineFeed = _mm256_set1_epi8('\n'), carriageReturn = _mm256_set1_epi8('\r');
  size_t count = 0;
  while (i + 32 <= end) {
    __m256i lanes = _mm256_setzero_si256();
    const size_t blockEnd = std::min(end - 31, i + 255 * 32);
    for (; i < blockEnd; i += 32) {
      const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
      const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + 1));
      const __m256i loneReturn =
          _mm256_andnot_si256(_mm256_cmpeq_epi8(next, lineFeed), _mm256_cmpeq_epi8(bytes, carriageReturn));
      lanes = _mm256_sub_epi8(lanes, _mm256_or_si256(_mm256_cmpeq_epi8(bytes, lineFeed), loneReturn));
    }
    const __m256i sums = _mm256_sad_epu8(lanes, _mm256_setzero_si256());
    const __m128i pairs = _mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
    count += size_t(_mm_cvtsi128_si32(pairs)) + size_t(_mm_cvtsi128_si32(_mm_unpackhi_epi64(pairs, pairs)));
  }
  return count;
}

}  // namespace
#endif

size_t CountLineEnds(std::string_view text, size_t from, size_t to) {
  // An LF ends a line, and so does a CR that no LF follows.
  const auto endsLine = [&text](size_t i) {
    return text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'));
  };
  size_t count = 0, i = from;
#if defined(__SSE2__)
  // Sixteen bytes at a time (and the byte after them): each line end adds one to its byte's
  // lane (a comparison gives -1), the lanes summed before any can pass 255.
  const __m128i lineFeed = _mm_set1_epi8('\n'), carriageReturn = _mm_set1_epi8('\r');
  const size_t end = text.empty() ? 0 : std::min(to, text.size() - 1);  // the byte after a block is read too
#if defined(PGN_BYTE_SCAN_AVX2)
  if (byte_scan_detail::HasAvx2()) count += CountLineEndsAvx2(text.data(), i, end);
#endif
  while (i + 16 <= end) {
    __m128i lanes = _mm_setzero_si128();
    const size_t blockEnd = std::min(end - 15, i + 255 * 16);
    for (; i < blockEnd; i += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
      const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i + 1));
      const __m128i loneReturn =
          _mm_andnot_si128(_mm_cmpeq_epi8(next, lineFeed), _mm_cmpeq_epi8(bytes, carriageReturn));
      lanes = _mm_sub_epi8(lanes, _mm_or_si128(_mm_cmpeq_epi8(bytes, lineFeed), loneReturn));
    }
    const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
    count += size_t(_mm_cvtsi128_si32(sums)) + size_t(_mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
  }
#else
  // Eight bytes at a time where they hold no CR: a high bit per LF, moved down and added up in
  // the top byte.
  constexpr uint64_t Ones = 0x0101010101010101ULL, Low7 = 0x7F7F7F7F7F7F7F7FULL;
  const auto zeroBytes = [](uint64_t x) { return ~(((x & Low7) + Low7) | x | Low7); };  // a high bit per zero byte
  for (; i + 8 <= to; i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, sizeof word);
    if (zeroBytes(word ^ (Ones * '\r'))) {
      for (size_t k = i; k < i + 8; ++k) count += endsLine(k);
    } else {
      count += size_t(((zeroBytes(word ^ (Ones * '\n')) >> 7) * Ones) >> 56);
    }
  }
#endif
  for (; i < to; ++i) count += endsLine(i);
  return count;
}

int32_t ReadReport::LineOf(std::string_view text, size_t position) {
  if (position < countedTo) {
    countedTo = 0;
    countedLines = 1;
  }
  position = std::min(position, text.size());
  if (position > countedTo) countedLines += int32_t(CountLineEnds(text, countedTo, position));
  countedTo = position;
  return countedLines;
}

void ReadReport::Add(std::string_view text, size_t gameStart, size_t where, int code, std::string detail) {
  ReadIssue issue;
  issue.gamePosition = int64_t(gameStart) + 1;
  issue.gameLine = LineOf(text, gameStart);
  issue.position = int64_t(where) + 1;
  issue.line = LineOf(text, where);
  issue.code = code;
  issue.detail = std::move(detail);
  issues.push_back(std::move(issue));
}

namespace {

constexpr std::string_view InitialFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// The game record for a tag section's FEN text, or for the initial position. A Chess960 game
// gets a board of its own even from the initial position, which carries its castling rules.
std::unique_ptr<jurnal> StartRecord(const std::string& fen, bool chess960, int& fenError) {
  fenError = 0;
  if (fen.empty() && !chess960) return std::make_unique<jurnal>(nullptr, nullptr);
  int position = 1;
  std::unique_ptr<jurnal> record =
      jurnal::fromfen(fen.empty() ? std::string_view(InitialFen) : std::string_view(fen), position, fenError, chess960);
  if (fenError) record.reset();
  return record;
}

// Whether a text is UTF-16, as a file's reading knows it (its byte-order mark, or "[" or a
// blank beside a zero byte): files are read as UTF-8 then, but a text handed over whole is not.
bool LooksLikeUtf16(std::string_view text) {
  const Compression stored = CompressionOf(text.substr(0, 2));
  return stored == Compression::Utf16Le || stored == Compression::Utf16Be;
}

// A game whose moves end in mate or stalemate keeps the result that position decides, whatever
// its Result tag says: written with the tag's result, it could not be read back. `note` is told
// of each correction.
template <typename Note>
void KeepResultProven(const PgnReader& reader, TGame& entry, Note note) {
  if (entry.tags.size() <= ResultSlot || !entry.game) return;
  const std::string tagged(entry.tags[ResultSlot].value);
  if (tagged != "1-0" && tagged != "0-1" && tagged != "1/2-1/2") return;
  const std::string_view proven = reader.ProvenResult(*entry.game, tagged);
  if (proven.empty() || proven == tagged) return;
  note("Result \"" + tagged + "\" became \"" + std::string(proven) + "\"");
  entry.tags.SetValue(ResultSlot, proven);
}

// Steps over blanks, comments and stray "*" bytes between games.
void SkipBetweenGames(PgnReader& reader) {
  for (;;) {
    reader.SkipBlanks();
    if (reader.AtEnd() || reader.Peek() != '*') return;
    ++reader.position;
  }
}

}  // namespace

void PrepareConcurrentReading() { (void)EcoTable(); }

namespace {

// What reading a stretch of a text found.
struct PieceRead {
  size_t begin = 0;  // where the reading started: the text's start, a "[" opening a line, or where
                     // the reading before stopped
  size_t end = 0;    // no game is begun at or past it
  TGames games;
  ReadReport report;  // its games numbered from 1 at `begin`
  int32_t gamesBegun = 0;
  size_t stoppedAt = 0;  // the start of the first game at or past `end`, or the text's end
  // (or where the job's stop request ended the reading)
  int result = ReadOk;               // the first code above 100 met
  std::atomic<int64_t> position{0};  // reached, for progress
  bool fileStart = true;             // the text's byte 0 is the file's first byte
};

// Sets a piece's reader up for what the reading keeps: games packed as they are read (under a
// budget) need neither an array of their exact size nor SAN texts; a game packed at once,
// summarised as it is read (with its ECO code where codes are wanted), and passed by filters that
// never look at its moves needs no move records while its main line stays plain. The ECO code is
// found as the main line is read (no table: no code, as a replay finds).
void PrepareReader(PgnReader& reader, const ReadOptions& options, std::optional<EcoFinder>& eco) {
  reader.packsAtOnce = options.budget != nullptr;
  reader.keepsComments = options.keepsComments;
  reader.addsUpMovesKey = options.summarise;
  reader.keepsPlainLineOnlyPacked =
      reader.packsAtOnce && options.summarise && !(options.filters && options.filters->NeedMoves(options.filter));
  reader.positions = options.positions && options.positions->Active() ? options.positions : nullptr;
  reader.stopsOutOfReach = reader.positions && options.keepsOnlyPositionsFound;
  reader.openings = options.summarise ? options.openings : nullptr;
  if (options.summarise && options.findEco) {
    eco.emplace();
    if (!eco->empty()) reader.eco = &*eco;
  }
}

// Games whose packed main line is at least this long are looked up among the games a duplicate
// check kept before they are packed: annotated games, whose copy costs more than the look-up.
constexpr size_t LongGameBytes = 2048;

// A game read whole and passed by the filters joins the piece's games: its place in the text,
// its summary, and under a budget its packed form (the reader takes back the moves' array).
void KeepGame(TGame& entry, PgnReader& reader, size_t start, const SourcePath& source, const ReadOptions& options,
              TGames& games, int32_t step) {
  entry.sourcePosition = int64_t(start) + 1;
  entry.sourceLength = int64_t(reader.position - start);
  entry.sourcePath = source;
  uint64_t movesKey = 0;
  const uint64_t* keyRead = reader.MainLineMovesKey(movesKey) ? &movesKey : nullptr;
  if (options.summarise && options.findEco) Summarise(entry, reader.MainLineEco(), keyRead);
  if (options.summarise && !options.findEco) SummariseWithoutEco(entry, keyRead);
  if (reader.MainLineOnlyPacked()) entry.summary.plies = int32_t(reader.PlainMainLine()->Count());
  if (reader.positions) entry.summary.boardCriteriaHeld = reader.PositionsFound().Held(*reader.positions);
  if (reader.openings) entry.summary.opening = int16_t(reader.MainLineOpening());
  if (options.budget) {
    std::unique_ptr<jurnal> packed;
    // A long game whose twin was kept is not copied into a packed form only to be dropped.
    const PlainLine* line = reader.PlainMainLine();
    const bool letGo = options.keptKeys && line && line->Bytes() >= LongGameBytes &&
                       options.keptKeys->Holds(entry.summary) && LetGoUnpacked(entry, &packed);
    if (!letGo) AdmitGame(*options.budget, entry, &packed, line);
    if (packed)
      reader.TakeBackLine(reader.ReadNoVariation() ? packed->TakeMovesWithoutVariations() : packed->TakeMoves());
  }
  HostLockGuard lock;
  if (games.size() == games.capacity()) ReserveMore(games, size_t(step));
  games.push_back(std::move(entry));
}

// One piece's reading: the reader over the text, and how it reports what it finds, tells its
// progress and steps over damage.
class PieceReading {
 public:
  PieceReading(std::string_view pieceText, PieceRead& read, const ReadOptions& readOptions,
               const std::vector<PieceRead*>& allPieces)
      : text(pieceText),
        piece(read),
        options(readOptions),
        all(allPieces),
        reader(text),
        filters(options.filters ? *options.filters : passAll),
        step(std::max<int32_t>(1, options.growthStep)),
        source(options.sourcePath) {
    PrepareReader(reader, options, eco);
  }

  void Read() {
    if (piece.begin == 0) {
      if (piece.fileStart) reader.SkipByteOrderMark();
      reader.SkipBlanks();
    } else {
      reader.position = piece.begin;
    }
    if (piece.begin == 0 && piece.fileStart && LooksLikeUtf16(text)) {
      // Every byte pair would be damage of its own: one clear word instead.
      Report(0, Utf16Text);
      piece.stoppedAt = text.size();
      piece.result = Utf16Text;
      return;
    }
    while (!reader.AtEnd() && reader.position < piece.end && !(options.stop && options.stop->load())) {
      if (reader.Peek() != '[') {
        SkipDamage(reader.position, NotATagSection);
        continue;
      }
      ReadGame();
    }
    piece.stoppedAt = reader.position;
    piece.result = result;
    TellProgress(reader.position);
  }

 private:
  // The game whose tag section begins at the reader's position.
  void ReadGame() {
    const size_t start = reader.position;
    ++piece.gamesBegun;
    TellProgress(start);
    TGame entry;
    std::string fen;
    // Parsing touches only this reader and the new entry, which nobody else sees before it is
    // merged: no lock, so that several files can be read at once. The lock guards the list.
    int code = reader.ReadTagSection(entry.tags, fen);
    if (code > 100) return SkipDamage(start, code);
    if (code != ReadOk || (options.filter && !filters.TagsPass(entry.tags))) return PassOver(start, code);
    if (reader.droppedTagLine != std::string_view::npos && options.report) {
      piece.report.Add(text, start, reader.droppedTagLine, TagLineDropped);
      piece.report.issues.back().gameNumber = piece.gamesBegun;
    }
    int fenError = 0;
    entry.game = StartRecord(fen, reader.chess960, fenError);
    if (!entry.game) {
      Report(start, BadFen,
             "FEN \"" + fen + "\" error " + std::to_string(fenError) + ": " + DescribeFenError(fenError));
      reader.SkipToNextGame();
      return;
    }
    code = reader.ReadMovetext(*entry.game);
    if (code > 100) return SkipDamage(start, code);
    if (code == PositionsOutOfReach) {
      // Left out as the search would leave it out; the reader stands after its result, where
      // reading it move by move would have ended.
      if (options.report) ++piece.report.filteredOut;
      SkipBetweenGames(reader);
      return;
    }
    if (code == ReadOk)
      KeepResultProven(reader, entry,
                       [&](std::string detail) { Report(start, ResultTagCorrected, std::move(detail)); });
    const bool passes =
        code == ReadOk && (!options.filter || filters.MoveCountPasses(entry)) && filters.EcoPasses(entry);
    if (passes && options.keepsOnlyPositionsFound && reader.positions &&
        !reader.PositionsFound().Matches(*reader.positions)) {
      // Read to its end and left out: the reading goes on after it exactly as after a game kept.
      if (options.report) ++piece.report.filteredOut;
    } else if (passes) {
      KeepGame(entry, reader, start, source, options, piece.games, step);
    } else {
      PassOver(start, code);
    }
    SkipBetweenGames(reader);
  }

  void Report(size_t start, int code, std::string detail = {}) {
    // An unclosed comment is reported where it opened; the reading goes on where it stopped.
    const size_t where = code == UnclosedComment ? reader.openComment : reader.position;
    reader.openComment = std::string_view::npos;
    if (!options.report) return;
    piece.report.Add(text, start, where, code, std::move(detail));
    piece.report.issues.back().gameNumber = piece.gamesBegun + (code == NotATagSection ? 1 : 0);
  }

  // A game not kept: reported with its code, or counted as filtered out; the reading goes on at
  // the next game.
  void PassOver(size_t start, int code) {
    if (code) Report(start, code);
    if (!code && options.report) ++piece.report.filteredOut;
    reader.SkipToNextGame();
  }

  // Damage that the reader cannot step over game by game (the codes above 100) costs the damaged
  // game and the text up to the next sure start of a game, never the games after it.
  void SkipDamage(size_t start, int code) {
    Report(start, code);
    if (result == ReadOk) result = code;
    reader.SkipToGameAfterDamage(start);
  }

  // The options' progress, when given, is told the bytes read so far by all the pieces.
  void TellProgress(size_t at) {
    if (!options.progress) return;
    piece.position = int64_t(at);
    int64_t done = 0;
    for (const PieceRead* each : all) done += std::max<int64_t>(0, each->position.load() - int64_t(each->begin));
    options.progress->store(done);
  }

  std::string_view text;
  PieceRead& piece;
  const ReadOptions& options;
  const std::vector<PieceRead*>& all;
  std::optional<EcoFinder> eco;  // before the reader, which points at it
  PgnReader reader;
  GameFilter passAll;
  GameFilter& filters;
  int32_t step;
  SourcePath source;  // one copy for all the file's entries
  int result = ReadOk;
};

// Reads the games of `text` that begin in piece.begin..piece.end-1. The options' progress, when
// given, is told at every game begun the bytes read so far by all the pieces of `all`.
void ReadPiece(std::string_view text, PieceRead& piece, const ReadOptions& options,
               const std::vector<PieceRead*>& all) {
  PieceReading(text, piece, options, all).Read();
}

// Takes a piece's games and issues into the text's, its games numbered after `gamesBefore`.
void TakePiece(PieceRead& piece, TGames& games, const ReadOptions& options, int32_t gamesBefore) {
  if (options.report) {
    for (ReadIssue& issue : piece.report.issues) {
      issue.gameNumber += gamesBefore;
      options.report->issues.push_back(std::move(issue));
    }
    options.report->filteredOut += piece.report.filteredOut;
  }
  if (games.empty()) {
    games.swap(piece.games);
  } else {
    ReserveMore(games, piece.games.size());
    for (TGame& game : piece.games) games.push_back(std::move(game));
  }
}

// The first line break at or after `from` followed by a line starting with "[" whose line before
// does not: the start of a tag section, not a line inside one. A piece begun inside a game's
// tags would not begin where the reading of the piece before stops, and would be read again.
size_t TagSectionAfter(std::string_view text, size_t from) {
  for (size_t line = text.find("\n[", from); line != std::string_view::npos; line = text.find("\n[", line + 1)) {
    const size_t before = line == 0 ? std::string_view::npos : text.rfind('\n', line - 1);
    const size_t start = before == std::string_view::npos ? 0 : before + 1;
    if (start == line || text[start] != '[') return line;
  }
  return std::string_view::npos;
}

}  // namespace

int ReadGames(std::string_view text, TGames& games, const ReadOptions& options) {
  PieceRead piece;
  piece.end = SIZE_MAX;
  ReadPiece(text, piece, options, {&piece});
  TakePiece(piece, games, options, 0);
  return piece.result;
}

namespace {

// What reading a text in pieces came to: where it stopped (the start of the first game at or
// past the end asked for, or the text's end) and how many games it began.
struct PiecesRead {
  int result = ReadOk;
  size_t stoppedAt = 0;
  int32_t gamesBegun = 0;
  int32_t readAgain = 0;  // pieces whose games were given up and read again in turn
};

// Where the pieces of a window begin, for `threads` threads that take them in turn: the first
// pieces large (a share of what is left), the later ones smaller and smaller down to
// `smallestBytes`, so that the threads run out of work within a small piece of each other and
// the window's end waits little for the slowest. Each begins at a tag section's first line.
std::vector<size_t> FallingPieceStarts(std::string_view text, size_t threads, size_t smallestBytes) {
  std::vector<size_t> starts{0};
  const size_t smallest = std::max<size_t>(1, smallestBytes);
  for (;;) {
    const size_t left = text.size() - starts.back();
    const size_t size = std::max(smallest, left / (2 * threads));
    if (size >= left) break;
    const size_t line = TagSectionAfter(text, starts.back() + size);
    if (line == std::string_view::npos) break;
    starts.push_back(line + 1);
  }
  return starts;
}

// Reads the games of `text` that begin before `end`, in pieces on up to `threads` threads.
PiecesRead ReadPieces(std::string_view text, TGames& games, const ReadOptions& options, size_t threads,
                      size_t minimumPieceBytes, size_t end, bool fileStart) {
  const std::string_view cutArea = text.substr(0, std::min(end, text.size()));
  // Several pieces a thread, taken in turn by whichever thread is free: threads that read equal
  // stretches of text seldom finish together, and the text after the slowest one waits for it.
  const std::vector<size_t> starts =
      threads > 1 ? FallingPieceStarts(cutArea, threads, minimumPieceBytes) : std::vector<size_t>{0};
  std::vector<std::unique_ptr<PieceRead>> pieces;
  std::vector<PieceRead*> all;
  for (size_t k = 0; k < starts.size(); ++k) {
    pieces.push_back(std::make_unique<PieceRead>());
    pieces.back()->begin = starts[k];
    pieces.back()->end = k + 1 < starts.size() ? starts[k + 1] : end;
    pieces.back()->fileStart = fileStart;
    pieces.back()->position = int64_t(starts[k]);
    all.push_back(pieces.back().get());
  }
  {
    std::atomic<size_t> next{0};
    auto work = [&] {
      for (size_t k; (k = next.fetch_add(1)) < pieces.size();) ReadPiece(text, *pieces[k], options, all);
    };
    std::vector<std::thread> helpers;
    for (size_t k = 1; k < std::min(threads, pieces.size()); ++k) helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers) helper.join();
  }
  // A piece counts when the reading before it stopped right at its start: then it began where
  // reading the whole text in turn begins a game. Otherwise (its start lay inside a comment or
  // a damaged game) its games are given up and the text from where that reading stopped is read
  // again in turn, up to the next piece's start.
  auto giveUp = [&](PieceRead& piece) {
    if (!options.budget) return;
    for (const TGame& game : piece.games) GiveBack(*options.budget, game);
  };
  int32_t gamesBefore = 0;
  PieceRead* previous = pieces[0].get();
  TakePiece(*previous, games, options, gamesBefore);
  int result = previous->result;  // the first damage met, as reading in turn meets it
  int32_t readAgain = 0;
  for (size_t k = 1; k < pieces.size(); ++k) {
    PieceRead& piece = *pieces[k];
    const bool stopped = options.stop && options.stop->load();
    if (stopped || previous->stoppedAt >= text.size()) {
      for (size_t rest = k; rest < pieces.size(); ++rest) giveUp(*pieces[rest]);
      break;
    }
    gamesBefore += previous->gamesBegun;
    if (previous->stoppedAt == piece.begin) {
      TakePiece(piece, games, options, gamesBefore);
      previous = &piece;
      if (result == ReadOk) result = piece.result;
      continue;
    }
    giveUp(piece);
    ++readAgain;
    auto again = std::make_unique<PieceRead>();
    again->begin = previous->stoppedAt;
    again->end = piece.end;
    again->fileStart = fileStart;
    again->position = int64_t(again->begin);
    ReadPiece(text, *again, options, {again.get()});
    TakePiece(*again, games, options, gamesBefore);
    pieces[k] = std::move(again);  // the piece given up goes; `previous` must outlive this step
    previous = pieces[k].get();
    if (result == ReadOk) result = previous->result;
  }
  if (options.progress) options.progress->store(int64_t(previous->stoppedAt));
  return PiecesRead{result, previous->stoppedAt, gamesBefore + previous->gamesBegun, readAgain};
}

}  // namespace

int ReadGamesInPieces(std::string_view text, TGames& games, const ReadOptions& options, size_t threads,
                      size_t minimumPieceBytes) {
  if (threads < 2 || FallingPieceStarts(text, threads, minimumPieceBytes).size() < 2)
    return ReadGames(text, games, options);
  return ReadPieces(text, games, options, threads, minimumPieceBytes, SIZE_MAX, true).result;
}

namespace {

// Moves what one window read into the text's figures: positions from the window's base, lines
// after the window's first line, game numbers after the games begun before it.
void ShiftIntoText(TGames& windowGames, ReadReport& windowReport, int64_t base, int32_t linesBefore,
                   int32_t gamesBefore) {
  for (TGame& game : windowGames) game.sourcePosition += base;
  for (ReadIssue& issue : windowReport.issues) {
    issue.gamePosition += base;
    issue.position += base;
    issue.gameLine += linesBefore;
    issue.line += linesBefore;
    issue.gameNumber += gamesBefore;
  }
}

// Adds a window's games and issues to what the text gave so far.
void Append(TGames& windowGames, ReadReport& windowReport, TGames& games, const ReadOptions& options) {
  if (options.report) {
    for (ReadIssue& issue : windowReport.issues) options.report->issues.push_back(std::move(issue));
    options.report->filteredOut += windowReport.filteredOut;
  }
  HostLockGuard lock;
  ReserveMore(games, windowGames.size());
  for (TGame& game : windowGames) games.push_back(std::move(game));
}

}  // namespace

namespace {

// Where the last tag section of a text begins: the last line starting with "[" and the lines
// starting with "[" right before it (a window is cut there, before the game whose tags they
// are, not inside its tags); npos when no line but the first starts with "[".
size_t LastTagSectionStart(std::string_view text) {
  size_t line = text.rfind("\n[");
  if (line == std::string_view::npos) return std::string_view::npos;
  while (line > 0) {
    const size_t before = text.rfind('\n', line - 1);
    const size_t start = before == std::string_view::npos ? 0 : before + 1;
    if (text[start] != '[') break;
    if (start == 0) return 0;
    line = before;
  }
  return line + 1;
}

// Waits for a window's games to be handed over; what went wrong there goes on here.
void FinishWindow(std::future<void>& handover) {
  if (handover.valid()) handover.get();
}

// Whether a source's games can be read again from it by position: a plain file can, a
// compressed file or a stream cannot.
bool ReadableByPosition(const ByteSource& source) {
  return source.GetCompression() == Compression::None && source.storedSize >= 0;
}

// The games the budget let go in one window, kept in the spool (their positions still the
// window's); a game the spool cannot take is read again from the window and stays in memory.
void SpoolLetGoGames(TGames& windowGames, std::string_view text, int64_t base, GameSpool& spool,
                     const ReadOptions& options, WindowedRead& read);

// More text into the window: a window's worth, or as much as it holds when it has to grow (a
// game longer than a window), so that growing costs reading each byte a few times. True when the
// text ends with it; a failure ends the text where it happened, and what came before it is read
// as its end.
// A window's bytes. The room it grows into is not cleared first: the source's bytes fill it, and
// clearing eight megabytes a window cost as much as reading them.
class WindowText {
 public:
  std::string_view View() const { return std::string_view(bytes.get(), size); }
  operator std::string_view() const { return View(); }
  size_t Size() const { return size; }
  // Room for `count` more bytes after the text, to be filled and then counted with Grown.
  char* Room(size_t count) {
    if (size + count > capacity || !bytes) {
      const size_t grown = std::max({size + count, capacity * 2, size_t(1)});
      LargeBlock larger = AllocateLargeBlock(grown);
      if (size > 0) std::memcpy(larger.get(), bytes.get(), size);
      bytes = std::move(larger);
      capacity = grown;
    }
    return bytes.get() + size;
  }
  void Grown(size_t count) { size += count; }
  // The text becomes `other`'s from `offset` on.
  void AssignTail(const WindowText& other, size_t offset) {
    size = 0;
    const size_t count = other.size - std::min(offset, other.size);
    if (count > 0) std::memcpy(Room(count), other.bytes.get() + offset, count);
    size = count;
  }

 private:
  LargeBlock bytes;
  size_t size = 0;
  size_t capacity = 0;
};

bool FillWindow(ByteSource& source, WindowText& text, int64_t base, int64_t known, size_t windowBytes,
                const WindowedReadOptions& windows, WindowedRead& read) {
  const size_t had = text.Size();
  const int64_t remaining = std::max<int64_t>(0, known - base - int64_t(had));
  const size_t wanted = size_t(std::min<int64_t>(int64_t(std::max(windowBytes, had)), remaining));
  const size_t got = source.Read(text.Room(wanted), wanted);
  text.Grown(got);
  read.bytes += int64_t(got);
  read.largestWindow = std::max<int64_t>(read.largestWindow, int64_t(text.Size()));
  if (windows.storedProgress) windows.storedProgress->store(source.StoredBytesTaken());
  return got < wanted || base + int64_t(text.Size()) >= known;
}

// A window with no tag section to cut before and no room left to grow is read up to its last
// line break, as if the text ended there. A game read up to the cut was cut short, not ended: it
// is dropped and named.
PiecesRead ReadUpToLastLineBreak(std::string_view text, TGames& windowGames, ReadReport& windowReport,
                                 const ReadOptions& windowOptions, const WindowedReadOptions& windows, bool fileStart) {
  const size_t lineBreak = text.rfind('\n');
  const std::string_view readable = text.substr(0, lineBreak == std::string::npos ? text.size() : lineBreak + 1);
  const PiecesRead cut =
      ReadPieces(readable, windowGames, windowOptions, windows.threads, windows.minimumPieceBytes, SIZE_MAX, fileStart);
  if (!windowGames.empty()) {
    const TGame& last = windowGames.back();
    if (size_t(last.sourcePosition - 1 + last.sourceLength) >= readable.size()) {
      if (windowOptions.budget) GiveBack(*windowOptions.budget, last);
      if (windowOptions.report) {
        windowReport.Add(text, size_t(last.sourcePosition - 1), readable.size(), GameTooLong);
        windowReport.issues.back().gameNumber = cut.gamesBegun;
      }
      windowGames.pop_back();
    }
  }
  return cut;
}

// Text that ends because its source is damaged (or its stream failed) may end inside the last
// game read, after a whole move: that game is dropped and named, never written as whole. Text
// after it (the next game begun) shows that it was whole.
void DropGameCutByDamage(std::string_view text, TGames& windowGames, ReadReport& windowReport,
                         const ReadOptions& windowOptions, PiecesRead& pieces) {
  if (windowGames.empty()) return;
  const TGame& lastGame = windowGames.back();
  const size_t gameEnd = size_t(lastGame.sourcePosition - 1 + lastGame.sourceLength);
  const size_t more = gameEnd < text.size() ? text.find_first_not_of(" \t\r\n", gameEnd) : std::string::npos;
  if (more != std::string::npos) return;
  if (windowOptions.budget) GiveBack(*windowOptions.budget, lastGame);
  if (windowOptions.report) {
    windowReport.Add(text, size_t(lastGame.sourcePosition - 1), text.size(), TextCutShort);
    windowReport.issues.back().gameNumber = pieces.gamesBegun;
  }
  windowGames.pop_back();
  if (pieces.result == ReadOk) pieces.result = TextCutShort;
}

// The options each window is read with: no progress (the windows' reader tells it, in the
// text's bytes), and where the budget lets games go and the source cannot be read again by
// position, a spool to keep them in.
ReadOptions WindowOptions(const ReadOptions& options, const ByteSource& source, std::shared_ptr<GameSpool>& spool) {
  ReadOptions windowOptions = options;
  windowOptions.progress = nullptr;
  if (options.budget && !ReadableByPosition(source)) {
    spool = std::make_shared<GameSpool>();
    windowOptions.sourcePath = SourcePath(options.sourcePath.get(), spool);
  }
  return windowOptions;
}

// The stray text the window before was cut short in goes on at this one's start, where it was
// reported already: that report goes.
void ForgetStrayTextAtStart(std::vector<ReadIssue>& issues) {
  if (!issues.empty() && issues.front().gamePosition == 1 && issues.front().code == NotATagSection)
    issues.erase(issues.begin());
}

// A window read, on its way to the caller: its games and issues, where it lies in the text, and
// the text it was read from.
struct ReadWindow {
  TGames games;
  ReadReport report;
  int64_t base = 0;
  int32_t gamesBefore = 0;
  size_t consumed = 0;
  bool last = false;
};

// A window read in vain (to be read again, grown or cut short): its games go, and are given back
// to the budget.
void LetGoOfWindow(ReadWindow& window, MemoryBudget* budget) {
  if (budget)
    for (const TGame& game : window.games) GiveBack(*budget, game);
  window.games.clear();
  window.report = ReadReport();
}

// Hands a window's games over: spooled where the budget let them go, placed in the text, then
// given to the taker or appended to `games`. Counts the window's lines into `linesBefore`.
void HandOverWindow(ReadWindow& window, std::string_view text, GameSpool* spool, int32_t& linesBefore,
                    const ReadOptions& options, const WindowedReadOptions& windows, TGames& games, WindowedRead& read) {
  if (spool) SpoolLetGoGames(window.games, text, window.base, *spool, options, read);
  ShiftIntoText(window.games, window.report, window.base, linesBefore, window.gamesBefore);
  if (windows.takeWindow) {
    WindowTaken taken{window.games, window.report.issues, window.report.filteredOut,
                      text,         window.base,          window.consumed};
    windows.takeWindow(taken);
  } else {
    Append(window.games, window.report, games, options);
  }
  if (options.progress) options.progress->store(window.base + int64_t(window.consumed));
  // Counted as a report counts them (a window always ends right after a line's end).
  if (!window.last) linesBefore += int32_t(CountLineEnds(text, 0, window.consumed));
}

}  // namespace

WindowedRead ReadTextInWindows(ByteSource& source, TGames& games, const ReadOptions& options,
                               const WindowedReadOptions& windows) {
  WindowedRead read;
  read.size = source.storedSize;
  read.compression = source.GetCompression();
  const size_t windowBytes = std::max<size_t>(windows.windowBytes, 1);
  WindowText text;          // the window: bytes carried from the one before, then new ones
  WindowText previous;      // the window before, while its games are handed over
  int64_t base = 0;         // the text offset of text[0]
  int32_t linesBefore = 0;  // lines of the text before text[0]
  int32_t gamesBefore = 0;  // games begun before text[0]
  bool fileStart = true;
  bool inCutStretch = false;  // the window before was cut short inside stray text
  std::shared_ptr<GameSpool> spool;
  ReadOptions windowOptions = WindowOptions(options, source, spool);
  // A plain file is read no further than its size when opened: text appended meanwhile is
  // another reading's.
  const int64_t known = ReadableByPosition(source) ? source.storedSize : INT64_MAX;
  std::future<void> handover;  // the window before's games on their way (after all it refers to)
  while (!(options.stop && options.stop->load())) {
    const bool atEnd = FillWindow(source, text, base, known, windowBytes, windows, read);
    // Games that begin before the window's last line starting with "[" are read now; the rest is
    // carried over. Without such a line the window only grows, up to the longest stretch: past
    // it the text up to its last line break is read as if the text ended there (a game cut
    // there is reported as damaged, and the text after it as stray text, once).
    size_t end = SIZE_MAX;
    const bool mayGrow = text.Size() < std::max<size_t>(windows.longestStretch, 1);
    bool cutShort = false;
    if (!atEnd) {
      end = LastTagSectionStart(text);
      if (end == std::string::npos || end == 0) {
        if (mayGrow) continue;
        cutShort = true;
      }
    }
    ReadWindow window;
    windowOptions.report = options.report || windows.takeWindow ? &window.report : nullptr;
    PiecesRead pieces =
        cutShort
            ? ReadUpToLastLineBreak(text, window.games, window.report, windowOptions, windows, fileStart)
            : ReadPieces(text, window.games, windowOptions, windows.threads, windows.minimumPieceBytes, end, fileStart);
    // A reading that ran into the window's end may have cut a game short: the window grows and
    // is read again (as when the last "[" lay inside a comment).
    if (!atEnd && !cutShort && pieces.stoppedAt >= text.Size() && !(options.stop && options.stop->load())) {
      LetGoOfWindow(window, options.budget);
      if (mayGrow) continue;
      cutShort = true;
      pieces = ReadUpToLastLineBreak(text, window.games, window.report, windowOptions, windows, fileStart);
    }
    if (atEnd && source.error != ReadError::None)
      DropGameCutByDamage(text, window.games, window.report, windowOptions, pieces);
    if (inCutStretch) ForgetStrayTextAtStart(window.report.issues);
    inCutStretch = cutShort;
    if (read.result == ReadOk) read.result = pieces.result;
    read.piecesReadAgain += pieces.readAgain;
    window.last = atEnd || (!cutShort && pieces.stoppedAt >= text.Size());
    window.consumed = pieces.stoppedAt;
    window.base = base;
    window.gamesBefore = gamesBefore;
    // The window's games are handed over on a thread of their own while the next window is read:
    // one window after the other, in order. The window's text stays in `previous` meanwhile; the
    // next one reuses the older buffer.
    FinishWindow(handover);
    std::swap(text, previous);
    const bool last = window.last;
    if (!last) text.AssignTail(previous, window.consumed);
    handover = std::async(std::launch::async, [&, window = std::move(window)]() mutable {
      HandOverWindow(window, previous, spool.get(), linesBefore, options, windows, games, read);
    });
    if (last) break;
    gamesBefore += pieces.gamesBegun;
    base += int64_t(pieces.stoppedAt);
    fileStart = false;
  }
  FinishWindow(handover);
  read.error = source.error;
  read.errorDetail = source.detail;
  return read;
}

WindowedRead ReadFileInWindows(const std::filesystem::path& path, TGames& games, const ReadOptions& options,
                               const WindowedReadOptions& windows) {
  ReadError error = ReadError::None;
  std::unique_ptr<ByteSource> source = OpenByteSource(path, error);
  if (!source) {
    WindowedRead read;
    read.error = error;
    return read;
  }
  return ReadTextInWindows(*source, games, options, windows);
}

WindowedRead ReadFileInWindows(const std::filesystem::path& path, TGames& games, const ReadOptions& options,
                               size_t threads, size_t windowBytes, size_t minimumPieceBytes) {
  WindowedReadOptions windows;
  windows.threads = threads;
  windows.windowBytes = windowBytes;
  windows.minimumPieceBytes = minimumPieceBytes;
  return ReadFileInWindows(path, games, options, windows);
}

namespace {

std::unique_ptr<jurnal> GameAt(PgnReader& reader, const TGame& entry, size_t at);

void SpoolLetGoGames(TGames& windowGames, std::string_view text, int64_t base, GameSpool& spool,
                     const ReadOptions& options, WindowedRead& read) {
  for (TGame& game : windowGames) {
    if (game.game || !game.packed.empty()) continue;
    const std::string_view gameText = text.substr(size_t(game.sourcePosition - 1), size_t(game.sourceLength));
    if (spool.Add(base + game.sourcePosition, gameText)) continue;
    PgnReader reader(gameText);
    const std::unique_ptr<jurnal> record = GameAt(reader, game, 0);
    if (!record) continue;
    game.packed = PackedGame(*record);
    if (options.budget) {
      HostLockGuard lock;  // the next window's games are counted meanwhile
      options.budget->used += int64_t(game.packed.MemoryBytes());
    }
    ++read.keptForNoSpool;
    read.spoolError = spool.error;
  }
}

// Wanted games further apart than this are read with separate reads rather than one read that
// covers everything between them.
constexpr int64_t LargestGap = int64_t(1) << 20;

// Whether a game read again is the one the entry was read from: the same length of text and,
// where the entry kept its summary, the same moves. A file changed or replaced since it was
// read must not slip another game (or half of one) into the output.
bool StillTheSameGame(const TGame& entry, const jurnal& record, size_t length) {
  if (length != size_t(entry.sourceLength)) return false;
  if (!entry.summary.known) return true;
  if (record.movecount() != entry.summary.plies) return false;
  uint64_t startKey = 0, movesKey = 0;
  record.gamekeys(startKey, movesKey);
  return startKey == entry.summary.startKey && movesKey == entry.summary.movesKey;
}

// The entry's game from the text of a reader whose byte `at` is where the entry begins; null
// when it cannot be read there or is not the entry's game any more.
std::unique_ptr<jurnal> GameAt(PgnReader& reader, const TGame& entry, size_t at) {
  reader.position = at;
  TGamesTagArray scratch;
  std::string fen;
  if (reader.ReadTagSection(scratch, fen) != ReadOk) return nullptr;
  int fenError = 0;
  std::unique_ptr<jurnal> record = StartRecord(fen, reader.chess960, fenError);
  if (!record || reader.ReadMovetext(*record) != ReadOk) return nullptr;
  if (!StillTheSameGame(entry, *record, reader.position - at)) return nullptr;
  return record;
}

// Where an entry's text is read again: the position in its file, or in its spool; 0 when the
// spool does not hold it.
int64_t ReadAgainAt(const TGame& entry) {
  GameSpool* spool = entry.sourcePath.Spool();
  return spool ? spool->PositionOf(entry.sourcePosition) : entry.sourcePosition;
}

// `count` bytes from 1-based `position` of where `source`'s games are read again.
ReadError ReadAgainRange(const SourcePath& source, int64_t position, int64_t count, std::string& text) {
  if (GameSpool* spool = source.Spool()) return spool->ReadRange(position, count, text);
  return readrange(source, position, count, text);
}

// A wanted entry and where its text is read again.
struct Wanted {
  size_t index;
  int64_t at;
};

// Gives each entry of `wanted` (sorted by where it is read again) its game from one read of the
// range that covers them.
int RereadRange(const SourcePath& source, TGames& games, const std::vector<Wanted>& wanted) {
  const int64_t first = wanted.front().at;
  int64_t last = 0;
  for (const Wanted& w : wanted) last = std::max<int64_t>(last, w.at + games[w.index].sourceLength);
  std::string text;
  if (ReadAgainRange(source, first, last - first, text) != ReadError::None) return 0;
  int loaded = 0;
  PgnReader reader(text);
  for (const Wanted& w : wanted) {
    HostLockGuard lock;
    TGame& entry = games[w.index];
    std::unique_ptr<jurnal> record = GameAt(reader, entry, size_t(w.at - first));
    if (!record) continue;
    entry.game = std::move(record);
    ++loaded;
  }
  return loaded;
}

}  // namespace

int RereadGames(const SourcePath& source, TGames& games, const std::vector<int32_t>& selection, size_t start,
                std::vector<bool>& done) {
  std::vector<Wanted> wanted;
  int unpacked = 0;
  {
    HostLockGuard lock;
    if (done.size() < selection.size()) done.resize(selection.size(), false);
    for (size_t i = start; i < selection.size(); ++i) {
      const int32_t index = selection[i];
      if (index < 0 || size_t(index) >= games.size() || done[i]) continue;
      TGame& entry = games[size_t(index)];
      if (entry.game || !entry.sourcePath.ReadAgainFromTheSamePlace(source)) continue;
      if (!entry.packed.empty()) {
        // Kept packed: unpacked, the file not read.
        entry.game = entry.packed.Unpack();
        done[i] = true;
        ++unpacked;
        continue;
      }
      if (entry.sourcePosition < 1) continue;
      done[i] = true;
      const int64_t at = ReadAgainAt(entry);
      if (at > 0) wanted.push_back(Wanted{size_t(index), at});
    }
  }
  std::sort(wanted.begin(), wanted.end(), [](const Wanted& a, const Wanted& b) { return a.at < b.at; });
  int loaded = 0;
  for (size_t begin = 0; begin < wanted.size();) {
    size_t end = begin + 1;
    int64_t reach = wanted[begin].at + games[wanted[begin].index].sourceLength;
    while (end < wanted.size() && wanted[end].at - reach <= LargestGap) {
      reach = std::max<int64_t>(reach, wanted[end].at + games[wanted[end].index].sourceLength);
      ++end;
    }
    loaded += RereadRange(source, games, std::vector<Wanted>(wanted.begin() + long(begin), wanted.begin() + long(end)));
    begin = end;
  }
  return unpacked + loaded;
}

std::unique_ptr<jurnal> ReadGameAgain(const TGame& entry) {
  if (!entry.packed.empty()) return entry.packed.Unpack();
  if (entry.sourcePath.empty() || entry.sourcePosition < 1 || entry.sourceLength <= 0) return nullptr;
  const int64_t at = ReadAgainAt(entry);
  std::string text;
  if (at < 1 || ReadAgainRange(entry.sourcePath, at, entry.sourceLength, text) != ReadError::None) return nullptr;
  PgnReader reader(text);
  return GameAt(reader, entry, 0);
}
