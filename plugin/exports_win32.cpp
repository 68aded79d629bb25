// The plug-in's two entry points, called by the host on its user-interface thread.
#include <windows.h>

#include <memory>

#include "chess/eco.h"
#include "io/host_folder.h"
#include "job/game_list.h"
#include "options/processing_options.h"
#include "options/settings_file.h"
#include "plugin/check_list_win32.h"
#include "plugin/host_api.h"
#include "plugin/load_commands_win32.h"
#include "plugin/panel_placement_win32.h"
#include "plugin/panel_window_win32.h"
#include "plugin/plugin_menus_win32.h"
#include "plugin/plugin_state_win32.h"
#include "plugin/query_host_win32.h"

TPlugin Plugin;

namespace {

std::unique_ptr<QueryHost> installedHost;

int32_t ScreenDotsPerInch() {
  HDC screen = GetDC(nullptr);
  const int32_t d = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return d;
}

// Hands the minimum sizes to the host's record of the panel and learns its show command.
void FillPanelRecord() {
  auto* panels = static_cast<HostPanelArray*>(Plugin.host.Data(HostDataPanels));
  if (!panels || !panels->items) return;
  for (int32_t i = panels->count - 1; i >= 0; --i) {
    HostPanelRecord& record = panels->items[i];
    if (record.window != Plugin.panel) continue;
    record.minimumWidth = Plugin.sizes.minimumWidth;
    record.minimumHeight = Plugin.minimumHeight;
    if (Plugin.height < Plugin.minimumHeight) Plugin.height = Plugin.minimumHeight;
    Plugin.showCommand = record.showCommand;
    Plugin.showCommandKnown = true;
    return;
  }
}

void CreatePanel() {
  Plugin.sizes = PanelSizesFor(ScreenDotsPerInch());
  Plugin.width = Plugin.sizes.width;
  Plugin.height = Plugin.sizes.height;
  if (!Plugin.host.createPanel) return;
  Plugin.panel = static_cast<HWND>(Plugin.host.createPanel(reinterpret_cast<const uint16_t*>(u"PGN handling"), 0, 0,
                                                           Plugin.width, Plugin.height, Plugin.host.mainWindow, 1, 0, 2,
                                                           &PanelWindowProc, &PanelPaint));
  if (Plugin.panel) FillPanelRecord();
}

}  // namespace

std::filesystem::path SettingsFilePath() { return Plugin.hostFolder / "pgn_util.dat"; }

void ShowPanel() {
  if (Plugin.panel && !IsWindowVisible(Plugin.panel) && Plugin.showCommandKnown)
    SendMessageW(Plugin.host.mainWindow, WM_COMMAND, WPARAM(Plugin.showCommand), 0);
}

extern "C" {

// Called once after the host loads the library. A host that cannot give the current line's
// comment is not one the plug-in works with: it stays inert, with no menu, panel or settings.
__declspec(dllexport) void __stdcall StartTarselProc(HostQueryFn hostQuery) {
  if (Plugin.started || !FetchHostServices(hostQuery, Plugin.host)) return;
  Plugin.started = true;
  installedHost = std::make_unique<QueryHost>(Plugin.host);
  SetCurrentHost(installedHost.get());
  Plugin.session.Services = installedHost.get();
  BuildMenus();
  Plugin.hostFolder = HostProgramFolder();
  SetEcoTableSource(Plugin.hostFolder / "plugins" / "ecos.dat");
  Plugin.session.outputBase = (Plugin.hostFolder / "output").u16string();
  PrepareFileDialog();
  Plugin.session.GameList = TGameList{};
  CreatePanel();
  Plugin.fileDialog.hwndOwner = Plugin.panel;
  PanelPlacement placement;
  LoadSettings(SettingsFilePath(), placement, Plugin.width, Plugin.height, Plugin.session);
}

// Called before the host unloads the library: saves the settings when the panel was shown.
__declspec(dllexport) void __stdcall StopTarselProc() {
  if (!Plugin.started) return;
  if (Plugin.saveOnStop) {
    // A value typed and not committed yet counts, as when the focus leaves its field.
    if (Plugin.panel && IsWindow(Plugin.panel)) CommitFocusedCheckList(Plugin.panel);
    PanelPlacement placement;
    SaveSettings(SettingsFilePath(), placement, Plugin.session);
  }
  SetCurrentHost(nullptr);
  Plugin.session.Services = &QuietHost();
  installedHost.reset();
  Plugin.started = false;
}

// Bookkeeping only: the module handle for window classes and resources.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    Plugin.instance = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

}  // extern "C"
