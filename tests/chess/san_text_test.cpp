// Move texts written from records alone: every part of a text (letter, origin, capture,
// destination, promotion, check mark, glyph), each kind of castling, the marks kept beside the
// texts, and records made elsewhere with bytes no game holds.
#include <gtest/gtest.h>

#include <string>

#include "chess/doska.h"
#include "chess/mov.h"
#include "chess/piece.h"
#include "chess/san_text.h"

namespace {

mov Record(uint8_t piece, int from, int to, uint8_t captured = Empty, uint8_t extra = 0, uint8_t nag = 0) {
  mov m;
  m.piece = piece;
  m.fromfile = uint8_t(from / 10), m.fromrank = uint8_t(from % 10);
  m.tofile = uint8_t(to / 10), m.torank = uint8_t(to % 10);
  m.captured = captured;
  m.extra = extra;
  m.nag = nag;
  return m;
}

// The text stored in the record, and the text SanBody and FinishSan write: both must agree.
std::string Stored(mov m, Origin origin, uint8_t state) {
  StoreSanText(m, origin, state);
  SanText san = SanBody(m, origin);
  FinishSan(m, san, state);
  EXPECT_EQ(m.san.view(), san.view());
  return std::string(m.san.view());
}

// Squares as file * 10 + rank: 54 is e4.
TEST(MoveText, EveryPartOfAMoveIsWrittenInItsPlace) {
  EXPECT_EQ(Stored(Record(WhitePawn, 52, 54), Origin::Implied, StateNormal), "e4");
  EXPECT_EQ(Stored(Record(BlackPawn, 57, 45, WhiteKnight), Origin::Implied, StateNormal), "exd5");
  EXPECT_EQ(Stored(Record(WhitePawn, 55, 46, Empty, BlackPawn), Origin::Implied, StateCheck), "exd6+");
  EXPECT_EQ(Stored(Record(WhitePawn, 57, 48, BlackRook, WhiteQueen, 5), Origin::Implied, StateCheck), "exd8=Q+!?");
  EXPECT_EQ(Stored(Record(BlackPawn, 82, 81, Empty, BlackKnight), Origin::Implied, StateNormal), "h1=N");
  EXPECT_EQ(Stored(Record(WhiteKnight, 71, 63), Origin::Implied, StateNormal), "Nf3");
  EXPECT_EQ(Stored(Record(BlackKnight, 28, 47), Origin::File, StateNormal), "Nbd7");
  EXPECT_EQ(Stored(Record(WhiteRook, 11, 14, BlackBishop), Origin::Rank, StateCheckmate), "R1xa4#");
  EXPECT_EQ(Stored(Record(WhiteQueen, 11, 88, BlackRook, 0, 4), Origin::Square, StateCheckmate), "Qa1xh8#??");
  EXPECT_EQ(Stored(Record(BlackKing, 58, 47, WhitePawn, 0, 1), Origin::Implied, StateNormal), "Kxd7!");
  // A stalemate writes no mark; a NAG beyond the six glyphs is no part of the text.
  EXPECT_EQ(Stored(Record(WhiteBishop, 61, 25, Empty, 0, 146), Origin::Implied, StateStalemate), "Bb5");
}

TEST(MoveText, CastlingIsWrittenByItsWingInBothKindsOfChess) {
  EXPECT_EQ(Stored(Record(WhiteKing, 51, 71), Origin::Implied, StateCheck), "O-O+");
  EXPECT_EQ(Stored(Record(BlackKing, 58, 38), Origin::Implied, StateNormal), "O-O-O");
  // Chess960: the king's record goes onto its rook's square.
  EXPECT_EQ(Stored(Record(WhiteKing, 21, 11, Empty, CastlingExtra), Origin::Implied, StateNormal), "O-O-O");
  EXPECT_EQ(Stored(Record(BlackKing, 28, 78, Empty, CastlingExtra, 3), Origin::Implied, StateNormal), "O-O!!");
  // A king's two-square step from another file is no castling.
  EXPECT_EQ(Stored(Record(WhiteKing, 41, 61), Origin::Implied, StateNormal), "Kf1");
}

TEST(MoveText, TheMarkTellsWhatTheTextWasWrittenFrom) {
  mov m = Record(WhiteKnight, 28, 47);
  for (const Origin origin : {Origin::Implied, Origin::File, Origin::Rank, Origin::Square})
    for (const uint8_t state : {uint8_t(StateNormal), uint8_t(StateCheck), uint8_t(StateCheckmate)}) {
      StoreSanText(m, origin, state);
      ASSERT_NE(m.san.Mark(), 0);
      EXPECT_EQ(OriginOfMark(m.san.Mark()), origin);
      EXPECT_EQ(StateOfMark(m.san.Mark()), state);
      Origin readOrigin;
      uint8_t readState;
      ASSERT_TRUE(SanParts(m, m.san.view(), readOrigin, readState)) << m.san.view();
      EXPECT_EQ(readOrigin, origin);
      EXPECT_EQ(readState, state);
    }
}

// A host may hand over records no game holds: their texts are written as ever, held out of
// place when they grow past what a record holds in place, and an earlier text is replaced.
TEST(MoveText, RecordsMadeElsewhereGetTextsOfAnyLength) {
  mov odd = Record(WhiteQueen, 11, 88, BlackRook, WhiteQueen, 3);
  odd.san = "a host's own text, longer than any written here";
  EXPECT_EQ(Stored(odd, Origin::Square, StateCheck), "Qa1xh8=Q+!!");
  StoreSanText(odd, Origin::Square, StateCheck);
  EXPECT_EQ(odd.san.Mark(), 0);  // a text held out of place keeps no mark
  // Piece codes past the twelve follow the rule of six; files and ranks are written as bytes.
  EXPECT_EQ(Stored(Record(uint8_t(BlackKing + 2), 71, 63), Origin::Implied, StateNormal), "Nf3");
  EXPECT_EQ(Stored(Record(WhiteRook, 91, 19), Origin::File, StateNormal), "Ria9");
  mov blank;
  EXPECT_EQ(Stored(blank, Origin::Implied, StateNormal), "`0");
}

}  // namespace
