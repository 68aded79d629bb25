#include "plugin/plugin_menus_win32.h"

#include "job/game_list.h"
#include "job/host_transfer.h"
#include "job/job.h"
#include "options/processing_options.h"
#include "plugin/check_list_win32.h"
#include "plugin/load_commands_win32.h"
#include "plugin/panel_updates_win32.h"
#include "plugin/plugin_state_win32.h"
#include "plugin/rename_window_win32.h"
#include "services/host.h"

namespace {

void RenameWith(RenameKind kind) {
  Plugin.renameKind = kind;
  CommitFocusedCheckList(Plugin.panel);
  RunRenameWindow(kind);
}
void __stdcall RenamePlayer() { RenameWith(RenameKind::Player); }
void __stdcall RenameTournament() { RenameWith(RenameKind::Tournament); }
void __stdcall RenameSite() { RenameWith(RenameKind::Site); }
// The host's games join the list as a merge does, without a job: they are in memory already.
void Transfer(TGames fresh) {
  MergeNewGames(Plugin.session, fresh);
  RefreshList();
}
void __stdcall TransferAll() {
  Transfer(TransferAllFromHost(*Plugin.session.Services, Plugin.session.ProcessingOptions));
}
void __stdcall TransferCurrent() {
  Transfer(TransferCurrentFromHost(*Plugin.session.Services, Plugin.session.ProcessingOptions));
}
void __stdcall MoveAllToPanel() {
  TransferAll();
  ShowPanel();
}
void __stdcall MoveCurrentToPanel() {
  TransferCurrent();
  ShowPanel();
}
void __stdcall Open() { OpenPgnFile(); }
void __stdcall OpenFolder() { OpenPgnFolder(); }
void __stdcall DeleteHighlighted() { DeleteHighlightedGames(); }
void __stdcall DeleteAll() { DeleteAllGames(); }
void __stdcall DefaultOptions() {
  ResetOptions(Plugin.session);
  RefreshOptionControls();
}
void __stdcall ToggleMakeDefault() {
  Plugin.session.makeDefaultAutomatically = !Plugin.session.makeDefaultAutomatically;
  CheckMakeDefaultItem(Plugin.session.makeDefaultAutomatically);
}

int32_t Register(HostCommandFn callback) {
  return Plugin.host.registerCommand ? Plugin.host.registerCommand(MAKELONG(9, 0), callback) : 0;
}

// Registers a command and adds its item; a host without a menu still gets the command.
int32_t AddItem(HMENU menu, const wchar_t* text, HostCommandFn callback, UINT flags = MF_STRING) {
  const int32_t id = Register(callback);
  if (menu) AppendMenuW(menu, flags, UINT_PTR(id), text);
  return id;
}

void AddSeparator(HMENU menu) {
  if (menu) AppendMenuW(menu, MF_SEPARATOR, UINT_PTR(Plugin.commands.separator), nullptr);
}

}  // namespace

void BuildMenus() {
  TMenuCommands& c = Plugin.commands;
  const HMENU host = Plugin.host.hostMenu;
  Plugin.renameMenu = CreatePopupMenu();
  c.renameUnused = Register(nullptr);
  c.renamePlayer = AddItem(Plugin.renameMenu, L"Player", &RenamePlayer);
  c.renameTournament = AddItem(Plugin.renameMenu, L"Tournament", &RenameTournament);
  c.renameSite = AddItem(Plugin.renameMenu, L"Site", &RenameSite);

  Plugin.pluginMenu = CreatePopupMenu();
  const HMENU menu = Plugin.pluginMenu;
  c.separator = Register(nullptr);
  AddSeparator(host);
  c.moveAllToPanel = AddItem(host, L"Move to \"PGN handling\"", &MoveAllToPanel);
  c.transferAll = AddItem(menu, L"Transfer all games", &TransferAll);
  c.moveCurrentToPanel = AddItem(host, L"Move game to \"PGN handling\"", &MoveCurrentToPanel);
  c.transferCurrent = AddItem(menu, L"Transfer the current game", &TransferCurrent);
  c.open = AddItem(menu, L"Open...", &Open);
  c.openFolder = AddItem(menu, L"Open all games from the folder...", &OpenFolder);
  AddSeparator(menu);
  AppendMenuW(menu, MF_STRING | MF_POPUP, UINT_PTR(Plugin.renameMenu), L"Rename");
  c.deleteHighlighted = AddItem(menu, L"Delete highlighted", &DeleteHighlighted);
  c.deleteAll = AddItem(menu, L"Delete all", &DeleteAll);
  AddSeparator(menu);
  c.defaultOptions = AddItem(menu, L"Default options", &DefaultOptions);
  c.makeDefault = AddItem(menu, L"Make default automatically", &ToggleMakeDefault, MF_STRING | MF_CHECKED);
}

void PopUpPluginMenu(POINT screen, bool above) {
  if (!Plugin.pluginMenu) return;
  const UINT align = above ? TPM_BOTTOMALIGN : TPM_TOPALIGN;
  TrackPopupMenu(Plugin.pluginMenu, TPM_LEFTBUTTON | TPM_LEFTALIGN | align, screen.x, screen.y, 0,
                 Plugin.host.mainWindow, nullptr);
}

void CheckMakeDefaultItem(bool checked) {
  if (!Plugin.pluginMenu) return;
  CheckMenuItem(Plugin.pluginMenu, UINT(Plugin.commands.makeDefault),
                MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}
