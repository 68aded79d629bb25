// The panel's layout: tabs, bottom bar and list columns as the host's metrics and the panel's
// size give them, and what lies under a point.
#include "panel/panel_layout.h"

#include <gtest/gtest.h>

namespace {

const PanelMetrics Metrics{8, 8, 8, 8, 16, 16, 16};

TEST(PanelLayout, ASixHundredPixelPanelHasFourEqualTabs) {
  // Margins of 7 leave a strip of 556 pixels, four quarters of 139.
  const PanelLayout l = LayOutPanel(PanelMetrics{8, 8, 7, 7, 16, 16, 16}, 600, 450, 40);
  const int32_t quarter = (600 - 7 - 7 - 30) / 4;
  EXPECT_EQ(l.tabs[0].left, 7 + 15);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(l.tabs[size_t(i)].Width(), quarter) << i;
    EXPECT_EQ(l.tabs[size_t(i)].top, 8);
    EXPECT_EQ(l.tabs[size_t(i)].bottom, 8 + 35);
  }
  EXPECT_EQ(l.tabs[3].right, 600 - 7 - 15);
}

TEST(PanelLayout, TheOutputFieldShrinksWithThePanel) {
  for (int32_t width : {500, 600, 777, 1400}) {
    const PanelLayout l = LayOutPanel(Metrics, width, 450, 43);
    EXPECT_EQ(l.outputField.left, 8 + 43 + 69);
    EXPECT_EQ(l.outputField.Width(), width - 8 - 220 - l.outputField.left) << width;
    EXPECT_EQ(l.outputField.Height(), 17);
  }
}

TEST(PanelLayout, TheBottomBarSitsAboveTheBottomMargin) {
  const PanelLayout l = LayOutPanel(Metrics, 640, 480, 40);
  EXPECT_EQ(l.menuButton, (PanelRectangle{18, 430, 62, 458}));
  EXPECT_EQ(l.saveToX, 72);
  EXPECT_EQ(l.outputField.top, 430 + (27 - 16) / 2);
  EXPECT_EQ(l.browseButton, (PanelRectangle{417, 433, 507, 454}));
  EXPECT_EQ(l.startButton, (PanelRectangle{517, 430, 622, 458}));
}

TEST(PanelLayout, ListColumnsShareTheStripByTheirWeights) {
  const PanelLayout l = LayOutPanel(Metrics, 23 + 570 + 23, 500, 40);  // a strip of 570 = 57 x 10
  EXPECT_EQ(l.columnEdges, (std::array<int32_t, 7>{23, 63, 183, 303, 393, 513, 593}));
  EXPECT_EQ(l.headerTop, 48);
  EXPECT_EQ(l.headerBottom, 80);
  EXPECT_EQ(l.rowsTop, 81);
  EXPECT_EQ(l.rowsBottom, 500 - 8 - 50);
  EXPECT_EQ(ListRowHeight(16), 25);
  EXPECT_EQ(ListRowHeight(13), 20);
  EXPECT_EQ(RowPitch(15, 16), 26);
  EXPECT_EQ(RowPitch(16, 13), 27);
}

TEST(PanelLayout, PointsFindTheirTabHeaderAndRows) {
  const PanelLayout l = LayOutPanel(Metrics, 616, 500, 40);
  EXPECT_EQ(TabAt(l, 23, 8), 0);
  EXPECT_EQ(TabAt(l, l.tabs[1].left, 20), 1);
  EXPECT_EQ(TabAt(l, l.tabs[1].left - 1, 20), 0);
  EXPECT_EQ(TabAt(l, 593, 43), 3);  // the strip's bounds are inclusive
  EXPECT_EQ(TabAt(l, 594, 20), NoTab);
  EXPECT_EQ(TabAt(l, 100, 44), NoTab);
  EXPECT_EQ(HeaderAt(l, 23, 60), 1);
  EXPECT_EQ(HeaderAt(l, 63, 60), 2);
  EXPECT_EQ(HeaderAt(l, 592, 80), 6);
  EXPECT_EQ(HeaderAt(l, 300, 81), 0);
  EXPECT_TRUE(OnListRows(l, 300, 81));
  EXPECT_FALSE(OnListRows(l, 300, l.rowsBottom));
  EXPECT_FALSE(OnListRows(l, 10, 200));
}

}  // namespace
