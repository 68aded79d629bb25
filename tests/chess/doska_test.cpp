// Behaviour of the board: movement rules, attacks, game states, move resolution, and the
// effect of playing and taking back moves.
#include <gtest/gtest.h>

#include <string_view>

#include "chess/doska.h"
#include "tests/chess/fen_setup.h"
#include "tests/chess/move_text.h"

namespace {

doska FromFen(const char* fen) {
  doska board;
  bool blackToMove = false;
  EXPECT_TRUE(SetupFromFen(board, fen, blackToMove)) << fen;
  return board;
}

mov Play(doska& board, int ff, int fr, int tf, int tr, int promotion = 0) {
  mov m;
  board.describe(m, {ff, fr}, {tf, tr}, promotion);
  board.apply(m);
  return m;
}

TEST(Board, StartsInTheInitialPosition) {
  const doska board;
  const uint8_t back[8] = {4, 2, 3, 5, 6, 3, 2, 4};
  for (int file = 1; file <= 8; ++file) {
    EXPECT_EQ(board.at(file, 1), back[file - 1]);
    EXPECT_EQ(board.at(file, 2), WhitePawn);
    for (int rank = 3; rank <= 6; ++rank) EXPECT_EQ(board.at(file, rank), Empty);
    EXPECT_EQ(board.at(file, 7), BlackPawn);
    EXPECT_EQ(board.at(file, 8), back[file - 1] + 6);
  }
  EXPECT_EQ(board.wqueenlost + board.wkinglost + board.bqueenlost + board.bkinglost + board.wkingmoved +
                board.bkingmoved + board.epforblack + board.epforwhite,
            0);
  EXPECT_TRUE(board.IsConsistent());
}

TEST(Board, ResetAndAssignCopyTheWholePosition) {
  doska board;
  Play(board, 5, 2, 5, 4);
  doska copy;
  copy.assign(board);
  EXPECT_TRUE(copy.SamePosition(board));
  EXPECT_EQ(copy.epforblack, 5);
  board.reset();
  EXPECT_TRUE(board.SamePosition(doska()));
  EXPECT_FALSE(copy.SamePosition(board));
}

TEST(Canmove, PawnStepsAndDoubleSteps) {
  doska board;
  EXPECT_TRUE(board.canmove({5, 2}, {5, 4}));
  EXPECT_TRUE(board.canmove({5, 2}, {5, 3}));
  EXPECT_FALSE(board.canmove({5, 2}, {5, 5}));
  EXPECT_FALSE(board.canmove({5, 2}, {4, 3}));  // diagonal onto an empty square
  EXPECT_FALSE(board.canmove({5, 2}, {5, 1}));  // backwards
  board.put(5, 3, BlackKnight);
  EXPECT_FALSE(board.canmove({5, 2}, {5, 4}));
  EXPECT_FALSE(board.canmove({5, 2}, {5, 3}));
  EXPECT_TRUE(board.canmove({4, 2}, {5, 3}));  // capture
  EXPECT_TRUE(board.canmove({5, 7}, {5, 5}));
  EXPECT_FALSE(board.canmove({5, 7}, {5, 4}));
}

TEST(Canmove, RejectsCoordinatesOffTheBoardAndEmptyOrigins) {
  const doska board;
  EXPECT_FALSE(board.canmove({0, 1}, {1, 3}));
  EXPECT_FALSE(board.canmove({2, 1}, {3, 9}));
  EXPECT_FALSE(board.canmove({9, 9}, {9, 9}));
  EXPECT_FALSE(board.canmove({4, 4}, {4, 5}));
  EXPECT_TRUE(board.canmove({2, 1}, {3, 3}));
  EXPECT_FALSE(board.canmove({2, 1}, {4, 2}));  // own pawn
}

TEST(Canmove, EnPassantNeedsTheFileAndTheRank) {
  doska board = FromFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6");
  EXPECT_EQ(board.epforwhite, 4);
  EXPECT_TRUE(board.canmove({5, 5}, {4, 6}));
  board.epforwhite = 0;
  EXPECT_FALSE(board.canmove({5, 5}, {4, 6}));
  board.epforwhite = 4;
  mov m;
  board.describe(m, {5, 5}, {4, 6}, 0);
  EXPECT_EQ(m.extra, BlackPawn);
  EXPECT_EQ(m.captured, Empty);
  board.apply(m);
  EXPECT_EQ(board.at(4, 5), Empty);
  EXPECT_EQ(board.at(4, 6), WhitePawn);
  board.takeback(m);
  EXPECT_EQ(board.at(4, 5), BlackPawn);
  EXPECT_EQ(board.at(5, 5), WhitePawn);
  EXPECT_EQ(board.at(4, 6), Empty);
}

TEST(Canmove, SlidersStopAtTheFirstPiece) {
  const doska board = FromFen("4k3/8/8/2p5/8/R3n3/8/4K3 w - -");
  EXPECT_TRUE(board.canmove({1, 3}, {4, 3}));
  EXPECT_TRUE(board.canmove({1, 3}, {5, 3}));   // captures the knight
  EXPECT_FALSE(board.canmove({1, 3}, {6, 3}));  // behind it
  EXPECT_TRUE(board.canmove({1, 3}, {1, 8}));
  EXPECT_FALSE(board.canmove({1, 3}, {2, 4}));  // not a rook line
}

TEST(Castling, RefusedOutOfThroughOrIntoAttackButB1MayBeAttacked) {
  doska board = FromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
  EXPECT_TRUE(board.canmove({5, 1}, {7, 1}));
  EXPECT_TRUE(board.canmove({5, 1}, {3, 1}));
  board.put(2, 5, BlackRook);  // attacks b1 only
  EXPECT_TRUE(board.canmove({5, 1}, {3, 1}));
  board.put(2, 5, Empty);
  board.put(4, 5, BlackRook);  // attacks d1, a square the king crosses
  EXPECT_FALSE(board.canmove({5, 1}, {3, 1}));
  EXPECT_TRUE(board.canmove({5, 1}, {7, 1}));
  board.put(4, 5, Empty);
  board.put(5, 5, BlackRook);  // the king stands in check
  EXPECT_FALSE(board.canmove({5, 1}, {3, 1}));
  EXPECT_FALSE(board.canmove({5, 1}, {7, 1}));
  board.put(5, 5, Empty);
  board.put(7, 5, BlackRook);  // attacks the destination g1
  EXPECT_FALSE(board.canmove({5, 1}, {7, 1}));
}

TEST(Castling, FlagsDecideNotTheRooks) {
  doska board = FromFen("4k3/8/8/8/8/8/8/4K3 w - -");
  board.wkingmoved = board.wqueenlost = board.wkinglost = 0;
  EXPECT_TRUE(board.canmove({5, 1}, {7, 1}));  // no rook, yet the flags allow it
  board.wkinglost = 1;
  EXPECT_FALSE(board.canmove({5, 1}, {7, 1}));
  EXPECT_TRUE(board.canmove({5, 1}, {3, 1}));
  board.wkingmoved = 1;
  EXPECT_FALSE(board.canmove({5, 1}, {3, 1}));
  EXPECT_FALSE(board.castleright(Side::White, true));
}

TEST(Castling, PlayingMovesTheRookAndSetsTheFlags) {
  doska board = FromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
  const mov shortCastle = Play(board, 5, 1, 7, 1);
  EXPECT_EQ(shortCastle.flags, 18);
  EXPECT_EQ(board.at(6, 1), WhiteRook);
  EXPECT_EQ(board.at(8, 1), Empty);
  EXPECT_EQ(board.at(7, 1), WhiteKing);
  EXPECT_FALSE(board.castleright(Side::White, true));
  EXPECT_FALSE(board.castleright(Side::White, false));
  const mov longCastle = Play(board, 5, 8, 3, 8);
  EXPECT_EQ(longCastle.flags, 36);
  EXPECT_EQ(board.at(4, 8), BlackRook);
  EXPECT_EQ(board.at(1, 8), Empty);
  board.takeback(longCastle);
  board.takeback(shortCastle);
  EXPECT_TRUE(board.SamePosition(FromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -")));
}

// Castling found and played in one pass, as the reader plays it after the opponent's move: the
// rook, the only piece that can give check then, gives check or mate along its file; castling
// out of check or through an attack is refused.
TEST(Castling, FoundAndPlayedInOnePassTellsTheRooksCheckAndMate) {
  const struct {
    const char* fen;  // the opponent to move, then the castling side
    int before[3];    // the opponent's move first (piece, to-file, to-rank), when it has one
    int tofile;
    int state;  // the opponent's after the castling, or the ResolveCode
  } cases[] = {
      {"r3k2r/p7/8/8/8/8/8/R3K2R b KQkq -", {BlackPawn, 1, 6}, 7, StateNormal},
      {"6k1/8/8/8/8/8/8/4K2R b K -", {BlackKing, 6, 8}, 7, StateCheck},
      {"2k5/8/8/8/8/8/8/R3K3 b Q -", {BlackKing, 4, 8}, 3, StateCheck},
      {"2rkr3/2p1p3/8/8/8/7p/8/R3K3 b Q -", {BlackPawn, 8, 2}, 3, StateCheckmate},
      {"4k2r/8/8/8/8/8/8/6K1 w k -", {WhiteKing, 6, 1}, 7, StateCheck},
      {"4k3/8/8/8/8/8/4r3/4K2R w K -", {0, 0, 0}, 7, ResolveNoMove},
      {"4k3/8/8/8/8/8/5r2/4K2R w K -", {0, 0, 0}, 7, ResolveNoMove},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fen);
    doska board = FromFen(c.fen);
    mov record;
    Bitboard rivals = 1;
    uint8_t state = 99;
    const int piece = c.before[0];
    if (piece) {
      ASSERT_EQ(board.ResolveAndPlay({piece, 0, {}, {c.before[1], c.before[2]}}, record, rivals, state), 0);
    }
    const bool black = piece ? IsWhite(uint8_t(piece)) : std::string_view(c.fen).find(" b ") != std::string_view::npos;
    const doska before = board;
    const int home = black ? 8 : 1;
    const uint8_t found =
        board.ResolveAndPlay({black ? BlackKing : WhiteKing, 0, {5, home}, {c.tofile, home}}, record, rivals, state);
    if (c.state == ResolveNoMove) {
      EXPECT_EQ(found, ResolveNoMove);
      EXPECT_TRUE(board.SamePosition(before));
      continue;
    }
    ASSERT_EQ(found, StateNormal);
    EXPECT_EQ(state, c.state);
    EXPECT_EQ(rivals, 0u);
    mov wanted;
    before.describe(wanted, {5, home}, {c.tofile, home}, 0);
    EXPECT_TRUE(record.SameBoardMove(wanted));
    doska reached = before;
    reached.apply(wanted);
    EXPECT_TRUE(board.SamePosition(reached));
    EXPECT_EQ(board.poskey(SideOf(!black)), reached.poskey(SideOf(!black)));
    EXPECT_EQ(reached.CheckState(SideOf(!black)), c.state);
  }
}

TEST(Describe, FlagsRecordEveryLostRightOnce) {
  doska board = FromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
  mov m;
  board.describe(m, {1, 1}, {1, 8}, 0);  // rook takes rook: both long rights go
  EXPECT_EQ(m.flags, LosesWhiteLong | LosesBlackLong);
  EXPECT_EQ(m.captured, BlackRook);
  board.wqueenlost = 1;
  board.describe(m, {1, 1}, {1, 8}, 0);
  EXPECT_EQ(m.flags, LosesBlackLong);  // a right already lost is not lost again
  board.describe(m, {5, 1}, {5, 2}, 0);
  EXPECT_EQ(m.flags, MovesWhiteKing);
  board.describe(m, {8, 8}, {8, 5}, 0);
  EXPECT_EQ(m.flags, LosesBlackShort);
  doska start;
  start.describe(m, {5, 2}, {5, 4}, 0);
  EXPECT_EQ(m.flags, WhiteDoubleStep);
  start.describe(m, {4, 7}, {4, 5}, 0);
  EXPECT_EQ(m.flags, BlackDoubleStep);
}

TEST(Describe, DoubleStepsSetTheEnPassantFileForTheOtherSide) {
  doska board;
  const mov e4 = Play(board, 5, 2, 5, 4);
  EXPECT_EQ(board.epforblack, 5);
  EXPECT_EQ(board.epforwhite, 0);
  Play(board, 3, 7, 3, 5);
  EXPECT_EQ(board.epforblack, 0);
  EXPECT_EQ(board.epforwhite, 3);
  Play(board, 7, 1, 6, 3);
  EXPECT_EQ(board.epforwhite, 0);
  EXPECT_EQ(e4.piece, WhitePawn);
}

TEST(Promotion, TheRecordCarriesThePieceAndTakebackRestoresThePawn) {
  doska board = FromFen("1n2k3/P7/8/8/8/8/8/4K3 w - -");
  const mov m = Play(board, 1, 7, 2, 8, WhiteQueen);
  EXPECT_EQ(board.at(2, 8), WhiteQueen);
  EXPECT_EQ(m.captured, BlackKnight);
  EXPECT_EQ(m.piece, WhitePawn);
  board.takeback(m);
  EXPECT_EQ(board.at(1, 7), WhitePawn);
  EXPECT_EQ(board.at(2, 8), BlackKnight);
}

TEST(Attacked, NeverCountsThePieceOnTheTarget) {
  const doska board = FromFen("4k3/8/8/8/3Q4/8/8/4K3 w - -");
  EXPECT_FALSE(board.attacked({4, 4}, Side::White));  // only the queen itself stands there
  EXPECT_TRUE(board.attacked({4, 8}, Side::White));
  EXPECT_TRUE(board.attacked({8, 8}, Side::White));
  EXPECT_FALSE(board.attacked({5, 6}, Side::White));
  EXPECT_TRUE(board.attacked({4, 7}, Side::Black));  // the black king
}

TEST(Attacked, PawnsAndKingsCountOnOwnPiecesSlidersDoNot) {
  const doska board = FromFen("4k3/8/8/8/8/2N5/1P6/R3K3 w - -");
  EXPECT_TRUE(board.attacked({3, 3}, Side::White));   // the pawn defends the knight
  EXPECT_FALSE(board.attacked({2, 2}, Side::White));  // nothing defends the pawn
  EXPECT_TRUE(board.attacked({4, 2}, Side::White));   // the king
  EXPECT_TRUE(board.attacked({1, 2}, Side::White));   // rook a1 up the file
  EXPECT_FALSE(board.attacked({5, 1}, Side::White));  // the rook reaches its own king: no attack
}

TEST(Legal, PinnedPiecesAndKingsMayNotExposeTheKing) {
  const doska board = FromFen("4r1k1/8/8/8/8/8/4B3/4K3 w - -");
  EXPECT_TRUE(board.canmove({5, 2}, {4, 3}));
  EXPECT_FALSE(board.legal({5, 2}, {4, 3}));  // the bishop is pinned
  EXPECT_TRUE(board.legal({5, 1}, {4, 1}));
  EXPECT_FALSE(board.legal({5, 1}, {5, 2}));  // own piece
  const doska defended = FromFen("3rk3/8/8/8/8/8/3q4/4K3 w - -");
  EXPECT_FALSE(defended.legal({5, 1}, {4, 2}));  // the queen is defended by the rook
  EXPECT_TRUE(defended.canmove({5, 1}, {4, 2}));
}

TEST(Legal, TheKingMayNotStepAlongTheCheckingLine) {
  const doska board = FromFen("4k3/8/8/8/8/8/8/r3K3 w - -");
  EXPECT_TRUE(board.canmove({5, 1}, {6, 1}));  // the king itself hides f1 from the rook
  EXPECT_FALSE(board.legal({5, 1}, {6, 1}));
  EXPECT_TRUE(board.legal({5, 1}, {5, 2}));
}

TEST(Legal, MissingKingMakesEveryPseudoLegalMoveLegal) {
  const doska board = FromFen("4r3/8/8/8/8/8/4B3/4K3 w - -");
  EXPECT_EQ(board.gamestate(Side::Black), StateNoKing);
  EXPECT_TRUE(board.legal({5, 8}, {1, 8}));
  EXPECT_TRUE(board.legal({5, 8}, {5, 2}));
}

TEST(Gamestate, CheckMateAndStalemate) {
  EXPECT_EQ(doska().gamestate(Side::White), StateNormal);
  EXPECT_EQ(FromFen("7k/5Q2/5K2/8/8/8/8/8 b - -").gamestate(Side::Black), StateStalemate);
  EXPECT_EQ(FromFen("7k/6Q1/5K2/8/8/8/8/8 b - -").gamestate(Side::Black), StateCheckmate);
  EXPECT_EQ(FromFen("7k/8/5K2/8/8/8/8/7Q b - -").gamestate(Side::Black), StateCheck);
  // Fool's mate.
  EXPECT_EQ(FromFen("rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -").gamestate(Side::White),
            StateCheckmate);
  // Only an en-passant capture answers the check.
  EXPECT_EQ(FromFen("8/8/8/2k5/3Pp3/8/8/K3R3 b - d3").gamestate(Side::Black), StateCheck);
  EXPECT_EQ(FromFen("8/8/8/2k5/3Pp3/8/8/K3R3 b - -").gamestate(Side::White), StateNormal);
}

TEST(Gamestate, ACheckIsAnsweredByTakingTheCheckerOrStandingBetweenAndADoubleCheckByNeither) {
  // The rook on a1 checks the king walled in on g1.
  EXPECT_EQ(FromFen("6k1/8/8/8/8/8/5PPP/r5K1 w - -").gamestate(Side::White), StateCheckmate);
  EXPECT_EQ(FromFen("6k1/8/8/8/8/3B4/5PPP/r5K1 w - -").gamestate(Side::White), StateCheck);  // Bf1 or Bb1
  EXPECT_EQ(FromFen("6k1/8/8/R7/8/8/5PPP/r5K1 w - -").gamestate(Side::White), StateCheck);   // Rxa1
  // A blocker pinned to the king stands between in vain.
  EXPECT_EQ(FromFen("k5r1/8/8/8/8/8/5PBP/r5K1 w - -").gamestate(Side::White), StateCheckmate);  // Bf1 pinned
  EXPECT_EQ(FromFen("k7/8/8/8/8/8/5PBP/r5K1 w - -").gamestate(Side::White), StateCheck);
  // With the knight on f3 as well, gxf3 takes one checker and leaves the other.
  EXPECT_EQ(FromFen("6k1/8/8/8/8/5n2/5PPP/r5K1 w - -").gamestate(Side::White), StateCheckmate);
  EXPECT_EQ(FromFen("6k1/8/8/8/8/5n2/5PPP/6K1 w - -").gamestate(Side::White), StateCheck);
}

TEST(Gamestate, AnEnPassantCaptureThatExposesTheKingIsNoMove) {
  // axb6 e.p. would empty b5 and open the bishop's diagonal to the king: stalemate.
  const doska board = FromFen("8/2qk4/K7/Pp6/3r4/3b4/8/8 w - b6");
  EXPECT_TRUE(board.canmove({1, 5}, {2, 6}));
  EXPECT_FALSE(board.legal({1, 5}, {2, 6}));
  EXPECT_EQ(board.gamestate(Side::White), StateStalemate);
}

TEST(Gamestate, LeavesTheBoardAsItFoundIt) {
  // An en-passant file with no pawn to capture: trying the capture must not invent one.
  doska board = FromFen("4k3/8/8/4P3/8/8/8/4K3 w - -");
  board.epforwhite = 4;
  const doska before = board;
  EXPECT_TRUE(board.legal({5, 5}, {4, 6}));
  EXPECT_EQ(board.gamestate(Side::White), StateNormal);
  int promotion = 0, ff = 0, fr = 0, tf = 4, tr = 0;
  EXPECT_EQ(ResolveFields(board, WhitePawn, promotion, ff, fr, tf, tr), StateNormal);
  EXPECT_TRUE(board.SamePosition(before));
}

TEST(Resolve, FindsTheOnlyMoveAndTheOpponentsState) {
  const doska board;
  int promotion = 0, ff = 0, fr = 0, tf = 6, tr = 3;
  EXPECT_EQ(ResolveFields(board, WhiteKnight, promotion, ff, fr, tf, tr), StateNormal);
  EXPECT_EQ(ff, 7);
  EXPECT_EQ(fr, 1);
  ff = fr = 0, tf = 5, tr = 4;
  EXPECT_EQ(ResolveFields(board, WhitePawn, promotion, ff, fr, tf, tr), StateNormal);
  EXPECT_EQ(ff, 5);
  EXPECT_EQ(fr, 2);
  ff = fr = 0, tf = 5, tr = 5;
  EXPECT_EQ(ResolveFields(board, WhitePawn, promotion, ff, fr, tf, tr), ResolveNoMove);
  EXPECT_EQ(ResolveFields(board, Empty, promotion, ff, fr, tf, tr), ResolveNoPiece);
}

TEST(Resolve, TwoKnightsNeedAHint) {
  const doska board = FromFen("4k3/8/8/8/8/8/8/1N2KN2 w - -");
  int promotion = 0, ff = 0, fr = 0, tf = 4, tr = 2;
  EXPECT_EQ(ResolveFields(board, WhiteKnight, promotion, ff, fr, tf, tr), ResolveAmbiguous);
  EXPECT_EQ(ff, 0);
  EXPECT_EQ(fr, 0);
  ff = 6;
  EXPECT_EQ(ResolveFields(board, WhiteKnight, promotion, ff, fr, tf, tr), StateNormal);
  EXPECT_EQ(ff, 6);
  EXPECT_EQ(fr, 1);
  ff = 0, fr = 1;  // a rank hint fits both
  EXPECT_EQ(ResolveFields(board, WhiteKnight, promotion, ff, fr, tf, tr), ResolveAmbiguous);
}

TEST(Resolve, APinnedPieceDoesNotMakeTheMoveAmbiguous) {
  const doska board = FromFen("4k3/4r3/8/8/8/1N6/4N3/4K3 w - -");
  int promotion = 0, ff = 0, fr = 0, tf = 4, tr = 4;
  EXPECT_EQ(ResolveFields(board, WhiteKnight, promotion, ff, fr, tf, tr), StateNormal);
  EXPECT_EQ(ff, 2);
  EXPECT_EQ(fr, 3);
}

// The board remembers whether a king was in check when it last looked; a square changed since
// must make it look again, or a move that leaves the king in check would pass.
TEST(Resolve, AKingsCheckIsLookedAtAgainAfterTheSquaresChange) {
  doska board = FromFen("4k3/8/8/8/8/5N2/8/4K3 w - -");
  ASSERT_EQ(board.gamestate(Side::White), StateNormal);  // white, not in check
  board.put(5, 5, BlackRook);                            // now the rook on e5 checks along the file
  board.put(5, 8, Empty);
  board.put(8, 8, BlackKing);
  int promotion = 0, ff = 0, fr = 0, tf = 4, tr = 4;  // Nd4 leaves the king in check
  EXPECT_EQ(ResolveFields(board, WhiteKnight, promotion, ff, fr, tf, tr), ResolveNoMove);
  ff = fr = 0, tf = 5, tr = 5;  // Nxe5 takes the checking rook
  EXPECT_EQ(ResolveFields(board, WhiteKnight, promotion, ff, fr, tf, tr), StateNormal);
  // The same after a clear and a new position set up square by square.
  ASSERT_EQ(board.CheckState(Side::White), StateCheck);
  board.clear();
  board.put(5, 1, WhiteKing);
  board.put(3, 2, WhiteKnight);
  board.put(8, 8, BlackKing);
  board.put(1, 1, BlackRook);  // checks along the first rank
  ASSERT_EQ(board.CheckState(Side::White), StateCheck);
  board.put(1, 1, Empty);
  board.put(1, 2, BlackRook);  // the check is gone: Nd4 is a move again
  ff = fr = 0, tf = 4, tr = 4;
  EXPECT_EQ(ResolveFields(board, WhiteKnight, promotion, ff, fr, tf, tr), StateNormal);
  board.put(1, 2, Empty);
  board.put(1, 1, BlackRook);
  ff = fr = 0;
  EXPECT_EQ(ResolveFields(board, WhiteKnight, promotion, ff, fr, tf, tr), ResolveNoMove);
  ff = fr = 0, tf = 1, tr = 1;
  EXPECT_EQ(ResolveFields(board, WhiteKnight, promotion, ff, fr, tf, tr), StateNormal);
}

TEST(Resolve, PawnCaptureGivenAsFilesOnlyTakesTheFirstPawnsRank) {
  const doska board = FromFen("4k3/8/8/3p4/4P3/3p4/4P3/4K3 w - -");
  int promotion = 0, ff = 5, fr = 0, tf = 4, tr = 0;
  // The pawn on e2 comes first going up the file, so the capture is exd3.
  EXPECT_EQ(ResolveFields(board, WhitePawn, promotion, ff, fr, tf, tr), StateNormal);
  EXPECT_EQ(tr, 3);
  EXPECT_EQ(fr, 2);
}

TEST(Resolve, EnPassantComesBackAsTheExtraCode) {
  const doska board = FromFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6");
  int promotion = 0, ff = 5, fr = 0, tf = 4, tr = 6;
  EXPECT_EQ(ResolveFields(board, WhitePawn, promotion, ff, fr, tf, tr), StateNormal);
  EXPECT_EQ(promotion, BlackPawn);
}

TEST(Resolve, PromotionsNeedAPieceAndOnlyOnTheLastRank) {
  const doska board = FromFen("1n2k3/P7/8/8/8/8/4P3/4K3 w - -");
  int promotion = 0, ff = 0, fr = 0, tf = 2, tr = 8;
  EXPECT_EQ(ResolveFields(board, WhitePawn, promotion, ff, fr, tf, tr), ResolveNoPromotion);
  promotion = WhiteQueen;
  EXPECT_EQ(ResolveFields(board, WhitePawn, promotion, ff, fr, tf, tr), StateCheck);  // axb8=Q+
  EXPECT_EQ(promotion, WhiteQueen);
  EXPECT_EQ(ff, 1);
  promotion = WhiteRook, ff = 0, fr = 0, tf = 1, tr = 8;
  EXPECT_EQ(ResolveFields(board, WhitePawn, promotion, ff, fr, tf, tr), StateNormal);  // a8=R, the knight shields
  // A capture written with files only reaching the last rank needs the piece too.
  promotion = 0, ff = 1, fr = 0, tf = 2, tr = 0;
  EXPECT_EQ(ResolveFields(board, WhitePawn, promotion, ff, fr, tf, tr), ResolveNoPromotion);
  promotion = WhiteKnight, ff = 1, fr = 0, tf = 2, tr = 0;
  EXPECT_EQ(ResolveFields(board, WhitePawn, promotion, ff, fr, tf, tr), StateNormal);
  EXPECT_EQ(tr, 8);
  // A promotion piece on a move that promotes nothing matches no move.
  promotion = WhiteQueen, ff = 0, fr = 0, tf = 5, tr = 4;
  EXPECT_EQ(ResolveFields(board, WhitePawn, promotion, ff, fr, tf, tr), ResolveNoMove);
  promotion = BlackQueen, ff = 0, fr = 0, tf = 1, tr = 8;
  EXPECT_EQ(ResolveFields(board, WhitePawn, promotion, ff, fr, tf, tr), ResolveNoMove);
  promotion = WhiteQueen, ff = 0, fr = 0, tf = 4, tr = 2;
  EXPECT_EQ(ResolveFields(board, WhiteKing, promotion, ff, fr, tf, tr), ResolveNoMove);
}

// What a resolve learnt is handed to the caller and answers only for that move on that board,
// unchanged since: a stale or foreign answer would give a move a wrong record or SAN text.
TEST(ResolvedMove, AnswersOnlyForItsMoveOnTheBoardAsResolveSawIt) {
  doska board = FromFen("4k3/8/8/8/8/8/8/1N2KN2 w - -");
  MoveText text{WhiteKnight, 0, {6, 0}, {4, 2}};  // Nfd2
  ResolvedMove found;
  ASSERT_EQ(board.resolve(text, true, &found), StateNormal);
  EXPECT_EQ(text.from, (Square{6, 1}));
  mov described;
  board.describe(described, text.from, text.to, text.promotion);
  mov record;
  ASSERT_TRUE(board.DescribeResolved(&found, record, text.from, text.to, text.promotion));
  EXPECT_EQ(record.BoardBytes(), described.BoardBytes());
  uint8_t state = 99;
  ASSERT_TRUE(board.KnownStateAfter(&found, described, state));
  EXPECT_EQ(state, StateNormal);
  Bitboard origins = 0;
  EXPECT_FALSE(board.KnownOrigins(&found, described, origins));  // a hint: not every origin was tried
  // Another move, no answer at all, or a board changed since: worked out again, never guessed.
  EXPECT_FALSE(board.DescribeResolved(&found, record, {2, 1}, {4, 2}, 0));
  EXPECT_FALSE(board.DescribeResolved(nullptr, record, text.from, text.to, text.promotion));
  board.put(8, 8, BlackRook);
  EXPECT_FALSE(board.KnownStateAfter(&found, described, state));
  board.put(8, 8, Empty);
  EXPECT_FALSE(board.DescribeResolved(&found, record, text.from, text.to, text.promotion));
  board.wkingmoved = 1;                        // the castling and en-passant bytes count too
  MoveText again{WhiteKnight, 0, {}, {7, 3}};  // Ng3, without hints: every origin tried
  ASSERT_EQ(board.resolve(again, false, &found), StateNormal);
  mov ng3;
  board.describe(ng3, again.from, again.to, again.promotion);
  ASSERT_TRUE(board.KnownOrigins(&found, ng3, origins));
  EXPECT_EQ(origins, SquareBit(SquareIndex(6, 1)));
  EXPECT_FALSE(board.KnownStateAfter(&found, ng3, state));  // not worked out: asked without the state
  board.epforwhite = 3;
  EXPECT_FALSE(board.KnownOrigins(&found, ng3, origins));
}

TEST(Resolve, ReportsMateAndAMissingOpponentKing) {
  const doska mate = FromFen("6k1/5ppp/8/8/8/8/8/R5K1 w - -");
  int promotion = 0, ff = 0, fr = 0, tf = 1, tr = 8;
  EXPECT_EQ(ResolveFields(mate, WhiteRook, promotion, ff, fr, tf, tr), StateCheckmate);
  const doska noKing = FromFen("8/8/8/8/8/8/8/R5K1 w - -");
  ff = fr = 0;
  EXPECT_EQ(ResolveFields(noKing, WhiteRook, promotion, ff, fr, tf, tr), StateNoKing);
}

TEST(Attacked, SquaresLineUpExactlyWhereTheLineTablesSayTheyDo) {
  // Every pair of squares, including each square with itself and pairs a file's wrap apart
  // (h1 and a2 are neighbours by index, not on any line).
  for (int a = 0; a < 64; ++a)
    for (int b = 0; b < 64; ++b) {
      const bool straight = a != b && (FileOf(a) == FileOf(b) || RankOf(a) == RankOf(b));
      const bool diagonal = a != b && std::abs(FileOf(a) - FileOf(b)) == std::abs(RankOf(a) - RankOf(b));
      const Bitboard straightRays =
          Attacks.ray[North][a] | Attacks.ray[East][a] | Attacks.ray[South][a] | Attacks.ray[West][a];
      const Bitboard diagonalRays =
          Attacks.ray[NorthEast][a] | Attacks.ray[NorthWest][a] | Attacks.ray[SouthEast][a] | Attacks.ray[SouthWest][a];
      ASSERT_EQ((straightRays & SquareBit(b)) != 0, straight) << a << " " << b;
      ASSERT_EQ((diagonalRays & SquareBit(b)) != 0, diagonal) << a << " " << b;
      ASSERT_EQ(Attacks.line[a][b] != 0, straight || diagonal) << a << " " << b;
      // The line through both holds both, and what lies between them lies on it.
      if (straight || diagonal) {
        ASSERT_TRUE(Attacks.line[a][b] & SquareBit(a) && Attacks.line[a][b] & SquareBit(b));
        ASSERT_EQ(Attacks.between[a][b] & ~Attacks.line[a][b], 0u);
      }
    }
}

TEST(Poskey, DependsOnSideCastlingAndUsableEnPassant) {
  doska board;
  Play(board, 5, 2, 5, 4);
  const uint64_t withoutCapturer = board.poskey(Side::Black);
  board.epforblack = 0;
  EXPECT_EQ(board.poskey(Side::Black), withoutCapturer);  // no black pawn beside e4: the file does not count
  doska ready = FromFen("4k3/8/8/8/3pP3/8/8/4K3 b - e3");
  const uint64_t withFile = ready.poskey(Side::Black);
  ready.epforblack = 0;
  EXPECT_NE(ready.poskey(Side::Black), withFile);
  EXPECT_NE(doska().poskey(Side::Black), doska().poskey(Side::White));
}

}  // namespace
