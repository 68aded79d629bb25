// The substitute host's game list: navigation through variations, and its entries.
#include <gtest/gtest.h>

#include "chess/jurnal.h"
#include "tests/support/memory_host.h"
#include "tests/support/sample_games.h"

namespace {

TEST(HostGamesNavigation, EntersAndLeavesVariationsAndCountsMoveNumbers) {
  doska board;
  jurnal game(&board, nullptr);
  sample::BuildAnnotatedGame(game);
  game.gotoply(0);
  HostGames games;
  games.Add(&game, {});
  EXPECT_EQ(games.MoveCount(), 6);
  EXPECT_EQ(games.PlyNumber(), 1);
  games.ShowMove(1);
  EXPECT_EQ(games.PlyNumber(), 1);  // black's first move is still move 1
  ASSERT_EQ(games.MoveAt(1)->variationCount, 2);
  games.EnterVariation(1);
  EXPECT_TRUE(games.InVariation());
  EXPECT_EQ(games.MoveCount(), 3);
  EXPECT_STREQ(games.MoveAt(0)->san, "c5");
  games.ShowMove(1);
  EXPECT_EQ(games.PlyNumber(), 2);
  games.EnterVariation(1);
  EXPECT_STREQ(games.MoveAt(0)->san, "Nc3");
  games.LeaveVariation();
  EXPECT_EQ(games.CurrentMove(), 1);
  games.LeaveVariation();
  EXPECT_FALSE(games.InVariation());
  EXPECT_EQ(games.CurrentMove(), 1);
  EXPECT_EQ(games.MoveAt(6), nullptr);
  games.EnterVariation(3);  // there is no third: nothing happens
  EXPECT_FALSE(games.InVariation());
}

TEST(HostGamesList, EntriesCarryTagsPathsAndGameObjects) {
  doska board;
  jurnal game(&board, nullptr);
  HostGames games;
  games.Add(&game, {{"White", "Tal"}}, u"C:\\games\\tal.pgn", 101, 250);
  games.Add(nullptr, {{"White", "Petrosian"}});
  const HostGameArray list = games.ListedGames();
  ASSERT_EQ(list.count, 2);
  EXPECT_NE(list.items[0].game, nullptr);
  EXPECT_EQ(list.items[1].game, nullptr);
  EXPECT_STREQ(list.items[0].tags[0].value, "Tal");
  EXPECT_EQ(list.items[0].position, 101);
  EXPECT_EQ(list.items[0].length, 250);
  EXPECT_EQ(list.items[0].path[0], u'C');
  EXPECT_EQ(*games.CurrentRow(), 0);
  EXPECT_EQ(games.DisplayOrder().count, 2);
}

}  // namespace
