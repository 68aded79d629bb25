// The ECO table built from the opening lines: the committed file is what the generator makes,
// and every line is classified with its own code.
#include "tools/eco_build.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "chess/jurnal.h"
#include "pgn/game_reader.h"
#include "tests/support/temp_dir.h"

namespace {

class EcoBuildTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    build = new EcoBuild;
    BuildEcoTable(PGN_SOURCE_DIR "/data/eco", *build);
  }
  static void TearDownTestSuite() { delete build; }
  static EcoBuild* build;
};
EcoBuild* EcoBuildTest::build = nullptr;

TEST_F(EcoBuildTest, TheCommittedTableIsWhatTheGeneratorMakes) {
  EXPECT_TRUE(build->unplayable.empty());
  EXPECT_EQ(build->lines.size(), 3807u);
  EXPECT_EQ(EcoTableBytes(build->table), TempDir::Read(PGN_SOURCE_DIR "/data/ecos.dat"));
  for (size_t i = 1; i < build->table.size(); ++i) ASSERT_LT(build->table[i - 1].key, build->table[i].key);
}

// Every line, followed by one more legal move (the position after a game's last move is not
// looked up), gets its own code, unless its position went to another line's code.
TEST_F(EcoBuildTest, EveryLinePlusOneMoveGetsItsOwnCode) {
  TempDir dir;
  const std::string bytes = EcoTableBytes(build->table);
  TempDir::Write(dir / "ecos.dat", bytes);
  SetEcoTableSource(dir / "ecos.dat");
  std::set<int> lost;
  for (const EcoConflict& c : build->conflicts) lost.insert(c.lost->order);
  int checked = 0, exceptions = 0, mates = 0;
  for (const EcoLine& line : build->lines) {
    TGames games;
    ReadOptions options;
    ReadGames("[Event \"eco\"]\n\n" + line.moves + " *\n", games, options);
    ASSERT_EQ(games.size(), 1u) << line.moves;
    jurnal& game = *games[0].game;
    doska board;
    game.setboard(&board);
    game.gotoply(game.movecount());
    // One more move: the first legal one found.
    const bool black = game.movecount() && IsWhite(game.moves.back().piece);
    bool added = false;
    for (int from = 0; from < 64 && !added; ++from) {
      const uint8_t piece = board.at(FileOf(from), RankOf(from));
      if (piece == Empty || IsBlack(piece) != black) continue;
      Bitboard targets = board.Destinations({FileOf(from), RankOf(from)});
      while (targets && !added) {
        const int to = PopLowest(targets);
        if (!board.legal({FileOf(from), RankOf(from)}, {FileOf(to), RankOf(to)})) continue;
        const bool promotes = PieceType(piece) == 1 && (RankOf(to) == 1 || RankOf(to) == 8);
        game.addmove(FileOf(from), RankOf(from), FileOf(to), RankOf(to), promotes ? MakePiece(5, black) : 0, true, 0);
        added = true;
      }
    }
    if (!added) {
      // A line that ends in mate (such as the fool's mate) has no move after it, and the
      // position after a game's last move is never looked up.
      EXPECT_EQ(board.gamestate(SideOf(black)), StateCheckmate) << line.moves;
      ++mates;
      game.setboard(nullptr);
      continue;
    }
    game.gotoply(0);
    const std::string code = game.ecocode();
    if (lost.count(line.order)) {
      ++exceptions;
    } else {
      EXPECT_EQ(code, line.code) << line.code << " " << line.name << ": " << line.moves;
    }
    game.setboard(nullptr);
    ++checked;
  }
  EXPECT_EQ(checked + mates, 3807);
  EXPECT_LE(mates, 5);
  RecordProperty("lines ending in mate", std::to_string(mates));
  EXPECT_EQ(exceptions, int(build->conflicts.size()));
  SetEcoTableSource(dir / "gone.dat");
}

}  // namespace
