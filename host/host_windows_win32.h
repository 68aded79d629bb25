// The host's window services: panel frames, modal windows, the default window procedure and
// background painter for plug-in windows, the "knop" button class, check boxes and image
// drawing. Everything runs on the host's user-interface thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "plugin/host_api.h"

namespace hostsim {

// The class names, for whoever looks for the host's windows.
extern const wchar_t* const PanelClass;
extern const wchar_t* const ModalClass;
extern const wchar_t* const ButtonClass;  // "knop"
extern const wchar_t* const CheckClass;

// Registers the classes and makes the button faces of the style record; once per process.
void RegisterWindowClasses(HINSTANCE instance);
// Unregisters them (the plug-in's windows are gone by then).
void UnregisterWindowClasses();

// The services, as HostQuery hands them out.
HostWindow __stdcall CreatePanel(const uint16_t* title, int32_t x, int32_t y, int32_t width, int32_t height,
                                 HostWindow owner, int32_t a, int32_t b, int32_t c, HostWindowProcFn windowProc,
                                 HostPaintFn paint);
int32_t __stdcall RunModal(const uint16_t* title, int32_t x, int32_t y, int32_t width, int32_t height, HostWindow owner,
                           HostWindowProcFn windowProc, HostPaintFn paint);
HostResult __stdcall DefaultWindowProc(HostWindow window, uint32_t message, HostWParam wParam, HostLParam lParam);
void __stdcall PaintBackground(HostWindow window, HostDeviceContext dc);
void __stdcall MakeCheckBox(HostCheckBox* box, int32_t x, int32_t y, HostWindow parent);
void __stdcall DrawImage(HostDeviceContext dc, void* image, int32_t x, int32_t y, int32_t width, int32_t height);
void __stdcall MakeButton(HostButton* button);
void __stdcall MakeCaptionButton(HostButton* button, const uint16_t* caption);

// A panel made by CreatePanel, with the command that shows it.
struct PanelFrame {
  HWND window = nullptr;
  int32_t showCommand = 0;
  std::wstring title;
};
const std::vector<PanelFrame>& Panels();
// Shows the panel whose show command this is; false when it is none.
bool RunShowCommand(int32_t command);
// The modal window running now (the innermost), or null.
HWND CurrentModal();
int ModalDepth();
// Destroys every panel (before the plug-in is unloaded) and forgets them.
void DestroyPanels();

// The colours of the host's look.
constexpr COLORREF BackgroundColour = RGB(247, 248, 250);
constexpr COLORREF TextColour = RGB(32, 38, 46);
constexpr COLORREF AccentColour = RGB(44, 102, 176);

}  // namespace hostsim
