// Reading the host's current game into a game record, and the substitute host's navigation.
#include <gtest/gtest.h>

#include "chess/jurnal.h"
#include "tests/support/memory_host.h"
#include "tests/support/sample_games.h"

namespace {

class FromHost : public ::testing::Test {
 protected:
  void SetUp() override {
    original.setboard(&board);
    board.reset();
    sample::BuildAnnotatedGame(original);
    original.gotoply(0);
    host.games.Add(&original, {{"Event", "Test"}, {"Result", "1-0"}});
  }

  doska board;
  jurnal original{&board, nullptr};
  MemoryHost host;
};

TEST_F(FromHost, CopiesTheWholeTreeAndLeavesTheHostWhereItWas) {
  ScopedHost installed(host);
  sample::ExpectReadBackFromHost(original, host);
}

TEST_F(FromHost, VariationsStartAtTheNumberOfTheMoveTheyReplace) {
  ScopedHost installed(host);
  doska readBoard;
  jurnal copy(&readBoard, nullptr);
  copy.fromhost();
  EXPECT_EQ(copy.moves[1].variations[0]->moves[1].variations[0]->movesbefore, 1);  // 2. Nc3
}

TEST_F(FromHost, TheCopyReplaysOnItsBoardVariationsIncluded) {
  ScopedHost installed(host);
  doska replay;
  jurnal copy(&replay, nullptr);
  copy.fromhost();
  // Walk into 1... c5 2. Nc3 Nc6 and back out; SAN written again matches the host's.
  copy.forward();
  jurnal* sicilian = copy.moves[1].variations[0];
  sicilian->forward();
  jurnal* closed = sicilian->moves[1].variations[0];
  EXPECT_TRUE(closed->blackfirst == false);
  closed->makesan();
  EXPECT_EQ(closed->moves[0].san, "Nc3");
  closed->gotoply(2);
  EXPECT_EQ(replay.at(3, 6), BlackKnight);
  EXPECT_EQ(closed->movenumber(), 3);
  closed->gotoply(0);
  sicilian->gotoply(0);
  // A black variation starts with black to move and the move number of the move it replaces.
  jurnal* french = copy.moves[1].variations[1];
  EXPECT_TRUE(french->blackfirst);
  EXPECT_EQ(french->startep, 5);  // after 1. e4 the e-file is open to an en-passant capture
  EXPECT_EQ(french->movenumber(), 1);
  french->forward();
  EXPECT_EQ(french->movenumber(), 2);
  french->gotoply(0);
  copy.gotoply(copy.movecount());
  copy.gotoply(0);
  EXPECT_TRUE(replay.SamePosition(doska()));
}

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
  const HostGameArray list = games.GameList();
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
