// The small holders of a move record: SAN texts in place or out of place, comments, variation
// lists; copies, moves and self-assignment keep their text.
#include "chess/compact.h"

#include <gtest/gtest.h>

#include <utility>

#include "chess/mov.h"

namespace {

TEST(SanString, ShortTextsInPlaceLongerOnesOutOfPlace) {
  for (const std::string text : {"", "e4", "exd8=Q+!?", "Qh4xe1#!!", "0123456789a", "a host's own long move text"}) {
    SCOPED_TRACE(text);
    const SanString san(text);
    EXPECT_EQ(san.view(), text);
    EXPECT_EQ(san.size(), text.size());
    EXPECT_EQ(san.empty(), text.empty());
    EXPECT_STREQ(san.c_str(), text.c_str());
    SanString copy = san;
    EXPECT_EQ(copy, san);
    SanString moved = std::move(copy);
    EXPECT_EQ(moved, text);
    EXPECT_TRUE(copy.empty());  // NOLINT: a moved-from text is empty
    SanString assigned = "Nf3";
    assigned = moved;
    EXPECT_EQ(assigned, text);
    assigned = std::move(moved);
    EXPECT_EQ(assigned, text);
    assigned = "O-O";  // a long text let go for a short one
    EXPECT_EQ(assigned, "O-O");
  }
}

TEST(SanString, AssigningPartOfItselfKeepsTheText) {
  SanString inPlace("Nbd7+");
  inPlace.assign(inPlace.view().substr(1, 3));
  EXPECT_EQ(inPlace, "bd7");
  SanString outOfPlace("a much longer text than ten bytes");
  outOfPlace.assign(outOfPlace.view().substr(2, 4));
  EXPECT_EQ(outOfPlace, "much");
  const SanString& same = outOfPlace;
  outOfPlace = same;
  EXPECT_EQ(outOfPlace, "much");
}

// A mark says what a text was written from: it goes with copies and moves of the text, and any
// other assignment clears it, so a text changed afterwards is never taken for a written one.
TEST(SanString, AMarkStaysWithItsTextOnly) {
  const char buffer[24] = "Nbd7+";
  SanString marked;
  marked.AssignMarked(buffer, 5, 7);
  EXPECT_EQ(marked, "Nbd7+");
  EXPECT_EQ(marked.size(), 5u);
  EXPECT_EQ(marked.Mark(), 7);
  SanString copy = marked;
  EXPECT_EQ(copy.Mark(), 7);
  SanString assigned;
  assigned = copy;
  EXPECT_EQ(assigned.Mark(), 7);
  SanString moved = std::move(copy);
  EXPECT_EQ(moved.Mark(), 7);
  EXPECT_EQ(moved, "Nbd7+");
  moved = "Nbd7";
  EXPECT_EQ(moved.Mark(), 0);
  assigned.AssignFromBuffer(buffer, 4);
  EXPECT_EQ(assigned.Mark(), 0);
  EXPECT_EQ(assigned, "Nbd7");
  const char empty[24] = "";
  SanString nothing;
  nothing.AssignMarked(empty, 0, 1);
  EXPECT_TRUE(nothing.empty());
  EXPECT_EQ(nothing.view(), "");
  const char longText[24] = "a text of twenty bytes";
  SanString outOfPlace;
  outOfPlace.AssignMarked(longText, 22, 3);  // no room for a mark beside a text out of place
  EXPECT_EQ(outOfPlace.Mark(), 0);
  EXPECT_EQ(outOfPlace, "a text of twenty bytes");
}

TEST(MoveRecord, StaysSmall) {
  // Eight bytes for the board, the SAN text and the NAG, a comment and a variation list.
  EXPECT_LE(sizeof(mov), 8 + sizeof(SanString) + 4 + 2 * sizeof(void*));
  mov m;
  m.san = "e4";
  m.comment = "{x}";
  mov copy = m;
  EXPECT_EQ(copy.san, "e4");
  EXPECT_EQ(copy.comment, "{x}");
}

}  // namespace
