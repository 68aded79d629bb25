// Renaming players, tournaments and sites across a list of games.
#include "dialogs/renaming.h"

#include <gtest/gtest.h>

#include "pgn/game_reader.h"

namespace {

TGames Games() {
  TGames games;
  ReadOptions options;
  ReadGames(
      "[Event \"Open\"][White \"A\"][Black \"A\"]\n\n*\n\n[Event \"open\"][White \"a\"][Black \"B\"]\n\n*\n\n"
      "[Event \"\"][Site \"\"][White \"C\"][Black \"A\"]\n\n*\n",
      games, options);
  return games;
}

TEST(Renaming, PlayersInBothColoursCounted) {
  TGames games = Games();
  EXPECT_EQ(RenameNames(games, RenameKind::Player, "A", "Alekhine"), 3);
  EXPECT_EQ(games[0].tags[4].value, "Alekhine");
  EXPECT_EQ(games[0].tags[5].value, "Alekhine");
  EXPECT_EQ(games[1].tags[4].value, "a");  // another spelling is another name
  EXPECT_EQ(RenameMessage(3), "Renaming is finished. 3 names is changed.");
  EXPECT_EQ(RenameNames(games, RenameKind::Player, "Z", "Y"), 0);
  EXPECT_EQ(RenameMessage(0), "Renaming is finished. No matches are found.");
}

TEST(Renaming, EmptyNamesAndCandidates) {
  TGames games = Games();
  EXPECT_EQ(RenameNames(games, RenameKind::Tournament, "Open", ""), -1);  // refused: no new name
  EXPECT_EQ(RenameCandidates(games, RenameKind::Tournament), (std::vector<std::string>{"", "Open", "open"}));
  EXPECT_EQ(RenameCandidates(games, RenameKind::Tournament, true), (std::vector<std::string>{"Open", "open"}));
  EXPECT_EQ(RenameNames(games, RenameKind::Tournament, "", "Unknown"), 1);
  EXPECT_EQ(games[2].tags[0].value, "Unknown");
  EXPECT_EQ(RenameCandidates(games, RenameKind::Player), (std::vector<std::string>{"A", "B", "C", "a"}));
  EXPECT_EQ(RenameNames(games, RenameKind::Site, "?", "Here"), 2);
}

}  // namespace
