// What the plug-in keeps from start to stop, in the one object it owns: its session (the list,
// the user's choices, the running job, the selection, the host's services), the panel's view,
// the host's query functions, its menus and their commands, the file dialog and the panel's
// sizes.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/renaming.h"
#include "job/session.h"
#include "panel/panel_size.h"
#include "plugin/host_services_win32.h"
#include "plugin/panel_view_win32.h"

// The command ids the host gave the menu items.
struct TMenuCommands {
  int32_t renameUnused = 0, renamePlayer = 0, renameTournament = 0, renameSite = 0;
  int32_t separator = 0;
  int32_t moveAllToPanel = 0, transferAll = 0, moveCurrentToPanel = 0, transferCurrent = 0;
  int32_t open = 0, openFolder = 0;
  int32_t deleteHighlighted = 0, deleteAll = 0;
  int32_t defaultOptions = 0, makeDefault = 0;
};

struct TPlugin {
  HINSTANCE instance = nullptr;  // this library
  bool started = false;
  THostServices host;
  TSession session;  // what a click works on and sets off, as a portable value
  TPanelView view;

  HWND panel = nullptr;
  bool showCommandKnown = false;
  int32_t showCommand = 0;
  PanelSizes sizes;
  int32_t width = 0, height = 0;  // the panel's default size
  int32_t minimumHeight = StartMinimumHeight;
  bool saveOnStop = false;  // set when the panel is first shown

  HMENU pluginMenu = nullptr, renameMenu = nullptr;
  TMenuCommands commands;
  RenameKind renameKind = RenameKind::Player;

  std::filesystem::path hostFolder;  // the folder of the host program
  OPENFILENAMEW fileDialog{};        // "Open..." and the output "Browse..."
  std::vector<wchar_t> fileName;     // its buffer, as long as the host's path length
  std::wstring initialFolder;

  // Taken when the panel is shown.
  const HostStyle* style = nullptr;
  COLORREF lineColour = RGB(190, 190, 190);
  // The Shift and Ctrl keys as the panel last saw them.
  bool shiftHeld = false, ctrlHeld = false;
};

extern TPlugin Plugin;

// pgn_util.dat in the host program's folder.
std::filesystem::path SettingsFilePath();
// Shows the panel through the host's show command, when it is hidden.
void ShowPanel();
