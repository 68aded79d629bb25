// The ECO tag: where it is inserted, when its value is trusted, and recomputation from moves.
#include "pgn/eco_tags.h"

#include <gtest/gtest.h>

#include "chess/eco.h"
#include "pgn/game_reader.h"
#include "tests/support/eco_table.h"

namespace {

TGame ReadOne(const std::string& text) {
  TGames games;
  ReadOptions options;
  ReadGames(text, games, options);
  EXPECT_EQ(games.size(), 1u) << text;
  return games.empty() ? TGame{} : std::move(games[0]);
}

class EcoTags : public ::testing::Test {
 protected:
  void SetUp() override {
    // A table that knows the position after 1. e4 as B00.
    WriteEcoTableFile(dir / "ecos.dat", {{KeyAfterE4, "B00"}});
    SetEcoTableSource(dir / "ecos.dat");
  }
  void TearDown() override { SetEcoTableSource(dir / "none.dat"); }
  TempDir dir;
};

TEST(EcoCodes, ValidCodesAreALetterAToEAndTwoDigits) {
  for (const char* ok : {"A00", "E99", "b20", "c45"}) EXPECT_TRUE(ValidEcoCode(ok)) << ok;
  for (const char* bad : {"", "A0", "F00", "A000", "AB0", "?", "a0x"}) EXPECT_FALSE(ValidEcoCode(bad)) << bad;
}

TEST_F(EcoTags, InsertedAfterTheRosterOrAfterSetUpAndFen) {
  TGame plain = ReadOne("[Event \"e\"]\n[Annotator \"a\"]\n\n1. e4 e5 *");
  EXPECT_EQ(EnsureEcoTag(plain.tags), 7u);
  EXPECT_EQ(plain.tags[7].name, "ECO");
  EXPECT_EQ(plain.tags.back().name, "Annotator");  // moved to the end
  TGame setUp = ReadOne("[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\"]\n\n1. Kd2 *");
  EXPECT_EQ(EnsureEcoTag(setUp.tags), 9u);
  EXPECT_EQ(EnsureEcoTag(setUp.tags), 9u);  // found the second time
  TGame roster = ReadOne("[Event \"e\"]\n\n*");
  EXPECT_EQ(EnsureEcoTag(roster.tags), 7u);
  EXPECT_EQ(roster.tags.size(), 8u);
}

TEST_F(EcoTags, AValidCodeIsTrustedUntilRecomputationIsAsked) {
  TGame game = ReadOne("[eco \"b20\"]\n\n1. e4 e5 *");
  EXPECT_EQ(EcoCode(game), "b20");
  EXPECT_EQ(RefreshEcoTag(game, false), "b20");
  EXPECT_EQ(RefreshEcoTag(game, true), "B00");  // asked for ("Remove old ECO tags")
  game.tags.SetValue(7, "C20");
  EXPECT_EQ(RefreshEcoTag(game, false), "C20");
  game.tags.SetValue(7, "Z99");  // no valid code: recomputed even when not asked
  EXPECT_EQ(RefreshEcoTag(game, false), "B00");
}

TEST_F(EcoTags, UnknownOpeningsAndMissingGamesGetEmptyValues) {
  TGame unknown = ReadOne("[Event \"e\"]\n\n1. d4 d5 *");
  EXPECT_EQ(EcoCode(unknown), "");
  EXPECT_EQ(unknown.tags[7].name, "ECO");
  EXPECT_EQ(unknown.tags[7].value, "");
  TGame empty = ReadOne("[Event \"e\"]\n\n1. e4 e5 *");
  empty.game.reset();
  EXPECT_EQ(RefreshEcoTag(empty, true), "");
}

TEST_F(EcoTags, SetUpGamesAreClassifiedFromTheirPosition) {
  // The table's position after 1. e4, reached here from a FEN with black to move... never: the
  // FEN already is that position, which counts as the start of the line.
  TGame game = ReadOne(
      "[SetUp \"1\"]\n[FEN \"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1\"]\n\n1... e5 2. Nf3 *");
  EXPECT_EQ(EcoCode(game), "B00");
}

}  // namespace
