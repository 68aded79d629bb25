#include "plugin/panel_placement_win32.h"

#include <windows.h>

#include "plugin/panel_updates_win32.h"
#include "plugin/panel_view_win32.h"
#include "plugin/plugin_menus_win32.h"
#include "plugin/plugin_state_win32.h"

// The panel is a child of the host's window, so its place is in that window's coordinates,
// which is also how it is moved back.
PanelRect PanelPlacement::PanelRectangle() {
  RECT r{};
  if (Plugin.panel) {
    GetWindowRect(Plugin.panel, &r);
    if (HWND parent = GetAncestor(Plugin.panel, GA_PARENT);
        parent && (GetWindowLongW(Plugin.panel, GWL_STYLE) & WS_CHILD))
      MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  return PanelRect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool PanelPlacement::PanelVisible() { return Plugin.panel && IsWindowVisible(Plugin.panel); }

WorkArea PanelPlacement::DesktopWorkArea() {
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return WorkArea{r.left, r.top, r.right, r.bottom};
}

void PanelPlacement::MovePanel(const PanelRect& rect) {
  if (Plugin.panel) MoveWindow(Plugin.panel, rect.left, rect.top, rect.width, rect.height, TRUE);
}

// The saved visibility is restored without asking whether the panel shows already.
void PanelPlacement::ShowPanel() {
  if (Plugin.showCommandKnown) SendMessageW(Plugin.host.mainWindow, WM_COMMAND, WPARAM(Plugin.showCommand), 0);
}

// The field shows the loaded path: "Start" commits the field's text, which must be that path.
void PanelPlacement::ShowOutputBase(const std::u16string& base) {
  if (Plugin.view.outputField) SetWindowTextW(Plugin.view.outputField, reinterpret_cast<const wchar_t*>(base.c_str()));
  RefreshPanel();
}

void PanelPlacement::CheckMakeDefault(bool checked) { CheckMakeDefaultItem(checked); }

void PanelPlacement::RefreshOptionControls() { ::RefreshOptionControls(); }
