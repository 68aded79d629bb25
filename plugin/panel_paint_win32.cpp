// Painting the panel: the tab strip, the bottom bar's label and frame, and the "Games" list.
#include <windows.h>

#include <string>

#include "job/game_list.h"
#include "plugin/option_pages_win32.h"
#include "plugin/panel_view_win32.h"
#include "plugin/plugin_state_win32.h"

namespace {

constexpr COLORREF HoverColour = RGB(0, 0, 128);
const wchar_t* const TabCaptions[PageCount] = {L"Games", L"Split", L"Filters", L"Other"};
const wchar_t* const HeaderCaptions[ColumnCount] = {L"", L"White", L"Black", L"Result", L"Tournament", L"Date"};
// The tags shown in the columns after the row number: White, Black, Result, Event and Date.
constexpr TagSlot ColumnTags[ColumnCount - 1] = {WhiteSlot, BlackSlot, ResultSlot, EventSlot, DateSlot};

COLORREF HostColour(const uint32_t* value, COLORREF fallback) { return value ? COLORREF(*value) : fallback; }

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width = 1) {
  HPEN pen = CreatePen(PS_SOLID, width, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void Frame(HDC dc, RECT r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FrameRect(dc, &r, brush);
  DeleteObject(brush);
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

RECT ToRect(const PanelRectangle& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// A tab or a header: its picture, a line at its left edge, its caption centred and clipped,
// "» " before it when active, underlined when hovered.
void PaintCaptionCell(HDC dc, RECT cell, const wchar_t* caption, bool active, bool hovered) {
  TPanelView& v = Plugin.view;
  (active ? v.activeTab : v.tab).Draw(dc, cell);
  Line(dc, cell.left, cell.top, cell.left, cell.bottom, LineColour());
  std::wstring text = caption;
  if (active) text = L"\u00BB " + text;  // the number column too, whose caption is empty
  LOGFONTW font{};
  GetObjectW(v.captionFont, sizeof font, &font);
  font.lfUnderline = hovered ? TRUE : FALSE;
  HFONT drawn = CreateFontIndirectW(&font);
  HGDIOBJ old = SelectObject(dc, drawn);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, hovered ? HoverColour : RGB(0, 0, 0));
  DrawTextW(dc, text.c_str(), -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(drawn);
}

void PaintStrip(HWND panel, HDC dc) {
  for (int i = 0; i < PageCount; ++i) PaintTab(panel, dc, i);
  const PanelLayout& l = Plugin.view.layout;
  Line(dc, l.stripRight, l.stripTop, l.stripRight, l.stripBottom, LineColour());
}

void PaintBottomBar(HDC dc) {
  const TPanelView& v = Plugin.view;
  HGDIOBJ old = SelectObject(dc, v.controlFont);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  const PanelRectangle& field = v.layout.outputField;
  const int y = field.top + (field.Height() - v.saveToHeight) / 2;
  TextOutW(dc, v.layout.saveToX, y, L"Save to", 7);
  SelectObject(dc, old);
  Frame(dc, RECT{field.left - 1, field.top - 1, field.right + 1, field.bottom + 1}, LineColour());
}

void PaintHeaders(HWND panel, HDC dc) {
  for (int k = 1; k <= ColumnCount; ++k) PaintHeader(panel, dc, k);
  const PanelLayout& l = Plugin.view.layout;
  Line(dc, l.columnEdges[0], l.headerBottom, l.columnEdges[6], l.headerBottom,
       HostColour(Plugin.host.headerLine, RGB(128, 128, 128)), 2);
}

}  // namespace

COLORREF LineColour() { return Plugin.lineColour; }

void PaintTab(HWND, HDC dc, int tab) {
  if (tab < 0 || tab >= PageCount) return;
  const TPanelView& v = Plugin.view;
  PaintCaptionCell(dc, ToRect(v.layout.tabs[size_t(tab)]), TabCaptions[tab], tab == v.activePage, tab == v.hoveredTab);
}

void PaintHeader(HWND, HDC dc, int column) {
  if (column < 1 || column > ColumnCount) return;
  const PanelLayout& l = Plugin.view.layout;
  const RECT cell{l.columnEdges[size_t(column) - 1], l.headerTop, l.columnEdges[size_t(column)], l.headerBottom};
  PaintCaptionCell(dc, cell, HeaderCaptions[column - 1], Plugin.session.GameList.sortColumn == column,
                   Plugin.view.hoveredHeader == column);
}

void PaintListArea(HWND, HDC dc) {
  const TPanelView& v = Plugin.view;
  const PanelLayout& l = v.layout;
  const ListScroll& s = v.scroll;
  const int left = l.columnEdges[0], right = l.columnEdges[6];
  const COLORREF odd = HostColour(Plugin.host.oddRows, RGB(244, 244, 244));
  const COLORREF even = HostColour(Plugin.host.evenRows, RGB(255, 255, 255));
  const COLORREF fill = HostColour(Plugin.host.highlightFill, RGB(0, 0, 128));
  const COLORREF highlightText = HostColour(Plugin.host.highlightText, RGB(255, 255, 255));
  const int rowHeight = s.rowHeight > 0 ? s.rowHeight : 1;
  const int fontHeight = v.metrics.fontHeight;

  const HRGN clip = CreateRectRgn(left, l.rowsTop, right, l.rowsBottom);
  SelectClipRgn(dc, clip);
  SetBkMode(dc, TRANSPARENT);
  const int32_t rows = int32_t(Plugin.session.GameList.displayOrder.size());
  int32_t row = s.position / rowHeight;
  int y = l.rowsTop - s.position % rowHeight;
  for (; row < rows && y < l.rowsBottom; ++row, y += rowHeight) {
    const int32_t index = Plugin.session.GameList.displayOrder[size_t(row)];
    const bool highlighted =
        size_t(index) < Plugin.session.GameList.highlight.size() && Plugin.session.GameList.highlight[size_t(index)];
    Fill(dc, RECT{left, y, right, y + rowHeight}, highlighted ? fill : (row % 2 ? odd : even));
    SetTextColor(dc, highlighted ? highlightText : RGB(0, 0, 0));
    const TGame& entry = Plugin.session.GameList.entries[size_t(index)];
    for (int k = 0; k < ColumnCount; ++k) {
      RECT cell{l.columnEdges[size_t(k)] + 3, y, l.columnEdges[size_t(k) + 1] - 3, y + rowHeight};
      std::string text;
      if (k == 0) {
        text = std::to_string(index + 1) + ".";
        SelectObject(dc, v.captionFont);
      } else {
        const TagSlot slot = ColumnTags[k - 1];
        if (slot < entry.tags.size()) text = entry.tags[slot].value;
        SelectObject(dc, v.controlFont);
      }
      ExtTextOutA(dc, l.columnEdges[size_t(k)] + 5, y + fontHeight / 4, ETO_CLIPPED, &cell, text.data(),
                  UINT(text.size()), nullptr);
    }
    Line(dc, left, y + rowHeight - 1, right, y + rowHeight - 1, LineColour());
  }
  if (y < l.rowsBottom) Fill(dc, RECT{left, y, right, l.rowsBottom}, odd);
  SelectClipRgn(dc, nullptr);
  DeleteObject(clip);

  for (int k = 1; k < ColumnCount; ++k)
    Line(dc, l.columnEdges[size_t(k)], l.headerTop, l.columnEdges[size_t(k)], l.rowsBottom, LineColour());
  Frame(dc, RECT{left, l.headerTop, right + 1, l.rowsBottom + 1}, LineColour());
  if (v.scrollBar && v.scrollBarShown) RedrawWindow(v.scrollBar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void RepaintListArea() {
  HWND panel = Plugin.panel;
  if (!panel || !IsWindowVisible(panel) || Plugin.view.activePage != GamesPage) return;
  HDC dc = GetDC(panel);
  PaintListArea(panel, dc);
  ReleaseDC(panel, dc);
}

void PaintPanelWindow(HWND panel, HDC dc) {
  PaintStrip(panel, dc);
  PaintBottomBar(dc);
  if (Plugin.view.activePage == GamesPage) {
    PaintHeaders(panel, dc);
    PaintListArea(panel, dc);
  } else {
    PaintOptionPage(dc, Plugin.view.activePage);
  }
}
