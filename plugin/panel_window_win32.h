// The panel's window procedure and paint procedure, which the host's panel frame calls.
#pragma once

#include "plugin/host_api.h"

HostResult __stdcall PanelWindowProc(HostWindow window, uint32_t message, HostWParam wParam, HostLParam lParam);
void __stdcall PanelPaint(HostWindow window, HostDeviceContext dc);
