// The board's share of reading PGN: per half-move, the move text is taken apart, resolved to
// the one legal move it means, described and played, and the check state of the side to move
// next found. Games come from the real collections in the shared data folder.
#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "chess/doska.h"
#include "chess/jurnal.h"
#include "chess/san_parse.h"
#include "tests/chess/move_text.h"
#include "tests/chess/reference_board.h"

namespace {

// One game's move texts, in order.
using MoveTexts = std::vector<std::string>;

// The move texts of the main lines of a PGN file: tag pairs, comments, variations, NAGs, move
// numbers and results are stepped over. Good enough for the well-formed collections used here.
std::vector<MoveTexts> ReadMainLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string text = buffer.str();
  std::vector<MoveTexts> games;
  MoveTexts current;
  int depth = 0;
  size_t i = 0;
  auto finish = [&] {
    if (!current.empty()) games.push_back(std::move(current));
    current.clear();
  };
  while (i < text.size()) {
    const char c = text[i];
    if (c == '{') {
      const size_t end = text.find('}', i);
      i = end == std::string::npos ? text.size() : end + 1;
    } else if (c == ';') {
      const size_t end = text.find('\n', i);
      i = end == std::string::npos ? text.size() : end + 1;
    } else if (c == '[' && depth == 0) {
      finish();
      const size_t end = text.find('\n', i);
      i = end == std::string::npos ? text.size() : end + 1;
    } else if (c == '(') {
      ++depth, ++i;
    } else if (c == ')') {
      --depth, ++i;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else {
      size_t end = i;
      while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) && text[end] != '{' &&
             text[end] != '(' && text[end] != ')' && text[end] != ';')
        ++end;
      std::string token = text.substr(i, end - i);
      i = end;
      if (depth > 0 || token[0] == '$' || token == "*" || token == "1-0" || token == "0-1" || token == "1/2-1/2")
        continue;
      const size_t dot = token.find_last_of('.');
      if (dot != std::string::npos) token = token.substr(dot + 1);
      if (!token.empty()) current.push_back(token);
    }
  }
  finish();
  return games;
}

// Plays one game's texts on a board; returns the plies played before the first failure.
template <typename Board>
long Replay(Board& board, const MoveTexts& game, uint64_t& checks) {
  board.reset();
  bool black = false;
  long plies = 0;
  MoveText t;
  mov m;
  for (const std::string& text : game) {
    if (!ParseMoveText(text, black, t)) break;
    const uint8_t state = board.resolve(t);
    if (state > 3 && state != 255) break;
    checks += state == 1 || state == 2;
    board.describe(m, t.from, t.to, t.promotion);
    board.apply(m);
    black = !black;
    ++plies;
  }
  return plies;
}

// The games of a few collections, cut to the plies the board can read (Chess960 games and the
// like end where their first foreign move stands).
const std::vector<MoveTexts>& Games() {
  static const std::vector<MoveTexts> games = [] {
    std::vector<MoveTexts> all;
    for (const char* name : {"otb/Kasparov.pgn", "otb/Carlsen.pgn", "online/lichess-db-slice.pgn",
                             "online/twic1599-slice.pgn", "engine/TCEC_Season_5_-_Superfinal.pgn"}) {
      for (MoveTexts& game : ReadMainLines(std::string(PGN_SHARED_DATA "/pgn/") + name)) {
        doska board;
        uint64_t checks = 0;
        const long plies = Replay(board, game, checks);
        game.resize(size_t(plies));
        if (plies > 0) all.push_back(std::move(game));
      }
    }
    long plies = 0;
    for (const MoveTexts& game : all) plies += long(game.size());
    std::fprintf(stderr, "%zu games, %ld plies\n", all.size(), plies);
    return all;
  }();
  return games;
}

// Replays every game with `replay(board, game, checks)` (which returns the plies it played) for
// as long as the benchmark runs, and reports the plies a second.
template <typename Board, typename Game, typename Replayer>
void ReplayAll(benchmark::State& state, const std::vector<Game>& games, Replayer replay) {
  Board board;
  uint64_t checks = 0;
  long plies = 0;
  for (auto _ : state) {
    for (const Game& game : games) plies += replay(board, game, checks);
  }
  benchmark::DoNotOptimize(checks);
  state.SetItemsProcessed(plies);
  state.counters["plies/s"] = benchmark::Counter(double(plies), benchmark::Counter::kIsRate);
}

template <typename Board>
// Each move resolved together with the opponent's state after it (a trial of the move inside
// `resolve`), then described and played: how the reader drove the board until it learnt the state
// from the board after playing the move. Kept for its history and for the reference board.
void ResolveWithStatePlyWork(benchmark::State& state) {
  ReplayAll<Board>(state, Games(),
                   [](Board& board, const MoveTexts& game, uint64_t& checks) { return Replay(board, game, checks); });
}

