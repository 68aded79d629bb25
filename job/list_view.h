// The panel list's behaviour over the game list: selection by mouse and keys, scrolling, sorting
// by column and deleting. Rows are display positions; highlight flags belong to entries.
#pragma once

#include <cstdint>
#include <string>

#include "job/game_list.h"

// The columns the header shows (ListColumn, NumberColumn to DateColumn).
constexpr int ColumnCount = DateColumn;

// The text a column sorts by: a tag value as text of the system's code page, or the source path.
std::u16string ColumnKey(const TGame& entry, int column);

// Sorts the display order by a column, the current row staying with its entry. Column 1 restores
// entry order; another column sorts only when it is not the current sort column. Ties go by
// source position (SourceColumn) and then by entry index, so the order is total.
void SortByColumn(TGameList& list, int column);

// A click on row `row` with Shift or Ctrl held; true when any highlight changed.
bool ClickRow(TGameList& list, int32_t row, bool shift, bool ctrl);

// Up and Down: the current row moves by one and is the only one highlighted. True when it moved
// (the list then scrolls it into view).
bool MoveUp(TGameList& list);
bool MoveDown(TGameList& list);
// Home and End: the first or the last row becomes current.
void MoveHome(TGameList& list);
void MoveEnd(TGameList& list);

// Releases the highlighted entries' games and removes those entries. Entries not loaded yet that
// were not highlighted stay: they are games the user has not let go.
void DeleteHighlighted(TGameList& list);
// Releases every game and empties the list; the current row keeps its value.
void DeleteAll(TGameList& list);

// Scrolling, in pixels of the list area.
struct ListScroll {
  int32_t rowHeight = 1;
  int32_t visibleHeight = 0;
  int32_t position = 0;
};

// Whether the list needs its scroll bar: its rows do not fit and the list is the page shown.
bool NeedsScrollBar(int64_t rows, const ListScroll& scroll, bool listShown);
// The largest position the bar allows: its range is 0 to rows x row height, its page the visible
// height.
int32_t LastScrollPosition(int64_t rows, const ListScroll& scroll);
// The position that brings a row into view, scrolling as little as possible.
int32_t ScrollRowIntoView(const ListScroll& scroll, int32_t row);

enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, Thumb, Other };
// The position a scroll bar request asks for (before the bar clamps it): a line is the text
// height + 1, a page the visible height x the host's scroll fraction, a thumb its track position.
int32_t RequestedScrollPosition(ScrollRequest request, const ListScroll& scroll, int32_t textHeight, double fraction,
                                int32_t track);
// Wheel notches in a wheel delta, rounded to the nearest whole notch.
int32_t WheelNotches(int32_t delta);
// The row under a point of the list area: (y + scroll position - list top) / row height.
int32_t RowAtY(const ListScroll& scroll, int32_t listTop, int32_t y);
