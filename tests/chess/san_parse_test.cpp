// Move texts taken apart: pieces, hints, destinations, promotions, marks and glyphs, the texts
// refused and where reading them stopped, the same whether the text ends right after the move
// or goes on for pages.
#include "chess/san_parse.h"

#include <gtest/gtest.h>

#include <functional>
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

TEST(SanParse, TheUsualTextsReadByTableAreReadAsByteByByte) {
  // Every text of up to five bytes from the bytes move texts are made of (and a few they are
  // not), followed by a blank, a mark, a bracket or more of the same: read where the text goes
  // on for pages (where the usual ones are read by table) and byte by byte, the same answer.
  const std::string alphabet = "NQPebh18x=+( ";
  const std::string tails[] = {" ", "+", "#", "+#", "#+", "+!", "=Q", "Q", ")", "x", "4", "!"};
  std::string text;
  long compared = 0, usual = 0;
  const std::function<void(size_t)> each = [&](size_t length) {
    if (text.size() == length) {
      for (const std::string& tail : tails) {
        const std::string all = text + tail + std::string(20, ' ');
        for (const bool black : {false, true}) {
          size_t atTable = 0, atBytes = 0, atUsual = 0;
          SanMoveText byTable, byBytes, byUsual;
          const bool table = ReadSanMove(all.data(), all.size(), atTable, black, byTable);
          const bool bytes = san_detail::ReadMoveBody<false>(all.data(), all.size(), atBytes, black, byBytes);
          usual += san_detail::ReadUsualMove(all.data(), atUsual, black, byUsual);
          ++compared;
          ASSERT_EQ(table, bytes) << all;
          ASSERT_EQ(atTable, atBytes) << all;
          if (!table) continue;
          ASSERT_EQ(byTable.piece, byBytes.piece) << all;
          ASSERT_EQ(byTable.promotion, byBytes.promotion) << all;
          ASSERT_EQ(byTable.hintfile, byBytes.hintfile) << all;
          ASSERT_EQ(byTable.hintrank, byBytes.hintrank) << all;
          ASSERT_EQ(byTable.tofile, byBytes.tofile) << all;
          ASSERT_EQ(byTable.torank, byBytes.torank) << all;
          ASSERT_EQ(byTable.capture, byBytes.capture) << all;
          ASSERT_EQ(byTable.mate, byBytes.mate) << all;
          ASSERT_EQ(byTable.nag, byBytes.nag) << all;
        }
      }
      return;
    }
    for (const char c : alphabet) {
      text.push_back(c);
      each(length);
      text.pop_back();
    }
  };
  for (size_t length = 1; length <= 5; ++length) each(length);
  EXPECT_GT(usual, 10000);  // the table did read many of them
  RecordProperty("compared", std::to_string(compared));
}

}  // namespace
