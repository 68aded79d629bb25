// The game filters: date keys, Elo values, each tag filter, move counts, ECO prefixes, and
// filters applied while a folder is read.
#include "pgn/game_filters.h"
#include "pgn/memory_budget.h"

#include <gtest/gtest.h>

#include "chess/eco.h"
#include "tests/support/eco_table.h"

namespace {

TGames ReadAll(const std::string& text, GameFilter* filters = nullptr) {
  TGames games;
  ReadOptions options;
  options.filter = filters != nullptr;
  options.filters = filters;
  ReadGames(text, games, options);
  return games;
}

TGamesTagArray TagsOf(const std::string& tagLines) {
  TGames games = ReadAll(tagLines + "\n\n*");
  EXPECT_EQ(games.size(), 1u);
  return games.empty() ? TGamesTagArray{} : games[0].tags;
}

TEST(DateKey, ReadsFixedPositionsOnly) {
  EXPECT_EQ(DateKeyOf("????.??.??"), 0);
  EXPECT_EQ(DateKeyOf("1990.??.??"), 827840);
  EXPECT_EQ(DateKeyOf("1990.05.17"), 828017);
  EXPECT_EQ(DateKeyOf("1990.5.17"), 0);
  EXPECT_EQ(DateKeyOf("1990"), 827840);
  EXPECT_EQ(DateKeyOf("1990.01.01"), 827873);
  EXPECT_EQ(DateKeyOf("1990.13.01"), 0);
  EXPECT_EQ(DateKeyOf("1990.12.32"), 0);
  EXPECT_EQ(DateKeyOf("1990/12/01"), 0);
  EXPECT_LT(DateKeyOf("1990.12.31"), DateKeyOf("1991.01.01"));
}

TEST(EloValues, DigitsOnlyAndTheLastTagWins) {
  CollectedElo collected;
  TProcessingOptions options;
  EloValues elo = EloValuesOf(TagsOf("[WhiteElo \"2500?\"] [BlackElo \"2400\"]"));
  EXPECT_EQ(elo.white, 0);
  EXPECT_EQ(elo.black, 2400);
  collected.Widen(elo, options);
  EXPECT_EQ(collected.black.minimum, 2400);
  EXPECT_EQ(collected.black.maximum, 2400);
  elo = EloValuesOf(TagsOf("[WhiteElo \"\"] [BlackElo \"2600\"] [Annotator \"x\"]"));
  EXPECT_EQ(elo.white, 0);
  collected.Widen(elo, options);
  EXPECT_EQ(collected.black.maximum, 2600);
  EXPECT_EQ(collected.black.minimum, 2400);
  // Only values inside the filter's bounds widen the ranges.
  options.blackEloTo = 2500;
  collected.Widen(EloValuesOf(TagsOf("[BlackElo \"2700\"]")), options);
  EXPECT_EQ(collected.black.maximum, 2600);
}

TEST(TagFilter, Results) {
  TProcessingOptions o;
  EXPECT_TRUE(TagFilterPasses(TagsOf("[Result \"whatever\"]"), o));
  o.resultMask = ResultWhiteWins;
  EXPECT_TRUE(TagFilterPasses(TagsOf("[Result \"1-0\"]"), o));
  EXPECT_FALSE(TagFilterPasses(TagsOf("[Result \"1-0 \"]"), o));
  EXPECT_FALSE(TagFilterPasses(TagsOf("[Result \"0-1\"]"), o));
  o.resultMask = ResultOther;
  EXPECT_TRUE(TagFilterPasses(TagsOf("[Result \"1-0 \"]"), o));
}

TEST(TagFilter, DatesPlayersAndElo) {
  TProcessingOptions o;
  o.dateFrom = DateKey(1990, 1, 1);
  EXPECT_FALSE(TagFilterPasses(TagsOf("[Date \"????.??.??\"]"), o));
  EXPECT_FALSE(TagFilterPasses(TagsOf("[Date \"1990.??.??\"]"), o));
  EXPECT_TRUE(TagFilterPasses(TagsOf("[Date \"1990.01.01\"]"), o));
  o = TProcessingOptions{};
  o.whitePlayer = "Player A";
  EXPECT_TRUE(TagFilterPasses(TagsOf("[White \"Player A\"]"), o));
  EXPECT_FALSE(TagFilterPasses(TagsOf("[White \"player a\"]"), o));
  EXPECT_FALSE(TagFilterPasses(TagsOf("[White \"Player A, X\"]"), o));
  EXPECT_FALSE(TagFilterPasses(TagsOf("[Black \"Player A\"]"), o));
  o.ignorePlayerColour = true;
  o.blackPlayer = "Someone Else";
  EXPECT_TRUE(TagFilterPasses(TagsOf("[Black \"Player A\"]"), o));
  o = TProcessingOptions{};
  o.blackPlayer = "B";
  EXPECT_TRUE(TagFilterPasses(TagsOf("[Black \"B\"]"), o));
  EXPECT_FALSE(TagFilterPasses(TagsOf("[Black \"C\"]"), o));
  o = TProcessingOptions{};
  o.whiteEloFrom = 2000;
  EXPECT_FALSE(TagFilterPasses(TagsOf("[White \"x\"]"), o));  // no Elo: 0
  EXPECT_TRUE(TagFilterPasses(TagsOf("[WhiteElo \"2100\"]"), o));
  o.blackEloTo = 2000;
  EXPECT_FALSE(TagFilterPasses(TagsOf("[WhiteElo \"2100\"] [BlackElo \"2001\"]"), o));
}

TEST(MoveCountFilter, BoundsInFullMoves) {
  TGames games = ReadAll(
      "[Event \"e\"]\n\n1. Nf3 Nf6 2. Ng1 Ng8 3. Nf3 Nf6 4. Ng1 Ng8 5. Nf3 Nf6 6. Ng1 Ng8 "
      "7. Nf3 Nf6 8. Ng1 Ng8 9. Nf3 Nf6 *");  // 18 half-moves
  // The same bounds hold for the game in memory and once it is let go, from its summary.
  for (const bool letGo : {false, true}) {
    SCOPED_TRACE(letGo ? "let go" : "in memory");
    if (letGo) LetGo(games[0]);
    ASSERT_EQ(games[0].game == nullptr, letGo);
    TProcessingOptions o;
    o.movesFrom = 10;
    EXPECT_TRUE(MoveCountPasses(games[0], o));
    o.movesFrom = 11;
    EXPECT_FALSE(MoveCountPasses(games[0], o));
    o.movesFrom = 0;
    o.movesTo = 9;
    EXPECT_TRUE(MoveCountPasses(games[0], o));
    o.movesTo = 8;
    EXPECT_FALSE(MoveCountPasses(games[0], o));
  }
  TProcessingOptions o;
  o.movesTo = 8;
  const TGame unread;  // neither a game nor a summary
  EXPECT_FALSE(MoveCountPasses(unread, o));
  o.movesTo = 20000;
  EXPECT_TRUE(MoveCountPasses(unread, o));  // switched off
}

TEST(EcoFilter, PrefixesAndTheEntrysOwnTag) {
  TempDir dir;
  WriteEcoTableFile(dir / "ecos.dat", {{KeyAfterE4, "B20"}});
  SetEcoTableSource(dir / "ecos.dat");
  TProcessingOptions o;
  o.ecoOpening = "B2";
  TGames games = ReadAll("[Event \"e\"]\n\n1. e4 c5 *\n\n[Event \"f\"]\n[ECO \"b21\"]\n\n1. d4 d5 *\n");
  EXPECT_TRUE(EcoFilterPasses(games[0], false, o));
  EXPECT_EQ(games[0].tags.size(), 7u);                // the tag added for the comparison is not kept
  EXPECT_FALSE(EcoFilterPasses(games[1], false, o));  // b21: the comparison is case-sensitive
  o.ecoOpening = "b2";
  EXPECT_TRUE(EcoFilterPasses(games[1], false, o));
  EXPECT_FALSE(EcoFilterPasses(games[1], true, o));  // recomputed: no code for 1. d4 here
  EXPECT_EQ(games[1].tags[7].value, "");             // and kept in the entry's own tag
  // A game let go from memory is judged by the code its summary kept.
  o.ecoOpening = "B2";
  LetGo(games[0]);
  ASSERT_EQ(games[0].game, nullptr);
  EXPECT_TRUE(EcoFilterPasses(games[0], false, o));
  EXPECT_EQ(games[0].tags.size(), 7u);
  SetEcoTableSource(dir / "none.dat");
}

TEST(FolderReading, FiltersApplyWhileReading) {
  TProcessingOptions o;
  o.resultMask = ResultDraw;
  o.movesFrom = 2;
  OptionFilters filters(o);
  TGames games = ReadAll(
      "[Result \"1-0\"]\n\n1. e4 e5 1-0\n\n[Result \"1/2-1/2\"]\n\n1. e4 1/2-1/2\n\n"
      "[Result \"1/2-1/2\"]\n\n1. d4 d5 2. c4 1/2-1/2\n",
      &filters);
  ASSERT_EQ(games.size(), 1u);
  EXPECT_EQ(games[0].game->movecount(), 3);
  std::vector<int32_t> all{0};
  EXPECT_EQ(FilterList(games, all, o).size(), 1u);
}

}  // namespace
