// The NAG selection window's boxes: shown from the kept set, saved back into it.
#include "dialogs/nag_selection.h"

#include <gtest/gtest.h>

namespace {

std::bitset<256> Numbers(std::initializer_list<int> numbers) {
  std::bitset<256> set;
  for (int n : numbers) set.set(size_t(n));
  return set;
}

std::bitset<256> Range(int first, int last) {
  std::bitset<256> set;
  for (int n = first; n <= last; ++n) set.set(size_t(n));
  return set;
}

TEST(NagSelection, EveryNagKeptChecksEveryBoxAndSavesOneTo139) {
  const auto states = NagBoxStates(std::bitset<256>().set());
  for (bool checked : states) EXPECT_TRUE(checked);
  EXPECT_EQ(NagsOfBoxes(states), Range(1, 139));
}

TEST(NagSelection, TheBasicSixStayTheBasicSix) {
  const std::bitset<256> basic = Range(1, 6);
  const auto states = NagBoxStates(basic);
  for (size_t i = 0; i < NagBoxCount; ++i) EXPECT_EQ(states[i], i < 6) << i;
  EXPECT_EQ(NagsOfBoxes(states), basic);
}

TEST(NagSelection, AGroupShowsByItsFirstNumberAndSavesWhole) {
  // 11 without 10: the position box is clear, and saving drops 11 with the rest of its group.
  const auto states = NagBoxStates(Numbers({2, 11, 137, 200}));
  EXPECT_FALSE(states[9]);
  EXPECT_FALSE(states[10]);
  EXPECT_TRUE(states[1]);
  EXPECT_EQ(NagsOfBoxes(states), Numbers({2}));
  // The time-pressure box shows by 136 and saves 136 to 139.
  std::array<bool, NagBoxCount> timeOnly{};
  timeOnly[10] = true;
  EXPECT_EQ(NagsOfBoxes(timeOnly), Range(136, 139));
  EXPECT_TRUE(NagBoxStates(Range(136, 136))[10]);
  // No box checked: the empty set, and never NAG 0.
  EXPECT_EQ(NagsOfBoxes({}), std::bitset<256>());
  EXPECT_EQ(std::string(NagGroups()[9].label), "NAGs which describe the current position ($10 - $135)");
}

}  // namespace
