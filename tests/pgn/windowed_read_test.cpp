// Reading a file in windows gives what reading it whole gives: the same games at the same
// positions, the same issues with the same lines and game numbers, whatever the window's size,
// so that every game edge falls on a window edge somewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "pgn/game_reader.h"
#include "pgn/read_codes.h"
#include "tests/support/shared_data.h"
#include "tests/support/temp_dir.h"

namespace {

struct WholeRead {
  TGames games;
  ReadReport report;
  int result = 0;
};

WholeRead ReadWhole(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  WholeRead read;
  ReadOptions options;
  options.sourcePath = file;
  options.report = &read.report;
  options.growthStep = 1024;
  read.result = ReadGames(text, read.games, options);
  return read;
}

// The games and issues of a windowed read are those of reading whole, at the same positions,
// lines and numbers.
void ExpectSameGames(const WindowedRead& read, const TGames& games, const ReadReport& report, const WholeRead& whole) {
  ASSERT_EQ(read.error, ReadError::None) << read.errorDetail;
  EXPECT_EQ(read.result, whole.result);
  ASSERT_EQ(games.size(), whole.games.size());
  for (size_t i = 0; i < games.size(); ++i) {
    const TGame &a = games[i], &b = whole.games[i];
    ASSERT_EQ(a.sourcePosition, b.sourcePosition) << "game " << i;
    ASSERT_EQ(a.sourceLength, b.sourceLength) << "game " << i;
    ASSERT_EQ(a.tags.size(), b.tags.size()) << "game " << i;
    for (size_t t = 0; t < a.tags.size(); ++t) ASSERT_EQ(a.tags[t].value, b.tags[t].value) << "game " << i;
    if (!a.game || !b.game) {
      ASSERT_EQ(a.summary.plies, b.game ? b.game->movecount() : b.summary.plies) << "game " << i;
      continue;
    }
    ASSERT_EQ(a.game->movecount(), b.game->movecount()) << "game " << i;
    if (a.game->movecount() > 0) {
      ASSERT_EQ(a.game->moves.back().san, b.game->moves.back().san) << "game " << i;
    }
  }
  ASSERT_EQ(report.issues.size(), whole.report.issues.size());
  EXPECT_EQ(report.filteredOut, whole.report.filteredOut);
  for (size_t i = 0; i < report.issues.size(); ++i) {
    const ReadIssue &a = report.issues[i], &b = whole.report.issues[i];
    EXPECT_EQ(a.gamePosition, b.gamePosition) << "issue " << i;
    EXPECT_EQ(a.gameLine, b.gameLine) << "issue " << i;
    EXPECT_EQ(a.gameNumber, b.gameNumber) << "issue " << i;
    EXPECT_EQ(a.position, b.position) << "issue " << i;
    EXPECT_EQ(a.line, b.line) << "issue " << i;
    EXPECT_EQ(a.code, b.code) << "issue " << i;
    EXPECT_EQ(a.detail, b.detail) << "issue " << i;
  }
}

// Reads the file in windows and expects what reading it whole gave; returns the most text the
// windows held at once.
WindowedRead ExpectSameRead(const std::filesystem::path& file, const WholeRead& whole, size_t window, size_t threads) {
  SCOPED_TRACE(file.string() + ", window " + std::to_string(window) + ", threads " + std::to_string(threads));
  TGames games;
  ReadReport report;
  ReadOptions options;
  options.sourcePath = file;
  options.report = &report;
  options.growthStep = 1024;
  const WindowedRead read = ReadFileInWindows(file, games, options, threads, window, 256);
  ExpectSameGames(read, games, report, whole);
  EXPECT_EQ(read.bytes, read.size);
  return read;
}

// The longest stretch from one game's start to the next's.
int64_t LongestGame(const WholeRead& whole, int64_t size) {
  int64_t longest = 0;
  for (size_t i = 0; i < whole.games.size(); ++i) {
    const int64_t next = i + 1 < whole.games.size() ? whole.games[i + 1].sourcePosition : size + 1;
    longest = std::max(longest, next - whole.games[i].sourcePosition);
  }
  return longest;
}

std::vector<std::filesystem::path> SharedCollections() {
  std::vector<std::filesystem::path> files;
  const std::filesystem::path folder = CollectionsFolder();
  if (!std::filesystem::exists(folder)) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (entry.is_regular_file() && entry.path().extension() == ".pgn") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(WindowedRead, EverySharedCollectionReadsAsWhole) {
  PGN_SKIP_WITHOUT_COLLECTIONS(CollectionsFolder());
  const auto files = SharedCollections();
  ASSERT_GT(files.size(), 10u);
  for (const auto& file : files) {
    const WholeRead whole = ReadWhole(file);
    const uintmax_t size = std::filesystem::file_size(file);
    // Windows far smaller than a game, around a game, and of many games, on one and on two
    // threads; the smaller ones only where the file is small, or the test would take minutes.
    if (size < 30000) ExpectSameRead(file, whole, 7, 1);
    if (size < 3000000) ExpectSameRead(file, whole, 4093, 1);
    const WindowedRead read = ExpectSameRead(file, whole, 65521, 2);
    // A window grows past its size only for a game (or damaged stretch) longer than it: the
    // text held stays a few windows, never the file.
    if (whole.report.issues.empty()) {
      EXPECT_LE(read.largestWindow, 4 * std::max<int64_t>(65521, LongestGame(whole, int64_t(size)))) << file;
    }
    // The second thread's piece begins where a game's tags begin, never on a tag line inside
    // them: the reading of the first piece stops right there and nothing is read twice (games
    // without comments, where no line inside one starts with "[").
    if (file.parent_path().filename() == "otb") {
      EXPECT_EQ(read.piecesReadAgain, 0) << file;
    }
  }
}

TEST(WindowedRead, TextThatLooksLikeAGameStartInsideACommentOrDamage) {
  // A "[" opening a line inside a comment, damage that runs to the file's end, a byte-order
  // mark, and a file that ends in the middle of a game.
  TempDir dir;
  const std::string text =
      "\xEF\xBB\xBF[Event \"a\"]\n\n1. e4 {a comment\n[Event \"not a game\"]\n} e5 *\n\n"
      "garbage here\n[Event \"b\"]\n\n1. d4 d5 2. c4 *\n\n[Event \"c\"]\n\n1. e4 e5 2. Qh5 Nc6 3. Bc4";
  TempDir::Write(dir / "odd.pgn", text);
  const WholeRead whole = ReadWhole(dir / "odd.pgn");
  ASSERT_EQ(whole.games.size(), 3u);  // the last one ends with the file, unfinished
  for (size_t window = 1; window <= text.size() + 1; ++window) ExpectSameRead(dir / "odd.pgn", whole, window, 1);
}

TEST(WindowedRead, DamageAfterAGameBegunInsideALineIsSteppedOverAlike) {
  // A game may begin inside a line (after a lone CR, a NUL, stray bytes): the skip over its
  // damage judges the line it began on from the game's start, as a window beginning there does.
  // Each text a window could once cut into another reading than the whole text's.
  TempDir dir;
  const std::string texts[] = {
      std::string("[\xFE\xFF"
                  "e]\n\n1 {ea]\n[Si}\r\0[Sl\x88 l\x88  \n[Sl\x88 l\x88",
                  37),
      "[E0\nk\"]\n[Reult \"0-0\"\n]\n e4[\xFF\xFF\xFFt\"]I[\xFF\n[",
      "[Event \"a\"]\n\n1. e4 e5 *\n\n junk [Site \"x\"]\n[Bad tag\n[Event \"b\"]\n\n1. d4 *\n",
  };
  for (const std::string& text : texts) {
    TempDir::Write(dir / "damaged.pgn", text);
    const WholeRead whole = ReadWhole(dir / "damaged.pgn");
    for (size_t window = 1; window <= text.size() + 1; ++window) ExpectSameRead(dir / "damaged.pgn", whole, window, 1);
  }
}

TEST(WindowedRead, AMissingFileIsAnErrorAndAnEmptyOneHasNoGames) {
  TempDir dir;
  TGames games;
  EXPECT_EQ(ReadFileInWindows(dir / "none.pgn", games, ReadOptions{}, 1, 100).error, ReadError::CannotOpen);
  TempDir::Write(dir / "empty.pgn", "");
  const WindowedRead read = ReadFileInWindows(dir / "empty.pgn", games, ReadOptions{}, 1, 100);
  EXPECT_EQ(read.error, ReadError::None);
  EXPECT_TRUE(games.empty());
}

}  // namespace

namespace {

// A text read from a stream in windows of 4 KiB that may grow to 64 KiB.
struct StretchRead {
  TGames games;
  ReadReport report;
  WindowedRead read;
};

StretchRead ReadWithShortStretches(const std::string& text) {
  TempDir dir;
  TempDir::Write(dir / "text.pgn", text);
  StretchRead result;
  ReadError error = ReadError::None;
  std::unique_ptr<ByteSource> source = OpenByteSource(dir / "text.pgn", error);
  ReadOptions options;
  options.report = &result.report;
  WindowedReadOptions windows;
  windows.windowBytes = 4096;
  windows.longestStretch = 65536;
  windows.minimumPieceBytes = 1024;
  result.read = ReadTextInWindows(*source, result.games, options, windows);
  return result;
}

TEST(WindowedRead, StrayTextLongerThanAWindowMayGrowIsSkippedWithOneReport) {
  // Megabytes of text that is no game between two games (as a hostile compressed file may
  // unpack to): memory stays within the longest stretch, the games on both sides are read, the
  // stretch is named once.
  const std::string first = "[Event \"a\"]\n\n1. e4 e5 *\n\n";
  std::string junk;
  while (junk.size() < (3 << 20)) junk += "no game here\n";
  const std::string text = first + junk + "[Event \"b\"]\n\n1. d4 d5 *\n";
  const StretchRead result = ReadWithShortStretches(text);
  ASSERT_EQ(result.games.size(), 2u);
  EXPECT_EQ(result.games[1].sourcePosition, int64_t(text.find("[Event \"b\"]")) + 1);
  ASSERT_EQ(result.report.issues.size(), 1u);
  EXPECT_EQ(result.report.issues[0].code, NotATagSection);
  EXPECT_EQ(result.report.issues[0].gamePosition, int64_t(first.size()) + 1);
  EXPECT_LE(result.read.largestWindow, 2 * 65536);
  // Lines after the stretch are counted on: a later damaged game is named at its line.
  const StretchRead later = ReadWithShortStretches(text + "\n[Event \"c\"]\n\n1. e4 e4 *\n");
  ASSERT_EQ(later.report.issues.size(), 2u);
  EXPECT_EQ(later.report.issues[1].gameLine, int32_t(std::count(text.begin(), text.end(), '\n')) + 2);
  // Zeros are blanks to the reader: no stretch to name, and still no window past the longest.
  const StretchRead zeros = ReadWithShortStretches(first + std::string(3 << 20, '\0') + "\n[Event \"b\"]\n\n*\n");
  EXPECT_EQ(zeros.games.size(), 2u);
  EXPECT_LE(zeros.read.largestWindow, 2 * 65536);
}

TEST(WindowedRead, ATakerGetsEachWindowOnceInTheTextsOrderWhileTheNextIsRead) {
  // Each window's games are handed to the taker while the next window is read: the taker still
  // sees every window once, each starting where the one before stopped, its games and issues
  // already placed in the whole text, and the windows' games together are the whole read's.
  std::string text;
  for (int game = 0; game < 600; ++game)
    text += "[Event \"" + std::to_string(game) + "\"]\n\n" +
            (game % 89 == 40 ? "1. e4 e4 *\n\n" : "1. e4 {a few words} e5 2. Nf3 Nc6 3. Bb5 a6 *\n\n");
  TempDir dir;
  TempDir::Write(dir / "text.pgn", text);
  const WholeRead whole = ReadWhole(dir / "text.pgn");
  for (const size_t threads : {size_t(1), size_t(3)}) {
    SCOPED_TRACE("threads " + std::to_string(threads));
    ReadError error = ReadError::None;
    std::unique_ptr<ByteSource> source = OpenByteSource(dir / "text.pgn", error);
    ASSERT_TRUE(source);
    ReadOptions options;
    options.sourcePath = dir / "text.pgn";
    options.growthStep = 1024;
    WindowedReadOptions windows;
    windows.threads = threads;
    windows.windowBytes = 3000;
    windows.minimumPieceBytes = 256;
    TGames taken;
    ReadReport report;
    int64_t nextBase = 0;
    int windowsTaken = 0;
    windows.takeWindow = [&](WindowTaken& window) {
      ++windowsTaken;
      EXPECT_EQ(window.base, nextBase);
      // The window's own text, as the file holds it there.
      EXPECT_EQ(window.text.substr(0, window.consumed),
                std::string_view(text).substr(size_t(window.base), window.consumed));
      nextBase = window.base + int64_t(window.consumed);
      for (TGame& game : window.games) taken.push_back(std::move(game));
      for (ReadIssue& issue : window.issues) report.issues.push_back(std::move(issue));
      report.filteredOut += window.filteredOut;
    };
    TGames none;
    const WindowedRead read = ReadTextInWindows(*source, none, options, windows);
    EXPECT_TRUE(none.empty());
    EXPECT_GT(windowsTaken, 10);
    EXPECT_EQ(nextBase, int64_t(text.size()));
    ExpectSameGames(read, taken, report, whole);
  }
}

TEST(WindowedRead, LinesAreCountedAlikeWhateverEndsThemAndWhereverTheWindowsFall) {
  // Reports far into a text of several windows name the lines a reader counts: CR LF, LF and a
  // lone CR each end one line, and all three kinds mixed.
  for (const std::string end : {"\n", "\r\n", "\r", "mixed"}) {
    SCOPED_TRACE(end == "\r" ? "CR" : end == "\r\n" ? "CR LF" : end);
    std::string text;
    int line = 1;
    auto add = [&](const std::string& content) {
      const std::string ending = end != "mixed" ? end : line % 3 == 0 ? "\r" : line % 3 == 1 ? "\r\n" : "\n";
      text += content + ending;
      ++line;
    };
    std::vector<int> damagedLines;
    for (int game = 0; game < 400; ++game) {
      if (game % 97 == 50) damagedLines.push_back(line);
      add("[Event \"" + std::to_string(game) + "\"]");
      add("");
      add(game % 97 == 50 ? "1. e4 e4 *" : "1. e4 {a comment of a few words} e5 2. Nf3 Nc6 *");
      add("");
    }
    const StretchRead result = ReadWithShortStretches(text);
    EXPECT_EQ(result.games.size(), 400u - damagedLines.size());
    ASSERT_EQ(result.report.issues.size(), damagedLines.size());
    for (size_t k = 0; k < damagedLines.size(); ++k) EXPECT_EQ(result.report.issues[k].gameLine, damagedLines[k]);
    // The same count as one byte at a time, from any start.
    size_t plain = 0;
    for (size_t i = 5; i < text.size(); ++i)
      plain += text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'));
    EXPECT_EQ(CountLineEnds(text, 5, text.size()), plain);
  }
}

TEST(WindowedRead, LineEndsAreCountedAlikeInAnyStretchOfAnyMixOfEndings) {
  // LF, CR LF and lone CR mixed, long runs without any, a CR as the last byte: every stretch
  // counts as a byte-by-byte count does, the byte after the stretch deciding a CR at its end.
  std::string text;
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
  while (text.size() < 3000) {
    const uint32_t pick = next() % 8;
    if (pick == 0)
      text += '\n';
    else if (pick == 1)
      text += "\r\n";
    else if (pick == 2)
      text += '\r';
    else
      text += std::string(next() % 70, char('a' + pick));
  }
  text += '\r';
  auto plain = [&text](size_t from, size_t to) {
    size_t count = 0;
    for (size_t i = from; i < to; ++i)
      count += text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'));
    return count;
  };
  for (int trial = 0; trial < 2000; ++trial) {
    size_t from = next() % (text.size() + 1), to = next() % (text.size() + 1);
    if (trial % 10 == 0) to = text.size();
    if (from > to) std::swap(from, to);
    ASSERT_EQ(CountLineEnds(text, from, to), plain(from, to)) << from << ".." << to;
  }
  EXPECT_EQ(CountLineEnds("", 0, 0), 0u);
  EXPECT_EQ(CountLineEnds(std::string(1000, '\n'), 0, 1000), 1000u);  // more than a lane holds
}

TEST(WindowedRead, AGameLongerThanAWindowMayGrowIsSkippedAndTheNextOnesRead) {
  std::string comment(200000, 'x');
  for (size_t i = 100; i < comment.size(); i += 100) comment[i] = '\n';
  const std::string text = "[Event \"a\"]\n\n1. e4 e5 *\n\n[Event \"long\"]\n\n1. e4 {" + comment +
                           "} e5 *\n\n[Event \"b\"]\n\n1. d4 d5 *\n\n[Event \"c\"]\n\n1. c4 *\n";
  const StretchRead result = ReadWithShortStretches(text);
  ASSERT_EQ(result.games.size(), 3u);
  EXPECT_EQ(result.games[1].tags[0].value, "b");
  EXPECT_EQ(result.games[2].tags[0].value, "c");
  // The long game is named, once: never kept cut short.
  ASSERT_EQ(result.report.issues.size(), 1u);
  EXPECT_EQ(result.report.issues[0].code, GameTooLong);
  EXPECT_EQ(result.report.issues[0].gameNumber, 2);
  EXPECT_EQ(result.report.issues[0].gameLine, 5);
  EXPECT_LE(result.read.largestWindow, 2 * 65536);
}

}  // namespace

namespace {

// A list that grows by one window's games at a time is moved to a larger block a few dozen
// times over a million games, not once per window.
TEST(WindowedRead, AListGrownWindowByWindowMovesRarely) {
  TGames games;
  int moves = 0;
  const TGame* block = nullptr;
  for (int window = 0; window < 10000; ++window) {
    ReserveMore(games, 100);
    for (int k = 0; k < 100; ++k) games.emplace_back();
    if (games.data() != block) ++moves;
    block = games.data();
  }
  EXPECT_EQ(games.size(), 1000000u);
  EXPECT_LT(moves, 40);
}

}  // namespace

namespace {

// A text that fails after its first `good` bytes, as a damaged compressed file does.
class FailingSource : public ByteSource {
 public:
  FailingSource(std::string all, size_t goodBytes)
      : ByteSource(std::make_unique<StoredInput>(nullptr, false), Compression::Gzip),
        text(std::move(all)),
        good(goodBytes) {}
  size_t Read(char* to, size_t count) override {
    const size_t n = std::min(count, good - at);
    std::copy_n(text.data() + at, n, to);
    at += n;
    if (n < count) Fail(ReadError::Damaged, "data error");
    return n;
  }

