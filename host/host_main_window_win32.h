// The host's main window: its menu bar (the host's own menus, the menu that takes the plug-in's
// items, and one item per panel), its game list with the current game, and the dispatch of
// menu commands to the plug-in's callbacks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace hostsim {

// Creates the main window over the work area; the host's menu and main window go into the
// values the plug-in asks for. `beforeClose` runs when the window is asked to close, before it
// is destroyed (the host stops the plug-in there).
HWND CreateMainWindow(HINSTANCE instance, const wchar_t* title, std::function<void()> beforeClose);

// Ids of the host's own menu items.
enum HostCommand : int32_t {
  CommandExit = 100,
  CommandFirstGame = 101,
  CommandPreviousGame = 102,
  CommandNextGame = 103,
  CommandLastGame = 104,
};

// The exit code the host ends with (a failed script sets it).
void SetExitCode(int code);
int ExitCode();

}  // namespace hostsim
