// The panel's window state: its layout, page and hover state, fonts, pictures, the controls of
// the bottom bar and the list's scroll bar. One panel per plug-in.
#pragma once

#include <windows.h>

#include "job/list_view.h"
#include "panel/panel_layout.h"
#include "plugin/host_api.h"
#include "plugin/panel_images_win32.h"

struct TPanelView {
  PanelMetrics metrics;
  PanelLayout layout;
  int activePage = GamesPage;
  int hoveredTab = NoTab;
  int hoveredHeader = 0;  // 1..6, or 0

  HFONT controlFont = nullptr, captionFont = nullptr;
  int32_t saveToWidth = 0, saveToHeight = 0, rowPitch = 0;

  HWND scrollBar = nullptr, outputField = nullptr;
  HostButton startButton{}, menuButton{}, browseButton{};
  WNDPROC browseClassProc = nullptr;  // the host's procedure behind the "Browse..." button
  PanelPicture tab, activeTab;

  ListScroll scroll;  // row height, visible height and position of the list's rows
  bool scrollBarShown = false;
};

// Builds the panel's controls when the host creates its window.
void CreatePanelControls(HWND panel);
// Places everything for a new client size.
void LayOutPanelWindow(HWND panel, int32_t width, int32_t height);
// The whole panel, for the host's paint request.
void PaintPanelWindow(HWND panel, HDC dc);
// The list's rows, cells and lines at once (not the headers).
void PaintListArea(HWND panel, HDC dc);
void RepaintListArea();
// Tabs and headers whose hover state changed.
void PaintTab(HWND panel, HDC dc, int tab);
void PaintHeader(HWND panel, HDC dc, int column);
// The line colour of the panel's 1-pixel lines.
COLORREF LineColour();
