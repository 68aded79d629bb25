// The array of move records: records that own texts and variations keep them through every
// growth, cut, copy and move of the array (under the sanitizers a text freed twice or lost
// fails here), and records handed in from the array itself survive its moving.
#include "chess/move_list.h"

#include <gtest/gtest.h>

#include <string>

#include "chess/jurnal.h"

namespace {

const std::string LongText = "a host's own text, longer than any the library writes";

// A record that owns something on the heap in each of its parts that can.
mov Owning(int index) {
  mov m;
  m.SetBoardBytes(0x0000000405040201u + uint64_t(index));
  m.san = LongText + " " + std::to_string(index);
  m.comment = "{comment " + std::to_string(index) + "}";
  m.nag = uint8_t(index % 200);
  return m;
}

void ExpectOwning(const mov& m, int index) {
  EXPECT_EQ(m.BoardBytes(), 0x0000000405040201u + uint64_t(index));
  EXPECT_EQ(m.san.view(), LongText + " " + std::to_string(index));
  EXPECT_EQ(m.comment.view(), "{comment " + std::to_string(index) + "}");
  EXPECT_EQ(m.nag, index % 200);
}

TEST(MoveList, RecordsKeepWhatTheyOwnThroughGrowingAndCuttingToSize) {
  MoveList list;
  EXPECT_TRUE(list.empty());
  for (int i = 0; i < 1000; ++i) list.push_back(Owning(i));  // many reallocations
  ASSERT_EQ(list.size(), 1000u);
  EXPECT_GE(list.capacity(), 1000u);
  for (int i = 0; i < 1000; ++i) ExpectOwning(list[size_t(i)], i);

  list.reserve(5000);
  EXPECT_EQ(list.capacity(), 5000u);
  list.resize(700);
  list.ShrinkToFit();
  EXPECT_EQ(list.capacity(), 700u);
  ASSERT_EQ(list.size(), 700u);
  for (int i = 0; i < 700; ++i) ExpectOwning(list[size_t(i)], i);
  ExpectOwning(list.back(), 699);
  list.pop_back();
  ExpectOwning(list.back(), 698);

  list.clear();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.capacity(), 700u);  // room kept for the next line
  list.ShrinkToFit();
  EXPECT_EQ(list.capacity(), 0u);
  EXPECT_EQ(list.data(), nullptr);
}

TEST(MoveList, ARecordOfTheListItselfCanBeAddedWhileItMoves) {
  MoveList list;
  list.push_back(Owning(7));
  list.ShrinkToFit();  // full: the next record moves the array
  ASSERT_EQ(list.capacity(), 1u);
  list.push_back(list[0]);
  list.emplace_back(list.back());
  ASSERT_EQ(list.size(), 3u);
  for (const mov& m : list) ExpectOwning(m, 7);

  list.ShrinkToFit();
  list.assign(5, list[1]);  // from a record the assignment destroys
  ASSERT_EQ(list.size(), 5u);
  for (const mov& m : list) ExpectOwning(m, 7);
}

TEST(MoveList, CopiesAreDeepAndMovesTakeTheRecords) {
  MoveList list;
  for (int i = 0; i < 20; ++i) list.push_back(Owning(i));
  jurnal variation(nullptr, nullptr);
  list[3].variations.push_back(&variation);  // not owned by the record: copied as a pointer

  MoveList copy(list);
  list[0].comment = "{changed}";
  ASSERT_EQ(copy.size(), 20u);
  ExpectOwning(copy[0], 0);
  EXPECT_EQ(copy[3].variations.size(), 1u);
  EXPECT_EQ(copy[3].variations[0], &variation);

  MoveList moved(std::move(copy));
  EXPECT_TRUE(copy.empty());  // NOLINT(bugprone-use-after-move): a moved-from list is empty
  ASSERT_EQ(moved.size(), 20u);
  for (int i = 0; i < 20; ++i) ExpectOwning(moved[size_t(i)], i);

  MoveList assigned;
  assigned.push_back(Owning(99));
  assigned = moved;
  ASSERT_EQ(assigned.size(), 20u);
  ExpectOwning(assigned[19], 19);
  assigned = std::move(moved);
  ASSERT_EQ(assigned.size(), 20u);
  ExpectOwning(assigned[5], 5);
  assigned = assigned;  // NOLINT: assigned to itself, it stays as it is
  ExpectOwning(assigned[5], 5);

  MoveList other;
  other.resize(2);
  other.swap(assigned);
  EXPECT_EQ(other.size(), 20u);
  EXPECT_EQ(assigned.size(), 2u);
  EXPECT_EQ(assigned[1].BoardBytes(), 0u);  // default records
  EXPECT_TRUE(assigned[1].san.empty());
  for (auto& m : other) m.variations.clear();
  for (auto& m : list) m.variations.clear();
}

}  // namespace
