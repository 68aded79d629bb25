#include "plugin/panel_updates_win32.h"

#include <windows.h>

#include <algorithm>

#include "job/game_list.h"
#include "job/list_view.h"
#include "plugin/option_pages_win32.h"
#include "plugin/panel_view_win32.h"
#include "plugin/plugin_state_win32.h"

void RefreshPanel() {
  if (Plugin.panel && IsWindowVisible(Plugin.panel))
    RedrawWindow(Plugin.panel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void RefreshList() {
  TPanelView& v = Plugin.view;
  if (!v.scrollBar) return;
  const PanelLayout& l = v.layout;
  RECT bar;
  GetWindowRect(v.scrollBar, &bar);
  const int barWidth = bar.right - bar.left;
  MoveWindow(v.scrollBar, l.columnEdges[6] - barWidth, l.rowsTop, barWidth, l.rowsBottom - l.rowsTop, TRUE);
  v.scroll.visibleHeight = l.rowsBottom - l.rowsTop;
  const int64_t rows = int64_t(Plugin.session.GameList.displayOrder.size());
  v.scrollBarShown = NeedsScrollBar(rows, v.scroll, v.activePage == GamesPage);
  if (!v.scrollBarShown) {
    v.scroll.position = 0;
    ShowWindow(v.scrollBar, SW_HIDE);
  } else {
    v.scroll.position = ScrollRowIntoView(v.scroll, Plugin.session.GameList.currentRow);
    v.scroll.position = std::clamp(v.scroll.position, 0, LastScrollPosition(rows, v.scroll));
    SCROLLINFO info{sizeof info,
                    SIF_RANGE | SIF_PAGE | SIF_POS,
                    0,
                    int(std::min<int64_t>(rows * v.scroll.rowHeight, INT32_MAX)),
                    UINT(v.scroll.visibleHeight),
                    v.scroll.position,
                    0};
    SetScrollInfo(v.scrollBar, SB_CTL, &info, TRUE);
    ShowWindow(v.scrollBar, SW_SHOW);
  }
  RefreshPanel();
}

void RefreshOptionControls() {
  RefreshOptionValues();
  RefreshPanel();
}

void DeleteHighlightedGames() {
  DeleteHighlighted(Plugin.session.GameList);
  RefreshList();
}

void DeleteAllGames() {
  DeleteAll(Plugin.session.GameList);
  RefreshList();
}
