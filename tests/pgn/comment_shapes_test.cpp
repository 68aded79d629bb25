// Comments of every shape a reader meets, read as the panel reads (whole records) and as a job
// reads (each game packed as it is read, its comments in the packed bytes, written from them):
// the same text either way, with comments kept or removed, and a job that removes them reads
// none at all.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pgn/game_reader.h"
#include "pgn/memory_budget.h"
#include "pgn/pgn_writer.h"
#include "tests/support/job_reading.h"
#include "tests/support/shared_data.h"

namespace {

struct Written {
  std::string whole;   // read whole, written from the records
  std::string packed;  // read packed as a job reads, written from the packed bytes
  size_t games = 0;
};

Written WriteBothWays(const std::string& text, const TProcessingOptions& options, bool readsComments = true) {
  Written out;
  TGames whole;
  ReadOptions wholeOptions;
  wholeOptions.keepsComments = readsComments;
  ReadGames(text, whole, wholeOptions);
  OutputBuffer buffer;
  for (const TGame& game : whole) WriteGame(game, buffer, options);
  out.whole = std::string(buffer.Text());

  MemoryBudget unlimited;
  ReadOptions jobOptions = sample::JobReading(unlimited);
  jobOptions.keepsComments = readsComments;
  TGames packed;
  ReadGames(text, packed, jobOptions);
  OutputBuffer packedBuffer;
  for (const TGame& game : packed) {
    EXPECT_FALSE(game.packed.empty());
    WritePackedPgnGame(game.tags, game.packed, packedBuffer, options, OutputForm{});
  }
  out.packed = std::string(packedBuffer.Text());
  EXPECT_EQ(whole.size(), packed.size());
  out.games = whole.size();
  return out;
}

std::string Game(const std::string& movetext) { return "[Event \"e\"]\n[Result \"*\"]\n\n" + movetext + "\n\n"; }

// Only the movetext of the first game written.
std::string MovetextOf(const std::string& written) {
  const size_t start = written.find("\r\n\r\n");
  const size_t end = written.find("\r\n\r\n", start + 4);
  return written.substr(start + 4, end == std::string::npos ? std::string::npos : end - start - 4);
}

TEST(CommentShapes, KeptAndRemovedAlikeReadWholeOrPacked) {
  const struct {
    const char* movetext;
    const char* written;  // the movetext written with comments kept
  } cases[] = {
      {"1. e4 { [%eval 0.17] [%clk 0:15:34] } 1... e5 { [%eval 0.2] [%clk 0:15:30] } *",
       "1.e4 { [%eval 0.17] [%clk 0:15:34] } 1...e5 { [%eval 0.2] [%clk 0:15:30] } *"},
      {"{before the first move} 1. e4 e5 *", "{before the first move} 1.e4 e5 *"},
      {"1. e4 {} e5 {} *", "1.e4 {} 1...e5 {} *"},
      {"1. e4 ; a {nested {brace}} line\ne5 *", "1.e4 {; a nested brace line} 1...e5 *"},
      {"1. e4 {[%csl Ge4] a ] in a command} e5 *", "1.e4 {[%csl Ge4] a ] in a command} 1...e5 *"},
      {"1. e4 {one} {two} e5 *", "1.e4 {one two} 1...e5 *"},
      {"1. e4 {an opening { brace} e5 *", "1.e4 {an opening  brace} 1...e5 *"},
      {"1. e4 {a comment\nof two lines} e5 *", "1.e4 {a comment\nof two lines} 1...e5 *"},
      {"1. e4 e5 {after the last move} *", "1.e4 e5 {after the last move} *"},
      {"1. e4 {c} (1. d4 {in a variation} d5) 1... e5 $14 {after a NAG} 2. Nf3 *",
       "1.e4 (1.d4 {in a variation} 1...d5) {c} 1...e5 $14 {after a NAG} 2.Nf3 *"},
  };
  TProcessingOptions keep, remove;
  remove.removeComments = true;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.movetext);
    const std::string text = Game(c.movetext);
    const Written kept = WriteBothWays(text, keep);
    EXPECT_EQ(kept.packed, kept.whole);
    EXPECT_EQ(MovetextOf(kept.whole).substr(0, std::string(c.written).size()), c.written);
    const Written removed = WriteBothWays(text, remove);
    EXPECT_EQ(removed.packed, removed.whole);
    EXPECT_EQ(removed.whole.find('{'), std::string::npos);
    // Not read at all: the same text as read and removed.
    const Written unread = WriteBothWays(text, remove, false);
    EXPECT_EQ(unread.whole, removed.whole);
    EXPECT_EQ(unread.packed, removed.whole);
  }
}

// Comments between games and after the result belong to no move: left where they are, they
// neither join a game nor cost one.
TEST(CommentShapes, BetweenGamesAndAfterTheResult) {
  const std::string text = Game("1. e4 e5 1-0 {after the result}") + "{between the games}\n\n" +
                           Game("1. d4 {the second game's} d5 *") + "; a last line comment\n";
  const Written kept = WriteBothWays(text, {});
  EXPECT_EQ(kept.games, 2u);
  EXPECT_EQ(kept.packed, kept.whole);
  EXPECT_NE(kept.whole.find("{the second game's}"), std::string::npos);
}

// A comment of a megabyte after a move, and one before the first: copied whole either way.
TEST(CommentShapes, AMegabyteComment) {
  std::string comment(size_t(1) << 20, 'x');
  for (size_t i = 0; i < comment.size(); i += 97) comment[i] = ' ';
  const std::string text = Game("{" + comment + "} 1. e4 {" + comment + "} e5 *");
  const Written kept = WriteBothWays(text, {});
  EXPECT_EQ(kept.packed, kept.whole);
  const std::string whole = "{" + comment + "}";
  const size_t first = kept.whole.find(whole);
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(kept.whole.find(whole, first + whole.size()), std::string::npos);
}

// Every game of the shared annotated collections: written from the packed bytes as from the
// records, comments kept and removed, variations kept and removed.
TEST(CommentShapes, SharedCollectionsWriteTheSameFromPackedGames) {
  const std::filesystem::path data = PGN_SHARED_DATA "/pgn";
  PGN_SKIP_WITHOUT_SHARED(data);
  TProcessingOptions keep, bare;
  bare.removeComments = true;
  bare.removeVariations = true;
  size_t games = 0;
  for (const char* folder : {"annotated", "online", "engine", "quirks"})
    for (const auto& entry : std::filesystem::recursive_directory_iterator(data / folder)) {
      if (entry.path().extension() != ".pgn") continue;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      for (const TProcessingOptions* options : {&keep, &bare}) {
        const Written written = WriteBothWays(text, *options);
        ASSERT_EQ(written.packed, written.whole) << entry.path();
        games += written.games;
      }
    }
  EXPECT_GT(games, 5000u);
}

}  // namespace
