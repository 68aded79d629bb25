#include "plugin/host_button_win32.h"

#include "panel/dialog_layout.h"
#include "plugin/panel_view_win32.h"
#include "plugin/plugin_state_win32.h"

// A host button: a "knop" window cut to a rounded rectangle, its record copied from the host's
// template, with a click procedure.
void MakeHostButton(HWND parent, HostButton& button, const wchar_t* text, int width, int height, RECT region,
                    int corner, HostClickFn onClick, bool captioned) {
  if (const auto* style = static_cast<const HostStyle*>(Plugin.host.Data(HostDataStyle)))
    button = style->buttonTemplate;
  HWND window = CreateWindowExW(0, L"knop", text, WS_CHILD | WS_VISIBLE, 0, 0, width, height, parent, nullptr,
                                Plugin.instance, nullptr);
  button.window = window;
  button.onClick = onClick;
  if (!window) return;
  SetWindowRgn(window, CreateRoundRectRgn(region.left, region.top, region.right, region.bottom, corner, corner), TRUE);
  if (captioned && Plugin.host.makeCaptionButton)
    Plugin.host.makeCaptionButton(&button, reinterpret_cast<const uint16_t*>(text));
  else if (Plugin.host.makeButton)
    Plugin.host.makeButton(&button);
}

SIZE FrameAround(HWND window, int clientWidth, int clientHeight) {
  RECT outer{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&outer, DWORD(GetWindowLongW(window, GWL_STYLE)), FALSE,
                     DWORD(GetWindowLongW(window, GWL_EXSTYLE)));
  return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

void MoveToMouse(HWND window, int width, int height, bool centredVertically) {
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const ScreenPoint at = PlaceAtCursor(width, height, {cursor.x, cursor.y}, centredVertically, area.right, area.bottom);
  SetWindowPos(window, nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

PanelTextStyle::PanelTextStyle(HDC context) : dc(context), oldFont(SelectObject(context, Plugin.view.controlFont)) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
}

PanelTextStyle::~PanelTextStyle() { SelectObject(dc, oldFont); }
