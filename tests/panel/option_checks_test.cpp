// The check boxes of the option pages and the options they show and set.
#include "panel/option_checks.h"

#include <gtest/gtest.h>

namespace {

TEST(OptionChecks, BoxesShowTheirOptions) {
  TProcessingOptions o;
  EXPECT_FALSE(IsChecked(o, OptionControl::Comments));
  EXPECT_TRUE(IsChecked(o, OptionControl::RemoveOldEcoTags));
  EXPECT_TRUE(IsChecked(o, OptionControl::DoNotRewrite));
  EXPECT_TRUE(IsChecked(o, OptionControl::ResultDraw));
  o.resultMask = ResultWhiteWins | ResultUnknown;
  EXPECT_TRUE(IsChecked(o, OptionControl::ResultWhiteWins));
  EXPECT_FALSE(IsChecked(o, OptionControl::ResultBlackWins));
  EXPECT_TRUE(IsChecked(o, OptionControl::ResultUnfinished));
  EXPECT_FALSE(IsChecked(o, OptionControl::SplitEco));  // a field, not a box
}

TEST(OptionChecks, ResultBoxesChangeOnlyTheirBit) {
  TProcessingOptions o;
  SetChecked(o, OptionControl::ResultDraw, false);
  EXPECT_EQ(o.resultMask, ResultAll & ~ResultDraw);
  SetChecked(o, OptionControl::ResultUnfinished, false);
  EXPECT_EQ(o.resultMask, ResultWhiteWins | ResultBlackWins | ResultOther);
  SetChecked(o, OptionControl::ResultDraw, true);
  EXPECT_EQ(o.resultMask, ResultAll & ~ResultUnknown);
}

TEST(OptionChecks, PlayerSplitsExcludeEachOther) {
  TProcessingOptions o;
  EXPECT_TRUE(SetChecked(o, OptionControl::SplitWhite, true).empty());
  EXPECT_TRUE(SetChecked(o, OptionControl::SplitBlack, true).empty());
  EXPECT_EQ(SetChecked(o, OptionControl::SplitPlayer, true),
            (std::vector<OptionControl>{OptionControl::SplitWhite, OptionControl::SplitBlack}));
  EXPECT_TRUE(o.splitByPlayer);
  EXPECT_FALSE(o.splitByWhite || o.splitByBlack);
  EXPECT_EQ(SetChecked(o, OptionControl::SplitBlack, true), (std::vector<OptionControl>{OptionControl::SplitPlayer}));
  EXPECT_FALSE(o.splitByPlayer);
  // Unchecking excludes nothing.
  EXPECT_TRUE(SetChecked(o, OptionControl::SplitBlack, false).empty());
  EXPECT_TRUE(SetChecked(o, OptionControl::Duplicates, true).empty());
  EXPECT_TRUE(o.removeDuplicates);
}

}  // namespace
