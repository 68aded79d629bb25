// Reading the host's current game into a game record (`jurnal::fromhost`): the whole tree, with
// its variations numbered and replayable, and the host left where it was.
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
  copy.fromhost(host);
  EXPECT_EQ(copy.moves[1].variations[0]->moves[1].variations[0]->movesbefore, 1);  // 2. Nc3
}

TEST_F(FromHost, TheCopyReplaysOnItsBoardVariationsIncluded) {
  ScopedHost installed(host);
  doska replay;
  jurnal copy(&replay, nullptr);
  copy.fromhost(host);
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

}  // namespace
