// The panel's window procedure and paint procedure, which the host's panel frame calls.
#pragma once

#include "plugin/host_api.h"

HostResult __stdcall PanelWindowProc(HostWindow window, uint32_t message, HostWParam wParam, HostLParam lParam);
void __stdcall PanelPaint(HostWindow window, HostDeviceContext dc);

// Repaints the panel when it is visible.
void RefreshPanel();
// After every change of the list: the scroll bar placed, shown or hidden with its range, the
// current row scrolled into view, the panel repainted.
void RefreshList();
// Brings the panel's option controls in line with the processing options.
void RefreshOptionControls();
