#include "job/list_view.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>

#include "io/codepage.h"
#include "services/host.h"

namespace {

int32_t RowCount(const TGameList& list) { return int32_t(list.displayOrder.size()); }

// The highlight flag of the entry shown at a row.
std::vector<bool>::reference FlagAt(TGameList& list, int32_t row) {
  const size_t index = size_t(list.displayOrder[size_t(row)]);
  if (list.highlight.size() < list.entries.size()) list.highlight.resize(list.entries.size(), false);
  return list.highlight[index];
}

void ClearHighlights(TGameList& list) { list.highlight.assign(list.entries.size(), false); }

// Highlights one row as the only one.
void HighlightOnly(TGameList& list, int32_t row) {
  ClearHighlights(list);
  if (row >= 0 && row < RowCount(list)) FlagAt(list, row) = true;
}

}  // namespace

std::u16string ColumnKey(const TGame& entry, int column) {
  static constexpr TagSlot slots[] = {WhiteSlot, BlackSlot, ResultSlot, EventSlot, DateSlot};
  if (column == SourceColumn) return entry.sourcePath.get().u16string();
  if (column < WhiteColumn || column > DateColumn) return {};
  const TagSlot slot = slots[column - WhiteColumn];
  return slot < entry.tags.size() ? BytesToUtf16(entry.tags[slot].value) : std::u16string();
}

namespace {

// Each entry's rank in a column's order: equal keys share a rank, an empty key ranks first. Keys
// are made once per distinct value (a list repeats its players, events and files many times),
// so a sort of hundreds of thousands of rows compares integers instead of texts.
template <typename Identity, typename KeyOf>
std::vector<uint32_t> ColumnRanks(const TGameList& list, Identity identityOf, KeyOf keyOf) {
  using Id = decltype(identityOf(list.entries[0]));
  std::unordered_map<Id, uint32_t> idOf;
  std::vector<size_t> firstEntry;  // an entry carrying each distinct value
  std::vector<uint32_t> entryIds(list.entries.size());
  for (int32_t index : list.displayOrder) {
    const auto [place, added] = idOf.try_emplace(identityOf(list.entries[size_t(index)]), uint32_t(firstEntry.size()));
    if (added) firstEntry.push_back(size_t(index));
    entryIds[size_t(index)] = place->second;
  }
  std::vector<std::u16string> keys(firstEntry.size());
  for (size_t id = 0; id < keys.size(); ++id) keys[id] = keyOf(list.entries[firstEntry[id]]);
  std::vector<uint32_t> byKey(keys.size());
  for (uint32_t id = 0; id < byKey.size(); ++id) byKey[id] = id;
  std::sort(byKey.begin(), byKey.end(), [&](uint32_t a, uint32_t b) {
    if (keys[a].empty() != keys[b].empty()) return keys[a].empty();
    return keys[a] < keys[b];
  });
  std::vector<uint32_t> rankOfId(keys.size());
  uint32_t rank = 0;
  for (size_t i = 0; i < byKey.size(); ++i) {
    if (i > 0 && keys[byKey[i]] != keys[byKey[i - 1]]) ++rank;
    rankOfId[byKey[i]] = rank;
  }
  for (uint32_t& id : entryIds) id = id < rankOfId.size() ? rankOfId[id] : 0;
  return entryIds;
}

}  // namespace

void SortByColumn(TGameList& list, int column) {
  const int32_t rows = RowCount(list);
  const bool validRow = list.currentRow >= 0 && list.currentRow < rows;
  const int32_t currentEntry = validRow ? list.displayOrder[size_t(list.currentRow)] : -1;
  if (column == NumberColumn) {
    list.displayOrder.resize(list.entries.size());
    for (size_t i = 0; i < list.entries.size(); ++i) list.displayOrder[i] = int32_t(i);
    if (validRow) list.currentRow = currentEntry;
    list.sortColumn = NumberColumn;
    return;
  }
  if (column < WhiteColumn || column > SourceColumn || column == list.sortColumn) return;
  const auto keyOf = [column](const TGame& entry) { return ColumnKey(entry, column); };
  std::vector<uint32_t> ranks;
  if (column == SourceColumn) {
    // The entries of one file share one copy of its name: the copy's address identifies it.
    ranks = ColumnRanks(
        list, [](const TGame& entry) { return &entry.sourcePath.get(); }, keyOf);
  } else {
    static constexpr TagSlot slots[] = {WhiteSlot, BlackSlot, ResultSlot, EventSlot, DateSlot};
    const TagSlot slot = slots[column - WhiteColumn];
    ranks = ColumnRanks(
        list,
        [slot](const TGame& entry) {
          return slot < entry.tags.size() ? std::string_view(entry.tags[slot].value) : std::string_view();
        },
        keyOf);
  }
  // Rank, then source position (merges only), then entry index: plain numbers side by side, so
  // that the sort moves them and reads nothing else.
  struct Place {
    uint32_t rank;
    int32_t index;
    int64_t position;
  };
  std::vector<Place> places;
  places.reserve(list.displayOrder.size());
  for (int32_t index : list.displayOrder)
    places.push_back({ranks[size_t(index)], index,
                      column == SourceColumn ? list.entries[size_t(index)].sourcePosition : int64_t(0)});
  std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
    if (a.rank != b.rank) return a.rank < b.rank;
    if (a.position != b.position) return a.position < b.position;
    return a.index < b.index;
  });
  for (size_t row = 0; row < places.size(); ++row) list.displayOrder[row] = places[row].index;
  if (validRow)
    for (int32_t row = 0; row < rows; ++row)
      if (list.displayOrder[size_t(row)] == currentEntry) list.currentRow = row;
  list.sortColumn = column;
}

