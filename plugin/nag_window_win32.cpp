#include <windows.h>

#include "plugin/nag_window_win32.h"

#include <array>
#include <string>

#include "dialogs/nag_selection.h"
#include "options/processing_options.h"
#include "panel/dialog_layout.h"
#include "plugin/host_button_win32.h"
#include "plugin/panel_view_win32.h"
#include "plugin/plugin_state_win32.h"
#include "plugin/text_measure_win32.h"

namespace {

struct NagView {
  bool built = false;
  NagWindowLayout layout;
  std::array<HostCheckBox, NagBoxCount> boxes{};  // the host keeps pointers to them while they live
  HostButton save{}, cancel{};
};
NagView nag;

constexpr const char* Heading = "Leave the following NAGs:";

void EndWith(int32_t result) {
  if (Plugin.host.modalResult) *Plugin.host.modalResult = result;
}

void __stdcall OnSave() {
  std::array<bool, NagBoxCount> checked{};
  for (size_t i = 0; i < NagBoxCount; ++i) checked[i] = nag.boxes[i].state == 1;
  Plugin.session.ProcessingOptions.keptNags = NagsOfBoxes(checked);
  EndWith(1);
}

void __stdcall OnCancel() { EndWith(-1); }

void Build(HWND window) {
  {
    FontMeasure measure(window, Plugin.view.controlFont);
    nag.layout = LayOutNagWindow(Plugin.view.metrics, Plugin.view.rowPitch, measure);
  }
  const NagWindowLayout& l = nag.layout;
  const std::array<bool, NagBoxCount> states = NagBoxStates(Plugin.session.ProcessingOptions.keptNags);
  for (size_t i = 0; i < NagBoxCount; ++i) {
    HostCheckBox& box = nag.boxes[i];
    box = HostCheckBox{};
    box.state = states[i] ? 1 : 2;
    box.flag = 0;
    if (Plugin.host.checkBox) Plugin.host.checkBox(&box, l.boxes[i].left, l.boxes[i].top, window);
    // Named after its label, for whoever looks for it by name.
    const std::string label = NagGroups()[i].label;
    if (box.window) SetWindowTextW(static_cast<HWND>(box.window), std::wstring(label.begin(), label.end()).c_str());
  }
  const RECT region{-1, -1, 107, 30};
  MakeHostButton(window, nag.save, L"Save", 105, 28, region, 28, &OnSave, true);
  MakeHostButton(window, nag.cancel, L"Cancel", 105, 28, region, 28, &OnCancel, true);
  for (const auto& [button, place] : {std::pair{&nag.save, l.buttons.first}, {&nag.cancel, l.buttons.second}})
    if (button->window) MoveWindow(static_cast<HWND>(button->window), place.left, place.top, 105, 28, FALSE);
  // At the mouse, inside the work area; the host's frame comes around the content.
  const SIZE outer = FrameAround(window, l.width, l.height);
  MoveToMouse(window, outer.cx, outer.cy, false);
  nag.built = true;
}

HostResult __stdcall NagWindowProc(HostWindow handle, uint32_t message, HostWParam wParam, HostLParam lParam) {
  HWND window = static_cast<HWND>(handle);
  if (message == WM_SHOWWINDOW && wParam && !nag.built) Build(window);
  if (message == WM_KEYDOWN) {
    if (wParam == VK_ESCAPE) EndWith(-1);
    return 0;
  }
  return Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
}

void __stdcall NagWindowPaint(HostWindow handle, HostDeviceContext context) {
  HWND window = static_cast<HWND>(handle);
  HDC dc = static_cast<HDC>(context);
  if (Plugin.host.paintBackground) Plugin.host.paintBackground(window, dc);
  if (!nag.built) return;
  const PanelTextStyle style(dc);
  const NagWindowLayout& l = nag.layout;
  TextOutA(dc, l.headingX, l.headingY, Heading, int(strlen(Heading)));
  for (size_t i = 0; i < NagBoxCount; ++i) {
    const char* label = NagGroups()[i].label;
    TextOutA(dc, l.labelX[i], l.labelY[i], label, int(strlen(label)));
  }
}

}  // namespace

bool RunNagSelection() {
  if (!Plugin.host.runModal) return false;
  nag = NagView{};
  const int32_t result = Plugin.host.runModal(reinterpret_cast<const uint16_t*>(u"NAGs selection"), 0, 0, 400, 300,
                                              Plugin.panel, &NagWindowProc, &NagWindowPaint);
  nag.built = false;
  return result >= 0;
}
