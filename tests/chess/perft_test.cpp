// Counts the leaf nodes of the legal-move tree of published positions with the fast board.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "chess/doska.h"
#include "chess/jurnal.h"
#include "tests/chess/fen_setup.h"

namespace {

#ifdef PGN_SANITIZE_BUILD
constexpr uint64_t MaxNodes = 300000;  // the instrumented build is many times slower
#else
constexpr uint64_t MaxNodes = 5000000;
#endif

uint64_t Perft(doska& board, bool blackToMove, int depth) {
  uint64_t nodes = 0;
  const uint8_t base = blackToMove ? 6 : 0;
  for (uint8_t code = base + 1; code <= base + 6; ++code) {
    Bitboard pieces = board.Pieces(code);
    while (pieces) {
      const int from = PopLowest(pieces);
      const int ff = FileOf(from), fr = RankOf(from);
      Bitboard targets = board.Destinations({ff, fr});
      while (targets) {
        const int to = PopLowest(targets);
        const int tf = FileOf(to), tr = RankOf(to);
        if (!board.legal({ff, fr}, {tf, tr})) continue;
        const bool promotes = PieceType(code) == 1 && (tr == 8 || tr == 1);
        const int firstPromotion = promotes ? MakePiece(2, blackToMove) : 0;
        const int lastPromotion = promotes ? MakePiece(5, blackToMove) : 0;
        for (int promotion = firstPromotion; promotion <= lastPromotion; ++promotion) {
          if (depth == 1) {
            ++nodes;
            continue;
          }
          mov m;
          board.describe(m, {ff, fr}, {tf, tr}, promotion);
          const uint8_t epForBlack = board.epforblack, epForWhite = board.epforwhite;
          board.apply(m);
          nodes += Perft(board, !blackToMove, depth - 1);
          board.takeback(m);
          board.epforblack = epForBlack;
          board.epforwhite = epForWhite;
        }
      }
    }
  }
  return nodes;
}

struct PerftCase {
  std::string fen;
  int depth;
  uint64_t nodes;
};

std::vector<PerftCase> LoadCases(const char* path) {
  std::vector<PerftCase> cases;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string fen, part;
    std::getline(fields, fen, ';');
    while (std::getline(fields, part, ';')) {
      std::istringstream numbers(part);
      PerftCase c{fen, 0, 0};
      if (numbers >> c.depth >> c.nodes) cases.push_back(c);
    }
  }
  return cases;
}

TEST(Perft, PublishedPositionsCountEveryLegalMove) {
  const std::vector<PerftCase> cases = LoadCases(PGN_TEST_DATA "/perft.txt");
  ASSERT_GE(cases.size(), 30u) << "perft data file missing or short";
  int run = 0;
  for (const PerftCase& c : cases) {
    if (c.nodes > MaxNodes) continue;
    doska board;
    bool blackToMove = false;
    ASSERT_TRUE(SetupFromFen(board, c.fen, blackToMove)) << c.fen;
    const doska before = board;
    EXPECT_EQ(Perft(board, blackToMove, c.depth), c.nodes) << c.fen << " depth " << c.depth;
    EXPECT_TRUE(board.SamePosition(before)) << "perft left the board changed: " << c.fen;
    ++run;
  }
  EXPECT_GE(run, 20);
}

// Chess960 positions set up as a reader sets up such a game's FEN.
TEST(Perft, Chess960PositionsCountEveryLegalMoveCastlingsIncluded) {
  const std::vector<PerftCase> cases = LoadCases(PGN_TEST_DATA "/perft960.txt");
  ASSERT_GE(cases.size(), 40u) << "Chess960 perft data file missing or short";
  int run = 0;
  for (const PerftCase& c : cases) {
    if (c.nodes > MaxNodes) continue;
    int position = 1, error = 0;
    const std::unique_ptr<jurnal> record = jurnal::fromfen(c.fen, position, error, true);
    ASSERT_EQ(error, 0) << c.fen;
    doska board;
    board.assign(*record->ownboard);
    const doska before = board;
    EXPECT_EQ(Perft(board, record->blackfirst, c.depth), c.nodes) << c.fen << " depth " << c.depth;
    EXPECT_TRUE(board.SamePosition(before)) << "perft left the board changed: " << c.fen;
    ++run;
  }
  EXPECT_GE(run, 30);
}

}  // namespace