bool ClickRow(TGameList& list, int32_t row, bool shift, bool ctrl) {
  const std::vector<bool> before = list.highlight;
  if (!ctrl) ClearHighlights(list);
  const int32_t rows = RowCount(list);
  if (shift) {
    const int32_t low = std::max(std::min(list.currentRow, row), 0);
    const int32_t high = std::min(std::max(list.currentRow, row), rows - 1);
    for (int32_t r = low; r <= high; ++r) FlagAt(list, r) = true;
  } else if (row >= 0 && row < rows) {
    auto flag = FlagAt(list, row);
    flag = ctrl ? !flag : true;
  }
  list.currentRow = row;
  return list.highlight != before;
}

bool MoveUp(TGameList& list) {
  ClearHighlights(list);
  if (list.currentRow > 0) {
    --list.currentRow;
    HighlightOnly(list, list.currentRow);
    return true;
  }
  if (list.currentRow == 0) HighlightOnly(list, 0);
  return false;
}

bool MoveDown(TGameList& list) {
  ClearHighlights(list);
  const int32_t last = RowCount(list) - 1;
  if (list.currentRow < last) {
    ++list.currentRow;
    HighlightOnly(list, list.currentRow);
    return true;
  }
  if (list.currentRow == last) HighlightOnly(list, last);
  return false;
}

void MoveHome(TGameList& list) { list.currentRow = 0; }

void MoveEnd(TGameList& list) { list.currentRow = RowCount(list) - 1; }

void DeleteHighlighted(TGameList& list) {
  {
    HostLockGuard lock;
    list.highlight.resize(list.entries.size(), false);
    list.dropped.resize(list.entries.size(), false);
    for (size_t i = 0; i < list.entries.size(); ++i) {
      if (!list.highlight[i]) continue;
      GiveBack(list.memory, list.entries[i]);
      list.entries[i].game.reset();
      list.entries[i].packed = PackedGame();
      list.dropped[i] = true;
    }
  }
  CompactGameList(list);
  list.highlight.assign(list.entries.size(), false);
}

void DeleteAll(TGameList& list) {
  HostLockGuard lock;
  const int32_t row = list.currentRow;
  const int sortColumn = list.sortColumn;
  const int64_t limit = list.memory.limit;
  list = TGameList{};
  list.currentRow = row;
  list.sortColumn = sortColumn;
  list.memory.limit = limit;
}

bool NeedsScrollBar(int64_t rows, const ListScroll& scroll, bool listShown) {
  return listShown && int64_t(scroll.visibleHeight) < rows * scroll.rowHeight;
}

int32_t LastScrollPosition(int64_t rows, const ListScroll& scroll) {
  const int64_t last = rows * scroll.rowHeight - std::max(scroll.visibleHeight - 1, 0);
  return int32_t(std::clamp<int64_t>(last, 0, INT32_MAX));
}

int32_t ScrollRowIntoView(const ListScroll& scroll, int32_t row) {
  int64_t position = scroll.position;
  if (row < 0) return scroll.position;
  const int64_t top = int64_t(row) * scroll.rowHeight;
  if (top < position) position = top;
  if (position + scroll.visibleHeight < top + scroll.rowHeight)
    position = top + scroll.rowHeight - scroll.visibleHeight;
  return int32_t(std::clamp<int64_t>(position, INT32_MIN, INT32_MAX));
}

int32_t RequestedScrollPosition(ScrollRequest request, const ListScroll& scroll, int32_t textHeight, double fraction,
                                int32_t track) {
  const int32_t page = int32_t(std::lround(scroll.visibleHeight * fraction));
  switch (request) {
    case ScrollRequest::LineUp:
      return scroll.position - (textHeight + 1);
    case ScrollRequest::LineDown:
      return scroll.position + (textHeight + 1);
    case ScrollRequest::PageUp:
      return scroll.position - page;
    case ScrollRequest::PageDown:
      return scroll.position + page;
    case ScrollRequest::Thumb:
      return track;
    case ScrollRequest::Other:
      break;
  }
  return scroll.position;
}

int32_t WheelNotches(int32_t delta) { return int32_t(std::lround(delta / 120.0)); }

int32_t RowAtY(const ListScroll& scroll, int32_t listTop, int32_t y) {
  const int64_t offset = int64_t(y) + scroll.position - listTop;
  if (offset < 0) return -1;
  return int32_t(offset / std::max(scroll.rowHeight, 1));
}
