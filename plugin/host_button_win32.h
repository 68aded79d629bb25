// What the plug-in's host windows share: the host's buttons, sizing and placing a window around
// its content, and the text style they paint in.
#pragma once

#include <windows.h>

#include "plugin/host_api.h"

// A host button: a "knop" window cut to a rounded rectangle (`region`, corners `corner` wide), its
// record copied from the host's template, with a click procedure; captioned by the host or not.
void MakeHostButton(HWND parent, HostButton& button, const wchar_t* text, int width, int height, RECT region,
                    int corner, HostClickFn onClick, bool captioned);

// The window's outer size for a client area of the given size, its frame and caption included.
SIZE FrameAround(HWND window, int clientWidth, int clientHeight);

// Moves the window (outer size `width` x `height`) to the mouse: centred on it horizontally, its
// top at it or centred on it vertically, inside the desktop's work area.
void MoveToMouse(HWND window, int width, int height, bool centredVertically);

// Black text in the panel's control font on a transparent background while it lives.
class PanelTextStyle {
 public:
  explicit PanelTextStyle(HDC dc);
  ~PanelTextStyle();
  PanelTextStyle(const PanelTextStyle&) = delete;
  PanelTextStyle& operator=(const PanelTextStyle&) = delete;

 private:
  HDC dc;
  HGDIOBJ oldFont;
};