BENCHMARK_TEMPLATE(ResolveWithStatePlyWork, doska)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(ResolveWithStatePlyWork, ReferenceBoard)->Unit(benchmark::kMillisecond)->Iterations(1);

// One game's move texts as the reader meets them: in one buffer, a space after each, with more
// text behind the last (the reader's buffer holds the rest of the file), so that the move
// reader takes the path it takes inside a file rather than the one for a file's last bytes.
struct MoveLine {
  std::string text;
  std::vector<uint32_t> starts;  // where each move text begins
};

const std::vector<MoveLine>& Lines() {
  static const std::vector<MoveLine> lines = [] {
    std::vector<MoveLine> all;
    for (const MoveTexts& game : Games()) {
      MoveLine line;
      for (const std::string& text : game) {
        line.starts.push_back(uint32_t(line.text.size()));
        line.text += text;
        line.text += ' ';
      }
      line.text += "1-0\n\n[Event \"?\"]\n";
      all.push_back(std::move(line));
    }
    return all;
  }();
  return lines;
}

// Takes the move text at `at` apart as the reader does: castlings by their form (the king's
// origin as hints), other moves with the reader's own move-text reader.
__attribute__((always_inline)) inline bool ReadAsReader(const std::string& line, size_t at, bool black,
                                                        SanMoveText& move) {
  if (line[at] == 'O' || line[at] == '0') {
    MoveText t;
    if (!ParseMoveText(line.substr(at, line.find(' ', at) - at), black, t)) return false;
    move = SanMoveText{};
    move.piece = uint8_t(t.piece);
    move.hintfile = uint8_t(t.from.file);
    move.hintrank = uint8_t(t.from.rank);
    move.tofile = uint8_t(t.to.file);
    move.torank = uint8_t(t.to.rank);
    return true;
  }
  return ReadSanMove(line.data(), line.size(), at, black, move);
}

// Plays one game's texts as the reader drives the board today: each move found and played by
// ResolveAndPlay (with the rivals its SAN text needs), which learns the check (and, in check, the
// mate) of the side to move next. Stalemate is left, as the reader leaves it, until a move or a
// result asks.
__attribute__((noinline)) long ReplayAsReader(doska& board, const MoveLine& game, uint64_t& checks) {
  board.reset();
  bool black = false;
  long plies = 0;
  SanMoveText t;
  mov m;
  for (const uint32_t start : game.starts) {
    if (!ReadAsReader(game.text, start, black, t)) break;
    Bitboard rivals = 0;
    uint8_t state = 0;
    const uint8_t found =
        board.ResolveAndPlay({t.piece, t.promotion, {t.hintfile, t.hintrank}, {t.tofile, t.torank}}, m, rivals, state);
    if (found != StateNormal) break;
    checks += state == StateCheck || state == StateCheckmate;
    black = !black;
    ++plies;
  }
  return plies;
}

void ReaderPlyWork(benchmark::State& state) { ReplayAll<doska>(state, Lines(), ReplayAsReader); }
BENCHMARK(ReaderPlyWork)->Unit(benchmark::kMillisecond);

// The same games recorded as the reader records them: each move text resolved and played, then
// added to the game record with its SAN text (AppendPlayed: check marks from the board after it).
void RecordPlyWork(benchmark::State& state) {
  const std::vector<MoveLine>& lines = Lines();
  doska board;
  long plies = 0;
  size_t sanBytes = 0;
  for (auto _ : state) {
    for (const MoveLine& line : lines) {
      board.reset();
      jurnal game(&board, nullptr);
      bool black = false;
      SanMoveText t;
      for (const uint32_t start : line.starts) {
        if (!ReadAsReader(line.text, start, black, t)) break;
        mov record;
        Bitboard rivals = 0;
        uint8_t after = 0;
        const uint8_t found = board.ResolveAndPlay(
            {t.piece, t.promotion, {t.hintfile, t.hintrank}, {t.tofile, t.torank}}, record, rivals, after);
        if (found != StateNormal) break;
        game.AppendPlayed(record, 0, rivals, after);
        sanBytes += game.moves[size_t(game.current) - 1].san.size();
        black = !black;
        ++plies;
      }
    }
  }
  benchmark::DoNotOptimize(sanBytes);
  state.SetItemsProcessed(plies);
  state.counters["plies/s"] = benchmark::Counter(double(plies), benchmark::Counter::kIsRate);
}
BENCHMARK(RecordPlyWork)->Unit(benchmark::kMillisecond);

// The position key, computed for duplicate detection and ECO lookups.
void PositionKey(benchmark::State& state) {
  doska board;
  uint64_t key = 0;
  bool black = false;
  for (auto _ : state) {
    key ^= board.poskey(SideOf(black));
    black = !black;
  }
  benchmark::DoNotOptimize(key);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(PositionKey);

}  // namespace

BENCHMARK_MAIN();
