// Games copied from the host's list: tags, sources and moves as the host holds them, records
// built only where the host has games or an option needs moves, and the host left where it was.
#include "job/host_transfer.h"

#include <gtest/gtest.h>

#include "chess/eco.h"
#include "chess/jurnal.h"
#include "pgn/game_reader.h"
#include "tests/support/memory_host.h"
#include "tests/support/sample_games.h"

namespace {

class Transfer : public ::testing::Test {
 protected:
  void SetUp() override {
    sample::BuildAnnotatedGame(annotated);
    annotated.gotoply(0);
    TGames read;
    ReadOptions reading;
    ReadGames("[Event \"E\"]\n[White \"Short\"]\n[Black \"Timman\"]\n[Result \"1-0\"]\n\n1. d4 Nf6 2. c4 1-0\n", read,
              reading);
    host.games.Add(&annotated, {{"Event", "Wine"}, {"White", "Annotated"}}, u"C:\\games\\a.pgn", 10, 200);
    host.games.Add(read[0].game.get(), {{"Event", "E"}, {"White", "Short"}}, u"C:\\games\\b.pgn", 300, 80);
    host.games.Add(nullptr, {{"Event", "Unloaded"}}, u"C:\\games\\c.pgn", 500, 40);
  }
  doska board;
  jurnal annotated{&board, nullptr};
  MemoryHost host;
  ScopedHost installed{host};
  TProcessingOptions options;
};

TEST_F(Transfer, CopiesEveryEntryAndBuildsTheGamesTheHostHolds) {
  const TGames fresh = TransferAllFromHost(host, options);
  ASSERT_EQ(fresh.size(), 3u);
  EXPECT_EQ(fresh[0].tags[1].value, "Annotated");
  EXPECT_EQ(fresh[0].sourcePath.get(), std::filesystem::path(u"C:\\games\\a.pgn"));
  EXPECT_EQ(fresh[0].sourcePosition, 10);
  EXPECT_EQ(fresh[0].sourceLength, 200);
  ASSERT_NE(fresh[0].game, nullptr);
  sample::ExpectSameTree(annotated, *fresh[0].game);
  ASSERT_NE(fresh[1].game, nullptr);
  EXPECT_EQ(fresh[1].game->moves.size(), 3u);
  EXPECT_EQ(fresh[1].game->moves[2].san, "c4");
  // The host has no game for the third entry: it stays to be read from its file.
  EXPECT_EQ(fresh[2].game, nullptr);
  EXPECT_EQ(fresh[2].sourcePosition, 500);
}

TEST_F(Transfer, OptionsThatNeedMovesBuildEveryGameAndTagTheEco) {
  SetEcoTableSource(PGN_SOURCE_DIR "/data/ecos.dat");
  options.removeDuplicates = true;
  options.addEcoNames = true;
  const TGames fresh = TransferAllFromHost(host, options);
  ASSERT_EQ(fresh.size(), 3u);
  EXPECT_NE(fresh[2].game, nullptr);  // built, with no moves
  EXPECT_EQ(TagAt(fresh[1], EventSlot), "E");
  std::string eco;
  for (const TagView tag : fresh[1].tags)
    if (tag.name == "ECO") eco = tag.value;
  EXPECT_EQ(eco, "A45");  // 1. d4 Nf6: the position after the last move does not count
}

TEST_F(Transfer, TheHostShowsTheSameGameLineAndMoveAfterwards) {
  host.games.SelectGame(0);
  host.games.ShowMove(1);
  host.games.EnterVariation(2);  // 1... e6, the French
  host.games.ShowMove(1);
  const HostLineId line = host.CurrentLine();
  TransferAllFromHost(host, options);
  EXPECT_EQ(*host.games.CurrentRow(), 0);
  EXPECT_EQ(host.CurrentLine(), line);
  EXPECT_EQ(host.CurrentMove(), 1);
  EXPECT_TRUE(host.InVariation());
  host.LeaveVariation();
  EXPECT_EQ(host.CurrentMove(), 1);
}

TEST_F(Transfer, TheCurrentGameAlone) {
  host.games.SelectGame(1);
  const TGames fresh = TransferCurrentFromHost(host, options);
  ASSERT_EQ(fresh.size(), 1u);
  EXPECT_EQ(fresh[0].tags[1].value, "Short");
  ASSERT_NE(fresh[0].game, nullptr);
  EXPECT_EQ(fresh[0].game->moves.size(), 3u);
  EXPECT_EQ(*host.games.CurrentRow(), 1);
  // A current entry without a game gets none, whatever the options.
  host.games.SelectGame(2);
  options.removeDuplicates = true;
  const TGames unloaded = TransferCurrentFromHost(host, options);
  ASSERT_EQ(unloaded.size(), 1u);
  EXPECT_EQ(unloaded[0].game, nullptr);
}

TEST(TransferFromAnEmptyHost, GivesNothing) {
  MemoryHost empty;
  ScopedHost installed(empty);
  EXPECT_TRUE(TransferAllFromHost(empty, TProcessingOptions{}).empty());
  EXPECT_TRUE(TransferCurrentFromHost(empty, TProcessingOptions{}).empty());
}

}  // namespace
