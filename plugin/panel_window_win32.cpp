#include "plugin/panel_window_win32.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "job/game_list.h"
#include "job/list_view.h"
#include "options/processing_options.h"
#include "plugin/check_list_win32.h"
#include "plugin/option_pages_win32.h"
#include "plugin/panel_controls_win32.h"
#include "plugin/panel_updates_win32.h"
#include "plugin/panel_view_win32.h"
#include "plugin/plugin_menus_win32.h"
#include "plugin/plugin_state_win32.h"

namespace {

bool MouseSuspended() {
  return THostServices::Read<uint8_t>(Plugin.host.mouseSuspended, 0) != 0 ||
         THostServices::Read<uint8_t>(Plugin.host.mouseSuspended2, 0) != 0;
}

// The first time the panel is shown the settings become worth saving at stop.
void OnShown() {
  Plugin.style = static_cast<const HostStyle*>(Plugin.host.Data(HostDataStyle));
  Plugin.lineColour = Plugin.host.lineColour ? COLORREF(*Plugin.host.lineColour) : RGB(190, 190, 190);
  Plugin.saveOnStop = true;
}

void RememberModifier(WPARAM key, bool down) {
  if (key == VK_SHIFT) Plugin.shiftHeld = down;
  if (key == VK_CONTROL) Plugin.ctrlHeld = down;
}

void RepaintTabs(HWND panel, int first, int second) {
  HDC dc = GetDC(panel);
  PaintTab(panel, dc, first);
  if (second != first) PaintTab(panel, dc, second);
  ReleaseDC(panel, dc);
}

void RepaintHeaders(HWND panel, int first, int second) {
  HDC dc = GetDC(panel);
  PaintHeader(panel, dc, first);
  if (second != first) PaintHeader(panel, dc, second);
  ReleaseDC(panel, dc);
}

// Hovering: only the tabs and headers whose state changed are repainted. The panel asks to hear
// when the pointer leaves it, onto a child control too, so that nothing stays drawn as hovered.
void OnMouseMove(HWND panel, int x, int y) {
  TPanelView& v = Plugin.view;
  TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, panel, 0};
  TrackMouseEvent(&leave);
  const int tab = TabAt(v.layout, x, y);
  if (tab != v.hoveredTab) {
    const int before = v.hoveredTab;
    v.hoveredTab = tab;
    RepaintTabs(panel, before, tab);
  }
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(tab != NoTab ? IDC_HAND : IDC_ARROW)));
  if (v.activePage != GamesPage) return;
  const int header = HeaderAt(v.layout, x, y);
  if (header != v.hoveredHeader) {
    const int before = v.hoveredHeader;
    v.hoveredHeader = header;
    RepaintHeaders(panel, before, header);
  }
}

// The pointer left the panel's own surface (for a control on it, or out of it): no tab and no
// header is hovered any more.
void OnMouseLeave(HWND panel) {
  TPanelView& v = Plugin.view;
  if (v.hoveredTab != NoTab) {
    const int before = v.hoveredTab;
    v.hoveredTab = NoTab;
    RepaintTabs(panel, before, NoTab);
  }
  if (v.hoveredHeader != 0) {
    const int before = v.hoveredHeader;
    v.hoveredHeader = 0;
    RepaintHeaders(panel, before, 0);
  }
}

void SwitchPage(HWND panel, int page) {
  TPanelView& v = Plugin.view;
  if (page == v.activePage) return;
  const bool listInvolved = page == GamesPage || v.activePage == GamesPage;
  ShowPageControls(v.activePage, false);
  v.activePage = page;
  ShowPageControls(page, true);
  if (listInvolved) RefreshList();
  InvalidateRect(panel, nullptr, TRUE);
}

void OnLeftButtonDown(HWND panel, int x, int y) {
  SetFocus(panel);
  TPanelView& v = Plugin.view;
  const int tab = TabAt(v.layout, x, y);
  if (tab != NoTab) {
    SwitchPage(panel, tab);
    return;
  }
  if (v.activePage != GamesPage) return;
  if (const int column = HeaderAt(v.layout, x, y)) {
    if (column != Plugin.session.GameList.sortColumn) {
      SortByColumn(Plugin.session.GameList, column);
      v.scroll.position = ScrollRowIntoView(v.scroll, Plugin.session.GameList.currentRow);
      RefreshList();
      InvalidateRect(panel, nullptr, FALSE);
    }
    return;
  }
  if (!OnListRows(v.layout, x, y)) return;
  const int32_t row = RowAtY(v.scroll, v.layout.rowsTop, y);
  if (ClickRow(Plugin.session.GameList, row, Plugin.shiftHeld, Plugin.ctrlHeld)) RepaintListArea();
}

// Sets the bar's position (the bar clamps it) and repaints the list when it moved.
void ScrollTo(int32_t position) {
  TPanelView& v = Plugin.view;
  if (!v.scrollBarShown) return;
  SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, position, 0};
  SetScrollInfo(v.scrollBar, SB_CTL, &info, TRUE);
  info.fMask = SIF_POS;
  GetScrollInfo(v.scrollBar, SB_CTL, &info);
  if (info.nPos != v.scroll.position) {
    v.scroll.position = info.nPos;
    RepaintListArea();
  }
}

