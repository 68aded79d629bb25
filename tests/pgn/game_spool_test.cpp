// Games let go while reading a text that cannot be read again by position (compressed, or a
// stream) are kept in a spool and come back from it as they were; where no spool can be made
// they stay in memory. The spool's own record keeping: positions found again, ranges, and
// failures as values.
#include "pgn/game_spool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "pgn/game_reader.h"
#include "tests/support/compressed_text.h"
#include "tests/support/temp_dir.h"

namespace {

std::string Collection() {
  // One of the project's own samples (over-the-board games, MIT), so that a clone runs these too.
  std::ifstream in(PGN_SOURCE_DIR "/data/samples/Lasker.pgn", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(GameSpool, GamesAreFoundAgainByTheirPositionInTheText) {
  GameSpool spool;
  EXPECT_EQ(spool.PositionOf(1), 0);
  ASSERT_TRUE(spool.Add(1, "first"));
  ASSERT_TRUE(spool.Add(120, "second game"));
  ASSERT_TRUE(spool.Add(5000, "third"));
  EXPECT_EQ(spool.PositionOf(1), 1);
  EXPECT_EQ(spool.PositionOf(120), 6);
  EXPECT_EQ(spool.PositionOf(5000), 17);
  EXPECT_EQ(spool.PositionOf(121), 0);  // no game began there
  EXPECT_EQ(spool.Bytes(), 21);
  std::string text;
  EXPECT_EQ(spool.ReadRange(6, 11, text), ReadError::None);
  EXPECT_EQ(text, "second game");
  EXPECT_EQ(spool.ReadRange(1, 21, text), ReadError::None);
  EXPECT_EQ(text, "firstsecond gamethird");
  EXPECT_EQ(spool.ReadRange(17, 6, text), ReadError::BadRange);  // past its end
  EXPECT_EQ(spool.ReadRange(0, 1, text), ReadError::BadRange);
  GameSpool empty;
  EXPECT_EQ(empty.ReadRange(1, 0, text), ReadError::BadRange);
}

// What reading a text in windows with every game let go gives, and the games read whole.
struct Reads {
  TGames whole, windowed;
  WindowedRead read;
};

Reads ReadLettingGo(ByteSource& source, const std::string& text, MemoryBudget& budget) {
  Reads reads;
  ReadOptions wholeOptions;
  ReadGames(text, reads.whole, wholeOptions);
  ReadOptions options;
  options.sourcePath = std::filesystem::path("games.pgn.x");
  options.budget = &budget;
  WindowedReadOptions windows;
  windows.threads = 2;
  windows.windowBytes = 40000;
  windows.minimumPieceBytes = 4096;
  reads.read = ReadTextInWindows(source, reads.windowed, options, windows);
  return reads;
}

// Every entry comes back, alone and all together, as the game read whole.
void ExpectGamesComeBack(Reads& reads) {
  ASSERT_EQ(reads.windowed.size(), reads.whole.size());
  for (size_t i = 0; i < reads.windowed.size(); ++i) {
    const TGame& entry = reads.windowed[i];
    ASSERT_EQ(entry.game, nullptr) << i;
    ASSERT_NE(entry.sourcePath.Spool(), nullptr);
    const std::unique_ptr<jurnal> again = ReadGameAgain(entry);
    ASSERT_TRUE(again) << "game " << i;
    ASSERT_EQ(again->movecount(), reads.whole[i].game->movecount()) << i;
  }
  std::vector<int32_t> selection;
  for (size_t i = 0; i < reads.windowed.size(); i += 2) selection.push_back(int32_t(i));
  std::vector<bool> done;
  EXPECT_EQ(RereadGames(reads.windowed.front().sourcePath, reads.windowed, selection, 0, done), int(selection.size()));
  for (size_t i = 0; i < reads.windowed.size(); ++i) {
    ASSERT_EQ(reads.windowed[i].game != nullptr, i % 2 == 0) << i;
    if (i % 2 == 0) {
      EXPECT_EQ(reads.windowed[i].game->moves.back().san, reads.whole[i].game->moves.back().san);
    }
  }
}

TEST(GameSpool, GamesOfAStreamLetGoComeBackFromTheSpool) {
  const std::string text = Collection();
  std::FILE* stream = std::tmpfile();
  ASSERT_TRUE(stream);
  std::fwrite(text.data(), 1, text.size(), stream);
  std::rewind(stream);
  MemoryBudget budget;
  budget.limit = 1;  // nothing fits: every game is let go
  std::unique_ptr<ByteSource> source = StreamByteSource(stream);
  Reads reads = ReadLettingGo(*source, text, budget);
  EXPECT_EQ(reads.read.keptForNoSpool, 0);
  ExpectGamesComeBack(reads);
  // The spool holds the games' texts and nothing between them.
  int64_t texts = 0;
  for (const TGame& entry : reads.windowed) texts += entry.sourceLength;
  EXPECT_EQ(reads.windowed.front().sourcePath.Spool()->Bytes(), texts);
  std::fclose(stream);
}

TEST(GameSpool, APlainFileNeedsNoSpoolAndAFileWithinTheBudgetNoDisk) {
  TempDir dir;
  const std::string text = Collection();
  TempDir::Write(dir / "games.pgn", text);
  MemoryBudget tight;
  tight.limit = 1;
  TGames games;
  ReadOptions options;
  options.sourcePath = dir / "games.pgn";
  options.budget = &tight;
  ReadFileInWindows(dir / "games.pgn", games, options, 1, 50000);
  ASSERT_FALSE(games.empty());
  EXPECT_EQ(games.front().sourcePath.Spool(), nullptr);  // read again from the file itself
  // A stream whose games all stay in memory writes nothing to its spool.
  std::FILE* stream = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), stream);
  std::rewind(stream);
  MemoryBudget roomy;
  std::unique_ptr<ByteSource> source = StreamByteSource(stream);
  TGames kept;
  options.budget = &roomy;
  ReadTextInWindows(*source, kept, options, WindowedReadOptions{});
  ASSERT_EQ(kept.size(), games.size());
  EXPECT_FALSE(kept.front().packed.empty());
  EXPECT_EQ(kept.front().sourcePath.Spool()->Bytes(), 0);
  std::fclose(stream);
}

#ifndef _WIN32
TEST(GameSpool, WithoutASpoolTheGamesStayInMemoryAndTheReasonIsGiven) {
  const std::string text = Collection();
  const char* before = std::getenv("TMPDIR");
  const std::string saved = before ? before : "";
  setenv("TMPDIR", "/nonexistent/folder", 1);
  std::FILE* stream = std::tmpfile();  // made before: tmpfile does not look at TMPDIR
  std::fwrite(text.data(), 1, text.size(), stream);
  std::rewind(stream);
  MemoryBudget budget;
  budget.limit = 1;
  std::unique_ptr<ByteSource> source = StreamByteSource(stream);
  Reads reads = ReadLettingGo(*source, text, budget);
  if (before)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
  ASSERT_EQ(reads.windowed.size(), reads.whole.size());
  EXPECT_EQ(reads.read.keptForNoSpool, int32_t(reads.whole.size()));
  EXPECT_NE(reads.read.spoolError.find("/nonexistent/folder"), std::string::npos) << reads.read.spoolError;
  for (size_t i = 0; i < reads.windowed.size(); ++i) {
    ASSERT_FALSE(reads.windowed[i].packed.empty()) << i;  // nothing lost: back in memory
    EXPECT_EQ(ReadGameAgain(reads.windowed[i])->movecount(), reads.whole[i].game->movecount());
  }
  EXPECT_GT(budget.used, 1);  // counted, beyond the budget
  std::fclose(stream);
}
#endif

TEST(GameSpool, EachCompressionReadsAsPlainAndItsGamesComeBack) {
  TempDir dir;
  const std::string text = Collection();
  for (Compression how : compressed_text::Readable()) {
    SCOPED_TRACE(CompressionName(how));
    TempDir::Write(dir / "games.pgn.x", compressed_text::Compressed(text, how, 2));
    ReadError error = ReadError::None;
    std::unique_ptr<ByteSource> source = OpenByteSource(dir / "games.pgn.x", error);
    ASSERT_TRUE(source);
    MemoryBudget budget;
    budget.limit = 1;
    Reads reads = ReadLettingGo(*source, text, budget);
    EXPECT_EQ(reads.read.error, ReadError::None);
    EXPECT_EQ(reads.read.compression, how);
    EXPECT_EQ(reads.read.bytes, int64_t(text.size()));
    EXPECT_EQ(reads.read.size, int64_t(std::filesystem::file_size(dir / "games.pgn.x")));
    for (size_t i = 0; i < std::min(reads.whole.size(), reads.windowed.size()); ++i)
      ASSERT_EQ(reads.windowed[i].sourcePosition, reads.whole[i].sourcePosition) << i;
    ExpectGamesComeBack(reads);
  }
}

TEST(GameSpool, CutCompressedDataKeepsTheGamesBeforeTheCut) {
  TempDir dir;
  const std::string text = Collection();
  for (Compression how : compressed_text::Readable()) {
    SCOPED_TRACE(CompressionName(how));
    // In four streams: bzip2 unpacks nothing of a block (900 kB of text) until it has all of it.
    const std::string stored = compressed_text::Compressed(text, how, 4);
    TempDir::Write(dir / "cut.pgn.x", stored.substr(0, stored.size() / 2));
    TGames games;
    const WindowedRead read = ReadFileInWindows(dir / "cut.pgn.x", games, ReadOptions{}, 1, 30000);
    EXPECT_EQ(read.error, ReadError::Damaged);
    EXPECT_NE(read.errorDetail.find(CompressionName(how)), std::string::npos);
    EXPECT_GT(read.bytes, 0);
    EXPECT_LT(read.bytes, int64_t(text.size()));
    ASSERT_GT(games.size(), 10u);
    // Every game kept lies wholly before the cut.
    EXPECT_LE(games.back().sourcePosition + games.back().sourceLength - 1, read.bytes);
  }
}

}  // namespace
