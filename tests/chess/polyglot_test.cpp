// The position key against the published Polyglot reference positions.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "chess/doska.h"
#include "chess/polyglot_keys.h"

namespace {

TEST(PolyglotTable, HoldsThePublishedValuesAtTheNamedEntries) {
  EXPECT_EQ(PolyglotKeys[0], 0x9D39247E33776D41ULL);
  EXPECT_EQ(PolyglotKeys[1], 0x2AF7398005AAA5C7ULL);
  EXPECT_EQ(PolyglotKeys[2], 0x44DB015024623547ULL);
  EXPECT_EQ(PolyglotKeys[768], 0x31D71DCE64B2C310ULL);
  EXPECT_EQ(PolyglotKeys[769], 0xF165B587DF898190ULL);
  EXPECT_EQ(PolyglotKeys[770], 0xA57E6339DD2CF3A0ULL);
  EXPECT_EQ(PolyglotKeys[771], 0x1EF6E6DBB1961EC9ULL);
  EXPECT_EQ(PolyglotKeys[772], 0x70CC73D90BC26E24ULL);
  EXPECT_EQ(PolyglotKeys[780], 0xF8D626AAAF278509ULL);
}

TEST(PolyglotKey, InitialPositionForEitherSide) {
  const doska board;
  EXPECT_EQ(board.poskey(Side::White), 0x463B96181691FC9CULL);
  EXPECT_EQ(board.poskey(Side::Black), 0x463B96181691FC9CULL ^ 0xF8D626AAAF278509ULL);
}

// Plays "e2e4 d7d5 ..." from the initial position and compares each published key.
TEST(PolyglotKey, PublishedReferencePositions) {
  std::ifstream in(PGN_TEST_DATA "/polyglot_keys.txt");
  std::string line;
  int checked = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t separator = line.find(';');
    std::istringstream moves(line.substr(0, separator));
    const uint64_t expected = std::stoull(line.substr(separator + 1), nullptr, 16);
    doska board;
    bool blackToMove = false;
    std::string move;
    while (moves >> move) {
      const int ff = move[0] - 'a' + 1, fr = move[1] - '0', tf = move[2] - 'a' + 1, tr = move[3] - '0';
      ASSERT_TRUE(board.legal({ff, fr}, {tf, tr})) << line << ": " << move;
      mov m;
      board.describe(m, {ff, fr}, {tf, tr}, 0);
      board.apply(m);
      blackToMove = !blackToMove;
    }
    EXPECT_EQ(board.poskey(SideOf(blackToMove)), expected) << line;
    ++checked;
  }
  EXPECT_EQ(checked, 9);
}

}  // namespace
