// The settings file as the host's scripts print it.
#include "host/settings_description.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsDescription, NamesOnlyWhatDiffersFromTheDefaults) {
  TSettings s;
  s.outputPresent = true;
  s.outputBase = u"C:\\games\\out";
  s.makeDefaultAutomatically = false;
  s.optionsPresent = true;
  NormaliseOptions(s.options);
  EXPECT_EQ(DescribeSettings(s), "output: C:\\games\\out\nmake default automatically: no\noptions: defaults\n");
  s.options.dateFrom = 832111;
  s.options.keptNags.reset();
  for (int n : {1, 2, 3, 7, 136, 137}) s.options.keptNags.set(size_t(n));
  s.options.removeDuplicates = true;
  s.options.splitEcoLevel = EcoSplit::WholeCode;
  s.options.whitePlayer = "Morphy, Paul";
  s.options.whiteEloTo = 2500;
  EXPECT_EQ(DescribeSettings(s),
            "output: C:\\games\\out\nmake default automatically: no\noptions: keptNags=1-3,7,136-137 "
            "removeDuplicates=yes splitEcoLevel=3 dateFrom=2000.3.15 (832111) whitePlayer=\"Morphy, Paul\" "
            "whiteEloTo=2500\n");
}

TEST(SettingsDescription, AFileWithoutOptionsSaysSo) {
  TSettings s;
  EXPECT_EQ(DescribeSettings(s), "options: none saved\n");
}

}  // namespace
