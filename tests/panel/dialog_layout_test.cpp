// The NAG selection and rename windows' geometry, and where such a window appears at the mouse.
#include "panel/dialog_layout.h"

#include <gtest/gtest.h>

#include "tests/support/fixed_measure.h"

namespace {

const PanelMetrics Metrics{8, 8, 8, 8, 16, 16, 16};
constexpr int32_t Pitch = 26;

TEST(NagWindowLayout, FiveRowsOfBoxesEachAfterThePreviousLabel) {
  FixedMeasure measure;
  const NagWindowLayout l = LayOutNagWindow(Metrics, Pitch, measure);
  EXPECT_EQ(l.headingX, 18);
  EXPECT_EQ(l.headingY, 18);
  // Row 1 starts under the heading (18 + 15 + 5); boxes are centred in their row.
  EXPECT_EQ(l.boxes[0], (PanelRectangle{18, 43, 34, 59}));
  EXPECT_EQ(l.boxes[1].left, 61);  // 18 + 16 + width("!") + 20
  EXPECT_EQ(l.boxes[2].left, 104);
  EXPECT_EQ(l.boxes[3].left, 154);  // after "!!"
  EXPECT_EQ(l.boxes[5].left, 254);
  EXPECT_EQ(l.boxes[6], (PanelRectangle{18, 69, 34, 85}));
  EXPECT_EQ(l.boxes[7].left, 166);  // after "Forced move ($7)"
  for (size_t box : {8, 9, 10}) EXPECT_EQ(l.boxes[box].left, 18);
  EXPECT_EQ(l.boxes[10].top, 43 + 4 * Pitch);
  // Labels 4 pixels right of their box, centred on it.
  EXPECT_EQ(l.labelX[0], 38);
  EXPECT_EQ(l.labelY[0], 43);
  // The widest part is the position NAGs' row: 16 + 53 * 7 + 5 = 392, plus L + R + 20.
  EXPECT_EQ(l.width, 428);
  EXPECT_EQ(l.height, 8 + 10 + 15 + 5 + 5 * Pitch + 8 + 52);
  EXPECT_EQ(l.buttons.first, (PanelRectangle{194, 178, 299, 206}));
  EXPECT_EQ(l.buttons.second, (PanelRectangle{307, 178, 412, 206}));
}

TEST(NagWindowLayout, TheFirstRowDecidesWithWideShortLabels) {
  // Short labels in a wide font: row 1 (six boxes and labels, + 20) is the widest part.
  class WideMeasure : public FixedMeasure {
   public:
    int32_t Width(std::string_view text) override { return text.size() <= 2 ? 100 : int32_t(text.size()); }
  } measure;
  const NagWindowLayout l = LayOutNagWindow(Metrics, Pitch, measure);
  const int32_t row1 = 5 * (16 + 100 + 20) + 16 + 4 + 100;
  EXPECT_EQ(l.width, row1 + 20 + 8 + 8 + 20);
}

TEST(RenameWindowLayout, TwoListsWithTheirFieldsUnderThem) {
  const RenameWindowLayout l = LayOutRenameWindow(Metrics, 500, 400, 15);
  EXPECT_EQ(l.fromX, 22);
  EXPECT_EQ(l.toX, 255);
  EXPECT_EQ(l.headingY, 18);
  EXPECT_EQ(l.fromList, (PanelRectangle{22, 36, 243, 304}));
  EXPECT_EQ(l.toList, (PanelRectangle{257, 36, 478, 304}));
  EXPECT_EQ(l.oldNameField, (PanelRectangle{22, 311, 243, 330}));
  EXPECT_EQ(l.newNameField, (PanelRectangle{257, 311, 478, 330}));
  EXPECT_EQ(l.buttons.first, (PanelRectangle{266, 350, 371, 378}));
  EXPECT_EQ(l.buttons.second, (PanelRectangle{379, 350, 484, 378}));
}

TEST(DialogPlacement, AtTheMouseAndInsideTheWorkArea) {
  EXPECT_EQ(PlaceAtCursor(300, 200, {400, 300}, false, 1024, 768), (ScreenPoint{250, 300}));
  EXPECT_EQ(PlaceAtCursor(500, 400, {500, 400}, true, 1024, 768), (ScreenPoint{250, 200}));
  // Pushed left and up near the far corner; never past the left or top edge.
  EXPECT_EQ(PlaceAtCursor(300, 200, {1000, 700}, false, 1024, 768), (ScreenPoint{724, 568}));
  EXPECT_EQ(PlaceAtCursor(300, 200, {100, 50}, true, 1024, 768), (ScreenPoint{0, 0}));
  EXPECT_EQ(PlaceAtCursor(2000, 1000, {500, 500}, true, 1024, 768), (ScreenPoint{0, 0}));
}

}  // namespace
