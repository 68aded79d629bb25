// The panel's size follows the screen's resolution from its design at 120 dots per inch.
#include <gtest/gtest.h>

#include "panel/panel_size.h"

namespace {

TEST(PanelSizes, ScaleWithTheResolution) {
  EXPECT_EQ(PanelSizesFor(120), (PanelSizes{640, 450, 600}));
  EXPECT_EQ(PanelSizesFor(96), (PanelSizes{512, 360, 480}));
  EXPECT_EQ(PanelSizesFor(144), (PanelSizes{768, 540, 720}));
}

TEST(PanelSizes, TruncateAtResolutionsThatDoNotDivideEvenly) {
  // 100 dpi: 533.3 x 375 and 500 wide at least.
  EXPECT_EQ(PanelSizesFor(100), (PanelSizes{533, 375, 500}));
  EXPECT_EQ(PanelSizesFor(97), (PanelSizes{517, 363, 485}));
}

TEST(PanelSizes, AScreenThatReportsNoResolutionIsTakenAsNinetySix) {
  EXPECT_EQ(PanelSizesFor(0), PanelSizesFor(96));
  EXPECT_EQ(PanelSizesFor(-5), PanelSizesFor(96));
}

}  // namespace
