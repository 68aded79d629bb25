// The host's buttons on the plug-in's windows, and sizing a host window around its content.
#pragma once

#include <windows.h>

#include "plugin/host_api.h"

// A host button: a "knop" window cut to a rounded rectangle (`region`, corners `corner` wide), its
// record copied from the host's template, with a click procedure; captioned by the host or not.
void MakeHostButton(HWND parent, HostButton& button, const wchar_t* text, int width, int height, RECT region,
                    int corner, HostClickFn onClick, bool captioned);

// The window's outer size for a client area of the given size, its frame and caption included.
SIZE FrameAround(HWND window, int clientWidth, int clientHeight);