void OnScroll(WPARAM wParam) {
  TPanelView& v = Plugin.view;
  if (!v.scrollBarShown) return;
  ScrollRequest request = ScrollRequest::Other;
  switch (LOWORD(wParam)) {
    case SB_LINEUP:
      request = ScrollRequest::LineUp;
      break;
    case SB_LINEDOWN:
      request = ScrollRequest::LineDown;
      break;
    case SB_PAGEUP:
      request = ScrollRequest::PageUp;
      break;
    case SB_PAGEDOWN:
      request = ScrollRequest::PageDown;
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      request = ScrollRequest::Thumb;
      break;
    default:
      break;
  }
  SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
  GetScrollInfo(v.scrollBar, SB_CTL, &info);
  const double fraction = THostServices::Read<double>(Plugin.host.wheelFraction, 0.9);
  ScrollTo(RequestedScrollPosition(request, v.scroll, Plugin.host.TextHeight(), fraction, info.nTrackPos));
}

void OnWheel(HWND panel, WPARAM wParam) {
  TPanelView& v = Plugin.view;
  const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
  const bool smooth = THostServices::Read<uint8_t>(Plugin.host.smoothWheel, 0) != 0;
  if (!smooth) {
    const int notches = WheelNotches(delta);
    for (int i = 0; i < std::abs(notches); ++i)
      SendMessageW(panel, WM_VSCROLL, notches > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
    return;
  }
  if (!v.scrollBarShown) return;
  const double fraction = THostServices::Read<double>(Plugin.host.wheelFraction, 0.9);
  const int32_t step = int32_t(std::lround(v.scroll.visibleHeight * fraction));
  ScrollTo(v.scroll.position - step * WheelNotches(delta));
}

void OnKeyDown(HWND panel, WPARAM key) {
  RememberModifier(key, true);
  switch (key) {
    case VK_PRIOR:
      SendMessageW(panel, WM_VSCROLL, SB_PAGEUP, 0);
      break;
    case VK_NEXT:
      SendMessageW(panel, WM_VSCROLL, SB_PAGEDOWN, 0);
      break;
    case VK_HOME:
      MoveHome(Plugin.session.GameList);
      RefreshList();
      break;
    case VK_END:
      MoveEnd(Plugin.session.GameList);
      RefreshList();
      break;
    case VK_UP:
      if (MoveUp(Plugin.session.GameList))
        RefreshList();
      else
        RepaintListArea();
      break;
    case VK_DOWN:
      if (MoveDown(Plugin.session.GameList))
        RefreshList();
      else
        RepaintListArea();
      break;
    case VK_DELETE:
      DeleteHighlightedGames();
      break;
    default:
      break;
  }
}

void OnRightButtonUp(HWND window, LPARAM lParam) {
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(window, &at);
  PopUpPluginMenu(at);
}

}  // namespace

HostResult __stdcall PanelWindowProc(HostWindow handle, uint32_t message, HostWParam wParam, HostLParam lParam) {
  HWND window = static_cast<HWND>(handle);
  switch (message) {
    case WM_CREATE: {
      const HostResult result = Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
      CreatePanelControls(window);
      return result;
    }
    case WM_SIZE: {
      const HostResult result = Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
      LayOutPanelWindow(window, LOWORD(lParam), HIWORD(lParam));
      return result;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) Plugin.shiftHeld = Plugin.ctrlHeld = false;
      return Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
      // Read-only fields look like the others: they hold values, they are not disabled.
      if (IsCheckListWindow(reinterpret_cast<HWND>(lParam))) {
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<HostResult>(GetSysColorBrush(COLOR_WINDOW));
      }
      return Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
    case WM_DESTROY:
      DestroyCheckLists();
      return Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
    case WM_SHOWWINDOW:
      if (wParam)
        OnShown();
      else
        CommitFocusedCheckList(window);  // a list left open would float over the host alone
      return Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
    case WM_KEYDOWN:
      OnKeyDown(window, wParam);
      return 0;
    case WM_KEYUP:
      RememberModifier(wParam, false);
      return 0;
    case WM_VSCROLL:
      OnScroll(wParam);
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
      if (MouseSuspended()) return Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
      if (message == WM_MOUSEMOVE)
        OnMouseMove(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      else
        OnLeftButtonDown(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSELEAVE:
      OnMouseLeave(window);
      return 0;
    case WM_SETCURSOR:
      // Asked first by a control on the panel that the pointer moved onto: the panel's own
      // surface is left at once (its leave message comes only with the system's hover timer).
      if (reinterpret_cast<HWND>(wParam) != window) OnMouseLeave(window);
      return Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
    case WM_RBUTTONUP:
      OnRightButtonUp(window, lParam);
      return 0;
    case WM_MOUSEWHEEL:
      if (Plugin.ctrlHeld) return Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
      OnWheel(window, wParam);
      return 0;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == Plugin.view.outputField && HIWORD(wParam) == EN_KILLFOCUS)
        CommitOutputField();
      return Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
    default:
      return Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
  }
}

void __stdcall PanelPaint(HostWindow handle, HostDeviceContext context) {
  HWND window = static_cast<HWND>(handle);
  HDC dc = static_cast<HDC>(context);
  if (Plugin.host.paintBackground) Plugin.host.paintBackground(window, dc);
  PaintPanelWindow(window, dc);
}