 private:
  std::string text;
  size_t good, at = 0;
};

// Damage that ends the text inside a game, right after a whole move, leaves a game that reads
// without fault and a Result tag that makes it look complete: it is dropped and named, and
// the games before it are kept. Damage right after a game's last byte costs that game too (it
// cannot be told from one cut there), but damage in the next game shows the one before whole.
TEST(WindowedRead, AGameTheDamageCutIsDroppedAndNamed) {
  const std::string game1 = "[Event \"1\"]\n[Result \"1-0\"]\n\n1. e4 e5 2. Nf3 Nc6 1-0\n\n";
  const std::string game2 = "[Event \"2\"]\n[Result \"1-0\"]\n\n1. d4 d5 2. c4 e6 3. Nc3 Nf6 1-0\n\n";
  const std::string all = game1 + game2;
  const size_t cutAfterAMove = game1.size() + game2.find("Nc3") + 3;
  for (size_t window : {size_t(16), size_t(4096)}) {
    for (const auto& [good, kept] :
         {std::pair{cutAfterAMove, size_t(1)}, {all.size(), size_t(1)}, {game1.size() + 5, size_t(1)}}) {
      SCOPED_TRACE("window " + std::to_string(window) + ", good " + std::to_string(good));
      FailingSource source(all, good);
      TGames games;
      ReadReport report;
      ReadOptions options;
      options.report = &report;
      WindowedReadOptions windows;
      windows.windowBytes = window;
      const WindowedRead read = ReadTextInWindows(source, games, options, windows);
      EXPECT_EQ(read.error, ReadError::Damaged);
      ASSERT_EQ(games.size(), kept);
      EXPECT_EQ(TagAt(games[0], EventSlot), "1");
      ASSERT_EQ(report.issues.size(), 1u);
      EXPECT_EQ(report.issues[0].gameNumber, 2);
      if (good == cutAfterAMove) {
        EXPECT_EQ(report.issues[0].code, TextCutShort);
      }
    }
  }
}

}  // namespace
