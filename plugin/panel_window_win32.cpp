#include "plugin/panel_window_win32.h"

#include <windows.h>

#include "plugin/plugin_menus_win32.h"
#include "plugin/plugin_state_win32.h"

namespace {

HostResult Default(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Plugin.host.defaultWindowProc) return Plugin.host.defaultWindowProc(window, message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

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

void OnRightButtonUp(HWND window, LPARAM lParam) {
  POINT at{short(LOWORD(lParam)), short(HIWORD(lParam))};
  ClientToScreen(window, &at);
  PopUpPluginMenu(at);
}

}  // namespace

HostResult __stdcall PanelWindowProc(HostWindow handle, uint32_t message, HostWParam wParam, HostLParam lParam) {
  HWND window = static_cast<HWND>(handle);
  switch (message) {
    case WM_CREATE:
      return Default(window, message, wParam, lParam);
    case WM_SIZE:
      return Default(window, message, wParam, lParam);
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) Plugin.shiftHeld = Plugin.ctrlHeld = false;
      return Default(window, message, wParam, lParam);
    case WM_SHOWWINDOW:
      if (wParam) OnShown();
      return Default(window, message, wParam, lParam);
    case WM_KEYDOWN:
      RememberModifier(wParam, true);
      return 0;
    case WM_KEYUP:
      RememberModifier(wParam, false);
      return 0;
    case WM_VSCROLL:
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
      if (MouseSuspended()) return Default(window, message, wParam, lParam);
      if (message == WM_LBUTTONDOWN) SetFocus(window);
      return 0;
    case WM_RBUTTONUP:
      OnRightButtonUp(window, lParam);
      return 0;
    case WM_MOUSEWHEEL:
      if (Plugin.ctrlHeld) return Default(window, message, wParam, lParam);
      return 0;
    default:
      return Default(window, message, wParam, lParam);
  }
}

void __stdcall PanelPaint(HostWindow, HostDeviceContext) {}

void RefreshPanel() {
  if (Plugin.panel && IsWindowVisible(Plugin.panel))
    RedrawWindow(Plugin.panel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void RefreshOptionControls() { RefreshPanel(); }
