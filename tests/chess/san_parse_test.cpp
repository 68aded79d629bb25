// Move texts taken apart: pieces, hints, destinations, promotions, marks and glyphs, the texts
// refused and where reading them stopped, the same whether the text ends right after the move
// or goes on for pages.
#include "chess/san_parse.h"

#include <gtest/gtest.h>

#include <string>

#include "chess/piece.h"

namespace {

struct Read {
  bool ok = false;
  size_t end = 0;  // where reading stopped, from the move's first byte
  SanMoveText move;
};

// Reads `text` placed after `before` and followed by `after`.
Read ReadAt(const std::string& before, const std::string& text, const std::string& after, bool black) {
  const std::string all = before + text + after;
  Read r;
  size_t at = before.size();
  r.ok = ReadSanMove(all.data(), all.size(), at, black, r.move);
  r.end = at - before.size();
  return r;
}

// The text read both at the very end of its buffer and far from it: the same answer either way.
Read ReadBoth(const std::string& text, bool black = false) {
  const Read near = ReadAt("", text, "", black);
  const Read far = ReadAt(std::string(40, ' '), text, " " + std::string(40, 'x'), black);
  EXPECT_EQ(near.ok, far.ok) << text;
  EXPECT_EQ(near.end, far.end) << text;
  if (near.ok && far.ok) {
    EXPECT_EQ(near.move.piece, far.move.piece) << text;
    EXPECT_EQ(near.move.tofile, far.move.tofile) << text;
    EXPECT_EQ(near.move.torank, far.move.torank) << text;
    EXPECT_EQ(near.move.hintfile, far.move.hintfile) << text;
    EXPECT_EQ(near.move.hintrank, far.move.hintrank) << text;
    EXPECT_EQ(near.move.promotion, far.move.promotion) << text;
    EXPECT_EQ(near.move.nag, far.move.nag) << text;
    EXPECT_EQ(near.move.mate, far.move.mate) << text;
    EXPECT_EQ(near.move.capture, far.move.capture) << text;
  }
  return near;
}

TEST(SanParse, MovesComeApartIntoPieceHintsDestinationAndPromotion) {
  struct Case {
    const char* text;
    bool black;
    uint8_t piece, hintfile, hintrank, tofile, torank, promotion;
    bool capture;
  };
  const Case cases[] = {
      {"e4", false, WhitePawn, 0, 0, 5, 4, 0, false},
      {"Nf3", false, WhiteKnight, 0, 0, 6, 3, 0, false},
      {"exd5", true, BlackPawn, 5, 0, 4, 5, 0, true},
      {"Nbd7", true, BlackKnight, 2, 0, 4, 7, 0, false},
      {"R1e2", false, WhiteRook, 0, 1, 5, 2, 0, false},
      {"Qh4xe1", true, BlackQueen, 8, 4, 5, 1, 0, true},
      {"e8=Q", false, WhitePawn, 0, 0, 5, 8, WhiteQueen, false},
      {"exd1N", true, BlackPawn, 5, 0, 4, 1, BlackKnight, true},
      {"Pe4", false, WhitePawn, 0, 0, 5, 4, 0, false},
      {"Kxh1", false, WhiteKing, 0, 0, 8, 1, 0, true},
  };
  for (const Case& c : cases) {
    const Read r = ReadBoth(c.text, c.black);
    ASSERT_TRUE(r.ok) << c.text;
    EXPECT_EQ(r.end, std::string(c.text).size()) << c.text;
    EXPECT_EQ(r.move.piece, c.piece) << c.text;
    EXPECT_EQ(r.move.hintfile, c.hintfile) << c.text;
    EXPECT_EQ(r.move.hintrank, c.hintrank) << c.text;
    EXPECT_EQ(r.move.tofile, c.tofile) << c.text;
    EXPECT_EQ(r.move.torank, c.torank) << c.text;
    EXPECT_EQ(r.move.promotion, c.promotion) << c.text;
    EXPECT_EQ(r.move.capture, c.capture) << c.text;
  }
}

TEST(SanParse, MarksAndGlyphsAreReadWithTheMove) {
  EXPECT_FALSE(ReadBoth("Qh5+").move.mate);
  EXPECT_TRUE(ReadBoth("Qxf7#").move.mate);
  EXPECT_EQ(ReadBoth("Nf3!").move.nag, 1);
  EXPECT_EQ(ReadBoth("Nf3?").move.nag, 2);
  EXPECT_EQ(ReadBoth("Nf3!!").move.nag, 3);
  EXPECT_EQ(ReadBoth("Nf3??").move.nag, 4);
  EXPECT_EQ(ReadBoth("Nf3!?").move.nag, 5);
  EXPECT_EQ(ReadBoth("e8=Q+?!").move.nag, 6);
  EXPECT_EQ(ReadBoth("e8=Q+?!").end, 7u);
  // A move ends before a blank, a comment, a bracket or a NAG.
  for (const char* after : {" ", "{", "(", ")", "$1", "\n"}) {
    const Read r = ReadAt("", "Nf3", after, false);
    EXPECT_TRUE(r.ok) << after;
    EXPECT_EQ(r.end, 3u) << after;
  }
}

TEST(SanParse, BrokenTextsAreRefusedWhereTheyStopMakingSense) {
  struct Case {
    const char* text;
    size_t stop;
  };
  const Case cases[] = {
      {"e45", 2},     // a rank after a square
      {"Nf", 2},      // no rank
      {"N", 1},       // no square
      {"e8=", 2},     // "=" without a piece
      {"e8=K", 2},    // nor a king
      {"Qh5+#", 5},   // check and mate at once
      {"Nf3Z", 3},    // a letter after the move
      {"Nf3a", 4},    // f3 read as the origin, then a destination without its rank
      {"e4-", 2},     // a dash straight after it
      {"Nf3!?x", 5},  // even after a glyph
      {"Bx", 2},
  };
  for (const Case& c : cases) {
    const Read r = ReadBoth(c.text);
    EXPECT_FALSE(r.ok) << c.text;
    EXPECT_EQ(r.end, c.stop) << c.text;
  }
}

}  // namespace
