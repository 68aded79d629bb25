// Behaviour of the game record: recording moves and variations, the cursor, move numbers,
// SAN texts, comments and NAGs, FEN start positions and duplicate keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "chess/jurnal.h"
#include "tests/support/memory_host.h"

namespace {

// Plays a move given as "e2e4" (with an optional promotion letter) on a line: addmove, makesan
// on the line that holds it, forward. Returns the addmove result.
int Play(jurnal& line, const std::string& move, bool alwaysadd = true, uint8_t nag = 0) {
  const int ff = move[0] - 'a' + 1, fr = move[1] - '0', tf = move[2] - 'a' + 1, tr = move[3] - '0';
  int promotion = 0;
  if (move.size() > 4) {
    const bool black = IsBlack(line.board->at(ff, fr));
    promotion = MakePiece(std::string(" pnbrq").find(char(std::tolower(move[4]))), black);
  }
  const int result = line.addmove(ff, fr, tf, tr, promotion, alwaysadd, nag);
  jurnal* holder = result > 0 ? line.moves[size_t(line.current)].variations[size_t(result) - 1] : &line;
  if (result >= 0) {
    holder->makesan();
    holder->forward();
  }
  return result;
}

std::unique_ptr<jurnal> FromFen(const std::string& fen, doska& board) {
  int position = 1, error = -1;
  std::unique_ptr<jurnal> record = jurnal::fromfen(fen, position, error);
  EXPECT_EQ(error, 0) << fen;
  board.assign(*record->ownboard);
  record->setboard(&board);
  return record;
}

// The SAN text the record writes for a move from a FEN position.
std::string SanFrom(const std::string& fen, const std::string& move, uint8_t nag = 0) {
  doska board;
  std::unique_ptr<jurnal> record = FromFen(fen, board);
  if (Play(*record, move, true, nag) != 0) return "(rejected)";
  return record->moves[0].san.str();
}

TEST(GameRecord, RecordsMovesWithSanAndMoveNumbers) {
  doska board;
  jurnal game(&board, nullptr);
  EXPECT_EQ(game.movenumber(), 1);
  EXPECT_EQ(Play(game, "e2e4"), 0);
  EXPECT_EQ(game.movenumber(), 1);
  EXPECT_EQ(Play(game, "e7e5"), 0);
  EXPECT_EQ(game.movenumber(), 2);
  EXPECT_EQ(Play(game, "g1f3"), 0);
  ASSERT_EQ(game.movecount(), 3);
  EXPECT_EQ(game.moves[0].san, "e4");
  EXPECT_EQ(game.moves[1].san, "e5");
  EXPECT_EQ(game.moves[2].san, "Nf3");
  EXPECT_FALSE(game.blackfirst);
  EXPECT_EQ(game.result, "*");
}

// A move's board fields are read and written as one number: its bytes in their order, and the
// rest of the record untouched.
TEST(GameRecord, BoardBytesAreTheEightFieldsInOrder) {
  mov m;
  m.piece = 1, m.fromfile = 2, m.fromrank = 3, m.tofile = 4, m.torank = 5, m.extra = 6, m.captured = 7, m.flags = 8;
  m.san = "Nbd7+";
  m.nag = 9;
  EXPECT_EQ(m.BoardBytes(), 0x0807060504030201u);
  mov copy;
  copy.san = "e4";
  copy.SetBoardBytes(0x18171615141312F1u);
  EXPECT_EQ(copy.piece, 0xF1);
  EXPECT_EQ(copy.fromfile, 0x12);
  EXPECT_EQ(copy.fromrank, 0x13);
  EXPECT_EQ(copy.tofile, 0x14);
  EXPECT_EQ(copy.torank, 0x15);
  EXPECT_EQ(copy.extra, 0x16);
  EXPECT_EQ(copy.captured, 0x17);
  EXPECT_EQ(copy.flags, 0x18);
  EXPECT_EQ(copy.san.view(), "e4");
  EXPECT_EQ(copy.nag, 0);
  EXPECT_TRUE(m.SameBoardMove(m));
}

TEST(GameRecord, CursorWalksTheLineAndRestoresEnPassantState) {
  doska board;
  jurnal game(&board, nullptr);
  for (const char* m : {"e2e4", "d7d5", "e4e5", "f7f5"}) Play(game, m);
  EXPECT_EQ(board.epforwhite, 6);
  game.back();
  EXPECT_EQ(board.epforwhite, 0);
  EXPECT_EQ(board.epforblack, 0);
  game.back();
  game.back();
  EXPECT_EQ(board.epforblack, 5);  // after 1. e4 black may take on e3
  game.gotoply(0);
  EXPECT_TRUE(board.SamePosition(doska()));
  game.back();  // at the start: nothing
  EXPECT_EQ(game.current, 0);
  game.gotoply(99);
  EXPECT_EQ(game.current, 4);
  game.forward();  // at the end: nothing
  EXPECT_EQ(game.current, 4);
  EXPECT_EQ(game.lastmove().san, "f5");
  EXPECT_EQ(game.nextmove().piece, 0);
  EXPECT_EQ(game.moveat(1).san, "d5");
  EXPECT_EQ(game.moveat(7).piece, 0);
  EXPECT_EQ(game.moveat(-1).piece, 0);
}

TEST(GameRecord, AddmoveReusesOrAddsVariations) {
  MemoryHost host;
  ScopedHost installed(host);
  doska board;
  jurnal game(&board, nullptr);
  EXPECT_EQ(game.addmove(5, 2, 5, 4, 0, false, 0), 0);
  EXPECT_EQ(game.current, 0);  // the cursor does not move
  EXPECT_EQ(game.addmove(5, 2, 5, 4, 0, false, 0), 0);
  EXPECT_EQ(game.movecount(), 1);
  EXPECT_EQ(game.addmove(5, 2, 5, 4, 0, true, 0), 1);
  EXPECT_EQ(game.addmove(5, 2, 5, 4, 0, true, 0), 2);
  EXPECT_EQ(game.moves[0].variations.size(), 2u);
  EXPECT_EQ(game.addmove(4, 2, 4, 4, 0, false, 0), 3);
  EXPECT_EQ(game.addmove(4, 2, 4, 4, 0, false, 0), 3);  // found again as variation 3
  EXPECT_EQ(game.moves[0].variations[2]->parent, &game);
  EXPECT_EQ(game.moves[0].variations[2]->board, &board);
  EXPECT_EQ(host.beeps, 0);
  EXPECT_EQ(game.addmove(5, 2, 5, 5, 0, false, 0), -1);  // not a pawn move
  EXPECT_EQ(host.beeps, 1);
  EXPECT_EQ(game.movecount(), 1);
}

TEST(GameRecord, VariationsStartWhereTheyBranch) {
  doska board;
  jurnal game(&board, nullptr);
  for (const char* m : {"e2e4", "c7c5", "g1f3"}) Play(game, m);
  game.back();
  // 2. Nc3 instead of 2. Nf3.
  ASSERT_EQ(Play(game, "b1c3"), 1);
  jurnal* variation = game.moves[2].variations[0];
  EXPECT_EQ(variation->movesbefore, 1);
  EXPECT_FALSE(variation->blackfirst);
  EXPECT_EQ(variation->movenumber(), 2);
  EXPECT_EQ(variation->moves[0].san, "Nc3");
  EXPECT_EQ(Play(*variation, "b8c6"), 0);
  EXPECT_EQ(variation->moves[1].san, "Nc6");
  variation->gotoply(0);
  game.forward();
  EXPECT_EQ(game.lastmove().san, "Nf3");
  // A black alternative after 1. e4: the variation starts with black to move.
  game.gotoply(1);
  ASSERT_EQ(Play(game, "e7e5"), 1);
  jurnal* reply = game.moves[1].variations[0];
  EXPECT_TRUE(reply->blackfirst);
  EXPECT_EQ(reply->movesbefore, 0);
  EXPECT_EQ(reply->startep, 5);  // black could take e4 en passant? no pawn, but the file is kept
  reply->gotoply(0);
  EXPECT_EQ(board.epforblack, 5);
}

TEST(GameRecord, MoveNumbersTolerateTwoMovesOfOneColour) {
  doska board;
  board.clear();
  board.put(5, 1, WhiteKing);
  board.put(5, 8, BlackKing);
  board.put(1, 1, WhiteRook);
  jurnal game(&board, nullptr);
  Play(game, "a1a2");
  EXPECT_EQ(game.movenumber(), 1);
  Play(game, "a2a3");  // white again: as if black had passed
  EXPECT_EQ(game.movenumber(), 2);
  Play(game, "e8d8");
  EXPECT_EQ(game.movenumber(), 3);
}

// The move number counted from the start, the plain way.
int CountMoveNumber(const jurnal& line) {
  int number = line.movesbefore + 1;
  bool whiteExpected = !line.blackfirst;
  for (int i = 0; i < line.current; ++i) {
    if (IsWhite(line.moves[size_t(i)].piece) != whiteExpected) {
      whiteExpected = !whiteExpected;
      if (whiteExpected) ++number;
    }
    whiteExpected = !whiteExpected;
    if (whiteExpected) ++number;
  }
  return number;
}

TEST(GameRecord, MoveNumbersStayRightWhileTheCursorWanders) {
  doska board;
  board.clear();
  board.put(5, 1, WhiteKing);
  board.put(5, 8, BlackKing);
  board.put(1, 1, WhiteRook);
  board.put(8, 8, BlackRook);
  jurnal game(&board, nullptr);
  // Moves with repeats of one colour: W B W W B B W B.
  for (const char* m : {"a1a2", "h8h7", "a2a3", "a3a4", "h7h6", "h6h5", "a4a5", "h5h4"}) Play(game, m);
  std::mt19937 rng(3);
  for (int i = 0; i < 200; ++i) {
    game.gotoply(int(rng() % 9));
    ASSERT_EQ(game.movenumber(), CountMoveNumber(game)) << "ply " << game.current;
  }
}

TEST(San, DisambiguatesByFileRankOrBoth) {
  EXPECT_EQ(SanFrom("4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1", "b1d2"), "Nbd2");
  EXPECT_EQ(SanFrom("4k3/8/8/8/8/R7/8/R3K3 w - - 0 1", "a1a2"), "R1a2");
  EXPECT_EQ(SanFrom("4k3/8/8/8/8/R7/8/R3K3 w - - 0 1", "a3a2"), "R3a2");
  EXPECT_EQ(SanFrom("4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "a1c3"), "Qa1c3");
  EXPECT_EQ(SanFrom("4k3/8/8/8/8/Q1r5/8/Q1Q1K3 w - - 0 1", "a1c3", 5), "Qa1xc3!?");  // the longest body
  // A pinned rival does not count.
  EXPECT_EQ(SanFrom("4k3/4r3/8/8/8/1N6/4N3/4K3 w - - 0 1", "b3d4"), "Nd4");
}

TEST(San, CapturesEnPassantPromotionsAndMate) {
  EXPECT_EQ(SanFrom("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6"), "exd6");
  EXPECT_EQ(SanFrom("5n2/4P1k1/8/8/8/8/8/4K2R w - - 0 1", "e7f8q"), "exf8=Q+");
  EXPECT_EQ(SanFrom("5n1k/4P3/6K1/8/8/8/8/8 w - - 0 1", "e7f8q"), "exf8=Q#");
  EXPECT_EQ(SanFrom("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1"), "O-O");
  EXPECT_EQ(SanFrom("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1"), "O-O-O");
  EXPECT_EQ(SanFrom("3k4/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1"), "O-O-O+");
  EXPECT_EQ(SanFrom("rnbqkbnr/pppp1ppp/8/4p3/3P4/8/PPP1PPPP/RNBQKBNR w KQkq - 0 2", "d4e5"), "dxe5");
}

TEST(San, StalemateHasNoMarkAndNagsAddSymbols) {
  EXPECT_EQ(SanFrom("7k/8/4Q1K1/8/8/8/8/8 w - - 0 1", "e6f7"), "Qf7");
  EXPECT_EQ(SanFrom("7k/8/4Q1K1/8/8/8/8/8 w - - 0 1", "e6f7", 3), "Qf7!!");
  doska board;
  std::unique_ptr<jurnal> game = FromFen("7k/8/6K1/8/8/8/8/5Q2 w - - 0 1", board);
  Play(*game, "f1f8");
  EXPECT_EQ(game->moves[0].san, "Qf8#");
  game->gotoply(0);
  Play(*game, "f1h3", false);
  EXPECT_EQ(game->current, 0);  // played as a variation; the main line stays at its start
  game->forward();
  game->setnag(3);
  EXPECT_EQ(game->moves[0].san, "Qf8#!!");
  EXPECT_EQ(game->moves[0].nag, 3);
  EXPECT_EQ(game->current, 1);
}

TEST(Comments, AreWrappedInBracesOrKeptAsLineComments) {
  doska board;
  jurnal game(&board, nullptr);
  game.setcomment("before");
  EXPECT_EQ(game.startcomment, "{before}");
  Play(game, "e2e4");
  game.setcomment("a {b} c");
  EXPECT_EQ(game.moves[0].comment, "{a b c}");
  game.setcomment("; a line\n");
  EXPECT_EQ(game.moves[0].comment, "; a line\n");
  game.setcomment("");
  EXPECT_EQ(game.moves[0].comment, "");
  game.setcomment(";no line end");
  EXPECT_EQ(game.moves[0].comment, "{;no line end}");
  // More than one line is not a ";" comment, whatever its first and last bytes.
  game.setcomment("; one\n{two}\n");
  EXPECT_EQ(game.moves[0].comment, "{; one\ntwo\n}");
  // Already in the stored form: kept byte for byte, empty or not; braces at either end only.
  game.setcomment("{ [%eval 0.17] [%clk 0:15:34] }");
  EXPECT_EQ(game.moves[0].comment, "{ [%eval 0.17] [%clk 0:15:34] }");
  game.setcomment("{}");
  EXPECT_EQ(game.moves[0].comment, "{}");
  game.setcomment("{a}{b}");
  EXPECT_EQ(game.moves[0].comment, "{ab}");
  game.setcomment("}{");
  EXPECT_EQ(game.moves[0].comment, "{}");
  game.setcomment("{");
  EXPECT_EQ(game.moves[0].comment, "{}");
}

// A megabyte of text that is mostly braces of one kind and a few of the other: every brace
// goes, every other byte stays, in order (found run by run, not looked for again at each one).
TEST(Comments, ALongCommentFullOfBracesKeepsEveryOtherByte) {
  std::string text = ";";
  std::string expected = "{;";
  for (int i = 0; i < 200000; ++i) {
    text += "{{x{";
    expected += 'x';
    if (i % 50000 == 0) {
      text += "}y";
      expected += 'y';
    }
  }
  expected += '}';
  doska board;
  jurnal game(&board, nullptr);
  Play(game, "e2e4");
  game.setcomment(text);
  EXPECT_EQ(game.moves[0].comment.view(), expected);
}

TEST(Fen, ReadsTheInitialPositionAndItsClocks) {
  int position = 1, error = -1;
  const std::string fen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
  std::unique_ptr<jurnal> record = jurnal::fromfen(fen, position, error);
  ASSERT_EQ(error, 0);
  ASSERT_TRUE(record->ownboard);
  EXPECT_EQ(record->board, record->ownboard.get());
  EXPECT_TRUE(record->ownboard->SamePosition(doska()));
  EXPECT_EQ(record->movesbefore, 0);
  EXPECT_EQ(record->halfmoves, 0);
  EXPECT_FALSE(record->blackfirst);
  EXPECT_EQ(position, int(fen.size()) + 1);
}

TEST(Fen, ReadsSideEnPassantAndClocks) {
  int position = 1, error = -1;
  std::unique_ptr<jurnal> record =
      jurnal::fromfen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 7 12", position, error);
  ASSERT_EQ(error, 0);
  EXPECT_TRUE(record->blackfirst);
  EXPECT_EQ(record->ownboard->epforblack, 5);
  EXPECT_EQ(record->startep, 5);
  EXPECT_EQ(record->halfmoves, 7);
  EXPECT_EQ(record->movesbefore, 11);
  // Stops at a letter after the en-passant field: no clocks.
  position = 1;
  record = jurnal::fromfen("4k3/8/8/8/8/8/8/4K3 w - - x", position, error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(record->movesbefore, 0);
}

// Placements no game reaches are refused with the rule they break, so that no move is read
// from them (a king taken, a pawn capturing onto an empty square); positions just inside each
// rule are taken.
TEST(Fen, PositionsNoGameReachesAreRefused) {
  const std::pair<const char*, int> cases[] = {
      {"4k3/8/8/8/8/8/8/4K2K w - - 0 1", FenKingCount},
      {"4k3/8/8/8/8/8/8/8 w - - 0 1", FenKingCount},
      {"8/8/8/8/8/8/8/8 w - - 0 1", FenKingCount},
      {"4k3/8/8/8/8/8/8/P3K3 w - - 0 1", FenPawnOnEdgeRank},
      {"p3k3/8/8/8/8/8/8/4K3 w - - 0 1", FenPawnOnEdgeRank},
      {"4k3/8/8/8/8/P7/PPPPPPPP/4K3 w - - 0 1", FenTooManyPieces},
      {"rnbqkbnr/pppppppp/8/8/8/N7/PPPPPPPP/RNBQKBNR w KQkq - 0 1", FenTooManyPieces},
      {"4r1k1/8/8/8/8/8/8/4K2R b - - 0 1", FenWaitingSideInCheck},  // 1... then Rxe1 would take
      {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", FenOk},
      {"R3k3/8/8/8/8/8/8/4K3 w - - 0 1", FenWaitingSideInCheck},
      {"R3k3/8/8/8/8/8/8/4K3 b - - 0 1", FenOk},
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", FenOk},
      {"4k3/8/8/4P3/8/8/8/4K3 w - d6 0 1", FenNoPawnForEnPassant},     // no pawn on d5
      {"4k3/3p4/8/3pP3/8/8/8/4K3 w - d6 0 1", FenNoPawnForEnPassant},  // d7 not empty
      {"4k3/8/8/3pP3/8/8/8/4K3 b - d6 0 1", FenNoPawnForEnPassant},    // the wrong side to move
      {"4k3/8/8/8/3Pp3/8/8/4K3 b - d3 0 1", FenOk},
      {"4k3/8/8/8/4p3/8/8/4K3 b - d3 0 1", FenNoPawnForEnPassant},
  };
  for (const auto& [fen, expected] : cases) {
    int position = 1, error = -1;
    const std::unique_ptr<jurnal> record = jurnal::fromfen(fen, position, error);
    EXPECT_EQ(error, expected) << fen << ": " << DescribeFenError(error);
    EXPECT_EQ(record->ownboard != nullptr, expected == FenOk) << fen;
  }
}

TEST(Fen, WithoutCastlingFieldRightsFollowThePieces) {
  int position = 1, error = -1;
  std::unique_ptr<jurnal> record = jurnal::fromfen("r3k3/8/8/8/8/8/8/4K2R w", position, error);
  ASSERT_EQ(error, 0);
  const doska& b = *record->ownboard;
  EXPECT_TRUE(b.castleright(Side::White, false));
  EXPECT_FALSE(b.castleright(Side::White, true));
  EXPECT_TRUE(b.castleright(Side::Black, true));
  EXPECT_FALSE(b.castleright(Side::Black, false));
  // An empty board is no position of a game: no kings at all.
  position = 1;
  record = jurnal::fromfen("8/8/8/8/8/8/8/8 w", position, error);
  EXPECT_EQ(error, FenKingCount);
  EXPECT_EQ(record->ownboard, nullptr);
}

TEST(Fen, CastlingLettersNeedTheRookOnItsCorner) {
  int position = 1, error = -1;
  std::unique_ptr<jurnal> record = jurnal::fromfen("4k3/8/8/8/8/8/8/R3K3 w KQ -", position, error);
  ASSERT_EQ(error, 0);
  EXPECT_EQ(record->ownboard->wkinglost, 1);  // no rook on h1
  EXPECT_EQ(record->ownboard->wqueenlost, 0);
  EXPECT_EQ(record->ownboard->wkingmoved, 0);
  EXPECT_EQ(record->ownboard->bkinglost, 1);
}

TEST(Fen, ReportsEachKindOfError) {
  const std::pair<const char*, int> cases[] = {
      {"9/8/8/8/8/8/8/8 w", FenBadPiece},
      {"8/8/8/8/8/8/8/7", FenTooShort},
      {"54/8/8/8/8/8/8/8 w", FenRankTooLong},
      {"44p/8/8/8/8/8/8/8 w", FenMissingSlash},
      {"x7/8/8/8/8/8/8/8 w", FenBadPiece},
      {"8/8/8/8/8/8/8 8 w", FenMissingSlash},
      {"8/8/8/8/8/8/8/8w", FenMissingSpace},
      {"8/8/8/8/8/8/8/8", FenTooShort},
      {"8/8/8/8/8/8/8/8 x", FenBadSide},
      {"8/8/8/8/8/8/8/8 w K-", FenBadSide},
      {"8/8/8/8/8/8/8/8 w X", FenBadCastling},
      {"8/8/8/8/8/8/8/8 w  -", FenBadCastling},
      {"8/8/8/8/8/8/8/8 w KQ", FenTooShort},
      {"8/8/8/8/8/8/8/8 w-", FenMissingSpace},
      {"8/8/8/8/8/8/8/8 w - i3", FenBadEnPassantFile},
      {"8/8/8/8/8/8/8/8 w - e5", FenBadEnPassantRank},
      {"8/8/8/8/8/8/8/8 w - -x", FenMissingSpace},
      {"8/8/8/8/8/8/8/8 w - - 5", FenTooShort},
      {"8/8/8/8/8/8/8/8 w - - 5x", FenMissingSpace},
  };
  for (const auto& [fen, expected] : cases) {
    int position = 1, error = -1;
    std::unique_ptr<jurnal> record = jurnal::fromfen(fen, position, error);
    EXPECT_EQ(error, expected) << fen;
    EXPECT_FALSE(record->ownboard) << fen;
  }
}

TEST(Fen, StartsAtTheGivenPositionAndStopsAfterWhatItRead) {
  const std::string text = "[FEN \"8/8/8/8/8/8/8/K6k w - - 3 40\"]";
  int position = 7, error = -1;
  std::unique_ptr<jurnal> record = jurnal::fromfen(text.substr(0, text.size() - 2), position, error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(record->movesbefore, 39);
  EXPECT_EQ(position, int(text.size()) - 1);
}

TEST(GameKeys, MoveOrderDoesNotMatterButStartPositionDoes) {
  doska board;
  jurnal a(&board, nullptr), b(&board, nullptr);
  for (const char* m : {"e2e4", "e7e5", "g1f3", "b8c6"}) Play(a, m);
  a.gotoply(0);
  for (const char* m : {"g1f3", "b8c6", "e2e4", "e7e5"}) Play(b, m);
  uint64_t startA, movesA, startB, movesB;
  a.gamekeys(startA, movesA);
  b.gamekeys(startB, movesB);
  EXPECT_EQ(startA, 0x463B96181691FC9CULL);
  EXPECT_EQ(startA, startB);
  EXPECT_EQ(movesA, movesB);
  EXPECT_NE(movesA, 0u);
  b.gotoply(0);
  jurnal c(&board, nullptr);
  for (const char* m : {"e2e4", "e7e5", "g1f3", "g8f6"}) Play(c, m);
  uint64_t startC, movesC;
  c.gamekeys(startC, movesC);
  EXPECT_NE(movesC, movesA);
  c.gotoply(0);
  doska fenBoard;
  std::unique_ptr<jurnal> fromFen = FromFen("4k3/8/8/8/8/8/8/4K3 b - - 0 1", fenBoard);
  uint64_t startF, movesF;
  fromFen->gamekeys(startF, movesF);
  EXPECT_EQ(startF, fromFen->ownboard->poskey(Side::Black));
  EXPECT_EQ(movesF, 0u);
}

}  // namespace
