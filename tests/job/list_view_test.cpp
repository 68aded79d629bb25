// The panel list's behaviour: selections by click and keys, sorting by column, deleting, and the
// scrolling arithmetic.
#include "job/list_view.h"

#include <gtest/gtest.h>

#include "job/job.h"
#include "pgn/game_reader.h"

namespace {

// A list of games whose White players are the given names, in that order.
TGameList ListOf(const std::vector<std::string>& whites, const char* source = "games.pgn") {
  std::string text;
  for (const std::string& white : whites)
    text += "[Event \"E\"]\n[Site \"S\"]\n[Date \"2000.01.01\"]\n[Round \"1\"]\n[White \"" + white +
            "\"]\n[Black \"B\"]\n[Result \"*\"]\n\n1. e4 *\n\n";
  TGameList list;
  ReadOptions options;
  options.sourcePath = std::filesystem::path(source);
  ReadGames(text, list.entries, options);
  for (size_t i = 0; i < list.entries.size(); ++i) list.displayOrder.push_back(int32_t(i));
  list.highlight.assign(list.entries.size(), false);
  return list;
}

std::vector<std::string> Whites(const TGameList& list) {
  std::vector<std::string> names;
  for (int32_t index : list.displayOrder) names.emplace_back(list.entries[size_t(index)].tags[WhiteSlot].value);
  return names;
}

std::vector<int32_t> HighlightedRows(const TGameList& list) {
  std::vector<int32_t> rows;
  for (size_t r = 0; r < list.displayOrder.size(); ++r)
    if (list.highlight[size_t(list.displayOrder[r])]) rows.push_back(int32_t(r));
  return rows;
}

TEST(ListSelection, ShiftClickHighlightsTheRangeFromTheCurrentRow) {
  TGameList list = ListOf({"a", "b", "c", "d", "e", "f", "g"});
  list.currentRow = 5;
  EXPECT_TRUE(ClickRow(list, 2, true, false));
  EXPECT_EQ(HighlightedRows(list), (std::vector<int32_t>{2, 3, 4, 5}));
  EXPECT_EQ(list.currentRow, 2);
  // Past the last row: the range stops at it.
  ClickRow(list, 40, true, false);
  EXPECT_EQ(HighlightedRows(list), (std::vector<int32_t>{2, 3, 4, 5, 6}));
  // From no current row: the range starts at row 0.
  list.currentRow = -1;
  ClickRow(list, 1, true, false);
  EXPECT_EQ(HighlightedRows(list), (std::vector<int32_t>{0, 1}));
}

TEST(ListSelection, CtrlClickTogglesOneRowAndKeepsTheOthers) {
  TGameList list = ListOf({"a", "b", "c", "d"});
  ClickRow(list, 1, false, false);
  EXPECT_TRUE(ClickRow(list, 3, false, true));
  EXPECT_EQ(HighlightedRows(list), (std::vector<int32_t>{1, 3}));
  ClickRow(list, 1, false, true);
  EXPECT_EQ(HighlightedRows(list), (std::vector<int32_t>{3}));
  // A plain click keeps one row; the same click again changes nothing.
  EXPECT_TRUE(ClickRow(list, 0, false, false));
  EXPECT_FALSE(ClickRow(list, 0, false, false));
  // Below the last row: nothing is highlighted, and the row is remembered as clicked.
  EXPECT_TRUE(ClickRow(list, 9, false, false));
  EXPECT_TRUE(HighlightedRows(list).empty());
  EXPECT_EQ(list.currentRow, 9);
}

TEST(ListSelection, HighlightsFollowTheirEntriesThroughASort) {
  TGameList list = ListOf({"d", "c", "b", "a"});
  ClickRow(list, 0, false, false);  // "d"
  SortByColumn(list, WhiteColumn);
  EXPECT_EQ(HighlightedRows(list), (std::vector<int32_t>{3}));
  EXPECT_EQ(list.currentRow, 3);
}

TEST(ListKeys, UpAndDownMoveTheCurrentRowAndHighlightOnlyIt) {
  TGameList list = ListOf({"a", "b", "c"});
  EXPECT_FALSE(MoveUp(list));  // no current row: nothing
  EXPECT_TRUE(HighlightedRows(list).empty());
  EXPECT_TRUE(MoveDown(list));  // from -1 to 0
  EXPECT_EQ(list.currentRow, 0);
  EXPECT_TRUE(MoveDown(list));
  EXPECT_TRUE(MoveDown(list));
  EXPECT_FALSE(MoveDown(list));  // at the last row it stays, highlighted alone
  EXPECT_EQ(list.currentRow, 2);
  EXPECT_EQ(HighlightedRows(list), (std::vector<int32_t>{2}));
  ClickRow(list, 1, true, false);
  EXPECT_TRUE(MoveUp(list));
  EXPECT_EQ(list.currentRow, 0);
  EXPECT_EQ(HighlightedRows(list), (std::vector<int32_t>{0}));
  EXPECT_FALSE(MoveUp(list));
  EXPECT_EQ(HighlightedRows(list), (std::vector<int32_t>{0}));
  MoveEnd(list);
  EXPECT_EQ(list.currentRow, 2);
  MoveHome(list);
  EXPECT_EQ(list.currentRow, 0);
}

TEST(ListSort, TiesKeepLoadOrderAndEmptyKeysComeFirst) {
  TGameList list = ListOf({"b", "a", "", "b", "a"});
  SortByColumn(list, WhiteColumn);
  EXPECT_EQ(Whites(list), (std::vector<std::string>{"", "a", "a", "b", "b"}));
  EXPECT_EQ(list.displayOrder, (TIndexArray{2, 1, 4, 0, 3}));
  // Column 1 is entry order again, the current row going with its entry.
  list.currentRow = 0;  // entry 2
  SortByColumn(list, NumberColumn);
  EXPECT_EQ(list.displayOrder, (TIndexArray{0, 1, 2, 3, 4}));
  EXPECT_EQ(list.currentRow, 2);
}

TEST(ListSort, TheSameColumnTwiceDoesNothingUntilAMergeAppendsRows) {
  TGameList list = ListOf({"b", "a"});
  SortByColumn(list, WhiteColumn);
  EXPECT_EQ(Whites(list), (std::vector<std::string>{"a", "b"}));
  // Rows put out of order by hand stay so: sorting again by the same column does nothing.
  std::swap(list.displayOrder[0], list.displayOrder[1]);
  SortByColumn(list, WhiteColumn);
  EXPECT_EQ(Whites(list), (std::vector<std::string>{"b", "a"}));
  // A merge into the list appends at the end and lets the column sort again.
  TGameList more = ListOf({"0"}, "more.pgn");
  JobCounts counts;
  MergeNewGames(list, more.entries, false, counts);
  EXPECT_EQ(list.sortColumn, SourceColumn);
  EXPECT_EQ(Whites(list), (std::vector<std::string>{"b", "a", "0"}));
  SortByColumn(list, WhiteColumn);
  EXPECT_EQ(Whites(list), (std::vector<std::string>{"0", "a", "b"}));
}

#ifndef _WIN32  // the bytes below are one letter as UTF-8 and as Latin-1, which Windows does not read
TEST(ListSort, ValuesSpelledInDifferentBytesButTheSameTextAreTies) {
  // "\xE9" (one byte, not UTF-8) and "\xC3\xA9" (UTF-8) are both the letter e-acute as text: they
  // tie, and the tie goes by entry order, whatever their bytes say.
  TGameList list = ListOf({"\xC3\xA9", "z", "\xE9", "a", "\xC3\xA9"});
  SortByColumn(list, WhiteColumn);
  EXPECT_EQ(list.displayOrder, (TIndexArray{3, 1, 0, 2, 4}));
}
#endif

TEST(ListSort, BySourceThenPositionEvenAcrossCopiesOfOneName) {
  // Two reads of the same file name make two copies of the name: they are one key.
  TGameList list = ListOf({"b1", "b2"}, "b.pgn");
  TGameList other = ListOf({"a1"}, "a.pgn");
  TGameList again = ListOf({"b0"}, "b.pgn");
  again.entries[0].sourcePosition = 1;
  list.entries[0].sourcePosition = 5;
  list.entries[1].sourcePosition = 9;
  for (TGame& entry : other.entries) list.entries.push_back(std::move(entry));
  for (TGame& entry : again.entries) list.entries.push_back(std::move(entry));
  list.displayOrder = {0, 1, 2, 3};
  SortByColumn(list, SourceColumn);
  EXPECT_EQ(Whites(list), (std::vector<std::string>{"a1", "b0", "b1", "b2"}));
}

TEST(ListSort, ByBlackResultTournamentAndDate) {
  TGameList list = ListOf({"x", "y"});
  list.entries[0].tags.SetValue(DateSlot, "2001.01.01");
  list.entries[1].tags.SetValue(DateSlot, "1999.12.31");
  list.entries[0].tags.SetValue(EventSlot, "Zurich");
  list.entries[1].tags.SetValue(EventSlot, "Amsterdam");
  SortByColumn(list, DateColumn);
  EXPECT_EQ(list.displayOrder, (TIndexArray{1, 0}));
  SortByColumn(list, NumberColumn);
  SortByColumn(list, TournamentColumn);
  EXPECT_EQ(list.displayOrder, (TIndexArray{1, 0}));
  EXPECT_EQ(ColumnKey(list.entries[0], 3), u"B");
  EXPECT_EQ(ColumnKey(list.entries[0], 4), u"*");
  EXPECT_EQ(ColumnKey(list.entries[0], 7), u"games.pgn");
  EXPECT_EQ(ColumnKey(list.entries[0], 1), u"");
}

TEST(ListDelete, HighlightedEntriesGoAndUnloadedOnesThatWereNotHighlightedStay) {
  TGameList list = ListOf({"a", "b", "c", "d"});
  // "b" was listed but not loaded yet: it has its source and no game.
  list.entries[1].game.reset();
  ClickRow(list, 0, false, false);
  ClickRow(list, 2, false, true);
  DeleteHighlighted(list);
  EXPECT_EQ(Whites(list), (std::vector<std::string>{"b", "d"}));
  EXPECT_TRUE(HighlightedRows(list).empty());
  ASSERT_EQ(list.highlight.size(), 2u);
}

TEST(ListDelete, DeleteAllEmptiesTheListAndKeepsTheCurrentRow) {
  TGameList list = ListOf({"a", "b"});
  list.entries[0].game.reset();  // not loaded: nothing to release
  list.currentRow = 1;
  DeleteAll(list);
  EXPECT_TRUE(list.entries.empty());
  EXPECT_TRUE(list.displayOrder.empty());
  EXPECT_TRUE(list.highlight.empty());
  EXPECT_EQ(list.currentRow, 1);
}

TEST(ListScrolling, TheBarShowsOnlyWhenRowsDoNotFitOnTheListPage) {
  const ListScroll scroll{20, 200, 0};
  EXPECT_FALSE(NeedsScrollBar(10, scroll, true));
  EXPECT_TRUE(NeedsScrollBar(11, scroll, true));
  EXPECT_FALSE(NeedsScrollBar(11, scroll, false));
  EXPECT_EQ(LastScrollPosition(11, scroll), 21);
  EXPECT_EQ(LastScrollPosition(3, scroll), 0);
  EXPECT_EQ(LastScrollPosition(400000, ListScroll{21, 300, 0}), 400000 * 21 - 299);
}

TEST(ListScrolling, ARowComesIntoViewByTheLeastScroll) {
  EXPECT_EQ(ScrollRowIntoView(ListScroll{20, 100, 0}, 2), 0);
  EXPECT_EQ(ScrollRowIntoView(ListScroll{20, 100, 0}, 7), 60);  // its bottom at the list's bottom
  EXPECT_EQ(ScrollRowIntoView(ListScroll{20, 100, 300}, 3), 60);
  EXPECT_EQ(ScrollRowIntoView(ListScroll{20, 100, 300}, -1), 300);
  // A list lower than a row shows the row's top.
  EXPECT_EQ(ScrollRowIntoView(ListScroll{20, 10, 0}, 1), 30);
}

TEST(ListScrolling, RequestsLinesPagesThumbAndWheel) {
  const ListScroll scroll{20, 300, 1000};
  EXPECT_EQ(RequestedScrollPosition(ScrollRequest::LineUp, scroll, 13, 0.9, 0), 986);
  EXPECT_EQ(RequestedScrollPosition(ScrollRequest::LineDown, scroll, 13, 0.9, 0), 1014);
  EXPECT_EQ(RequestedScrollPosition(ScrollRequest::PageUp, scroll, 13, 0.9, 0), 730);
  EXPECT_EQ(RequestedScrollPosition(ScrollRequest::PageDown, scroll, 13, 0.1, 0), 1030);
  EXPECT_EQ(RequestedScrollPosition(ScrollRequest::Thumb, scroll, 13, 0.9, 77), 77);
  EXPECT_EQ(RequestedScrollPosition(ScrollRequest::Other, scroll, 13, 0.9, 77), 1000);
  EXPECT_EQ(WheelNotches(120), 1);
  EXPECT_EQ(WheelNotches(-240), -2);
  EXPECT_EQ(WheelNotches(59), 0);
  EXPECT_EQ(WheelNotches(60), 1);  // half a notch rounds away from zero
  EXPECT_EQ(RowAtY(ListScroll{20, 300, 50}, 100, 100), 2);
  EXPECT_EQ(RowAtY(ListScroll{20, 300, 0}, 100, 99), -1);
}

}  // namespace
