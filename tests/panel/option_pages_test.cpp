// The option pages' geometry: rows a pitch apart, fields after their labels, the "Remove:"
// frame around its rows, and the least panel height the pages need.
#include "panel/option_pages.h"

#include <gtest/gtest.h>

#include "tests/support/fixed_measure.h"

namespace {

const PanelMetrics Metrics{8, 8, 8, 8, 16, 16, 16};
constexpr int32_t Pitch = 26;

const PageItem& Find(const OptionPage& page, OptionControl control) {
  for (const PageItem& item : page.items)
    if (item.control == control) return item;
  static const PageItem none;
  ADD_FAILURE() << "no control " << int(control);
  return none;
}

const PageItem& FindText(const OptionPage& page, std::string_view text, int nth = 0) {
  for (const PageItem& item : page.items)
    if (item.text == text && nth-- == 0) return item;
  static const PageItem none;
  ADD_FAILURE() << "no item " << text;
  return none;
}

int Controls(const OptionPage& page) {
  int n = 0;
  for (const PageItem& item : page.items) n += item.control != OptionControl::None;
  return n;
}

class OptionPages : public ::testing::Test {
 protected:
  FixedMeasure measure;
  std::array<OptionPage, 3> pages = LayOutOptionPages(Metrics, Pitch, measure);
  const OptionPage& split = pages[0];
  const OptionPage& filters = pages[1];
  const OptionPage& other = pages[2];
};

TEST_F(OptionPages, SplitHasNineControlsOneRowEach) {
  EXPECT_EQ(Controls(split), 9);
  const PageItem& eco = Find(split, OptionControl::SplitEco);
  EXPECT_EQ(eco.rect.left, 8 + 25 + 14 * 7);  // after "By ECO. Level:"
  EXPECT_EQ(eco.rect.Width(), 9 * 7 + 10);    // "A00 - E99" + 10
  EXPECT_EQ(eco.rect.Height(), 17);
  EXPECT_EQ(eco.rect.top, 8 + 45 + (Pitch - 17) / 2);
  const PageItem& white = Find(split, OptionControl::SplitWhite);
  EXPECT_EQ(white.rect.left, 8 + 20);
  EXPECT_EQ(white.rect.top, 8 + 45 + Pitch + (Pitch - 16) / 2);
  const PageItem& result = Find(split, OptionControl::SplitResult);
  EXPECT_EQ(result.rect.top, 8 + 45 + 8 * Pitch + (Pitch - 16) / 2);
  EXPECT_EQ(split.bottom, 8 + 45 + 9 * Pitch);
  // "parts" stands 3 pixels right of each Elo field.
  const PageItem& whiteElo = Find(split, OptionControl::SplitWhiteElo);
  EXPECT_EQ(FindText(split, "parts").rect.left, whiteElo.rect.right + 3);
  EXPECT_EQ(whiteElo.rect.Width(), 4 * 7 + 20);
}

TEST_F(OptionPages, OtherFramesItsRemovalRows) {
  EXPECT_EQ(Controls(other), 8);
  const PageItem& frame = FindText(other, "Remove:");
  ASSERT_EQ(frame.kind, PageItemKind::Frame);
  const int32_t widest = 5 * 7 + 30 * 7 + 15;  // "NAGs:" and its sample, the widest row
  EXPECT_EQ(frame.rect.left, 8 + 15);
  EXPECT_EQ(frame.rect.right, 8 + 15 + widest + 20);
  EXPECT_EQ(frame.rect.top, 8 + 45 + 15 / 2);
  const PageItem& comments = Find(other, OptionControl::Comments);
  const int32_t firstRow = 8 + 50 + 15;
  EXPECT_EQ(comments.rect.left, 8 + 25);
  EXPECT_EQ(comments.rect.top, firstRow + (Pitch - 16) / 2);
  const PageItem& tags = Find(other, OptionControl::Tags);
  EXPECT_EQ(tags.rect.left, 8 + 30 + 5 * 7);
  EXPECT_EQ(tags.rect.Width(), 23 * 7 + 5);
  // The frame ends RH + 5 below the "Duplicates" row; the next box is 7 below the frame.
  const int32_t duplicatesRow = firstRow + 4 * Pitch;
  EXPECT_EQ(frame.rect.bottom, duplicatesRow + Pitch + 5);
  const PageItem& eco = Find(other, OptionControl::AddEcoNames);
  EXPECT_EQ(eco.rect.top, frame.rect.bottom + 7 + (Pitch - 16) / 2);
  const PageItem& rewrite = Find(other, OptionControl::DoNotRewrite);
  EXPECT_EQ(rewrite.rect.top - eco.rect.top, 2 * (Pitch + 5));
  EXPECT_EQ(other.bottom, frame.rect.bottom + 7 + 2 * (Pitch + 5) + Pitch);
}

TEST_F(OptionPages, FiltersLineDatesUpAndSpaceRanges) {
  const PageItem& fromYear = Find(filters, OptionControl::DateFromYear);
  const PageItem& toYear = Find(filters, OptionControl::DateToYear);
  const PageItem& fromMonth = Find(filters, OptionControl::DateFromMonth);
  const PageItem& fromDay = Find(filters, OptionControl::DateFromDay);
  EXPECT_EQ(fromYear.rect.left, 8 + 25 + 18 * 7);  // after "Date of game: from"
  EXPECT_EQ(fromMonth.rect.left, fromYear.rect.right + 5);
  EXPECT_EQ(fromDay.rect.left, fromMonth.rect.right + 5);
  EXPECT_EQ(toYear.rect.left, fromYear.rect.left);
  EXPECT_EQ(toYear.rect.top - fromYear.rect.top, Pitch + 15);
  EXPECT_EQ(FindText(filters, "to").rect.right, toYear.rect.left - 5);
  EXPECT_EQ(FindText(filters, "month").rect.right, fromMonth.rect.right);
  EXPECT_EQ(FindText(filters, "month").kind, PageItemKind::Caption);
  const PageItem& eloFrom = Find(filters, OptionControl::WhiteEloFrom);
  const PageItem& eloTo = Find(filters, OptionControl::WhiteEloTo);
  EXPECT_EQ(FindText(filters, "to", 1).rect.left, eloFrom.rect.right + 7);
  EXPECT_EQ(eloTo.rect.left, eloFrom.rect.right + 2 * 7 + 15);
  EXPECT_EQ(eloTo.rect.Width(), 3 * 7 + 30);
  // The result boxes follow one another with their labels.
  const PageItem& win = Find(filters, OptionControl::ResultWhiteWins);
  const PageItem& draw = Find(filters, OptionControl::ResultDraw);
  EXPECT_EQ(draw.rect.left - win.rect.left, 16 + 4 * 7 + 5);  // a box, "1-0;" and 5
  EXPECT_EQ(Controls(filters), 4 + 6 + 2 + 1 + 4 + 1 + 2);
}

TEST_F(OptionPages, TheTallestPageRaisesTheLeastHeight) {
  EXPECT_EQ(MinimumPanelHeight(pages, Metrics),
            std::max({450, split.bottom + 8 + 52, filters.bottom + 8 + 52, other.bottom + 8 + 52}));
  // Rows 40 pixels apart need more than 450 for the ten rows of the filters.
  std::array<OptionPage, 3> tall = LayOutOptionPages(Metrics, 40, measure);
  EXPECT_EQ(MinimumPanelHeight(tall, Metrics), tall[1].bottom + 8 + 52);
  EXPECT_EQ(tall[1].bottom, 8 + 45 + 9 * 40 + 2 + 15 + 4 + 4 + 4 + 4 + 40);
  PanelMetrics tight = Metrics;
  tight.fontHeight = 5;
  std::array<OptionPage, 3> low = LayOutOptionPages(tight, 10, measure);
  EXPECT_EQ(MinimumPanelHeight(low, tight), 450);
}

}  // namespace
