#include "plugin/load_commands_win32.h"

#include <windows.h>

#include <shlobj.h>

#include "job/job.h"
#include "plugin/panel_updates_win32.h"
#include "plugin/plugin_state_win32.h"
#include "plugin/progress_window_win32.h"
#include "plugin/query_host_win32.h"

namespace {

// The browser preselects the host program's folder once it reports that it is ready.
int CALLBACK PreselectHostFolder(HWND browser, UINT message, LPARAM, LPARAM) {
  if (message == BFFM_INITIALIZED)
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(Plugin.initialFolder.c_str()));
  return 0;
}

}  // namespace

void PrepareFileDialog() {
  OPENFILENAMEW& d = Plugin.fileDialog;
  d = OPENFILENAMEW{};
  d.lStructSize = sizeof d;
  d.hwndOwner = Plugin.panel;
  d.lpstrFilter = L"Game bases\0*.pgn\0";
  d.nFilterIndex = 1;
  d.lpstrDefExt = L"pgn";
  Plugin.initialFolder = Plugin.hostFolder.wstring();
  d.lpstrInitialDir = Plugin.initialFolder.c_str();
  d.Flags = 0;
  const int32_t length = THostServices::Read<int32_t>(Plugin.host.pathLength, MAX_PATH);
  Plugin.fileName.assign(size_t(length > 0 ? length : MAX_PATH), L'\0');
  d.lpstrFile = Plugin.fileName.data();
  d.nMaxFile = DWORD(Plugin.fileName.size());
}

void OpenPgnFile() {
  OPENFILENAMEW& d = Plugin.fileDialog;
  const int32_t length = THostServices::Read<int32_t>(Plugin.host.pathLength, MAX_PATH);
  Plugin.fileName.assign(size_t(length > 0 ? length : MAX_PATH), L'\0');
  d.lpstrFile = Plugin.fileName.data();
  d.nMaxFile = DWORD(Plugin.fileName.size());
  d.hwndOwner = Plugin.panel;
  if (!GetOpenFileNameW(&d) || Plugin.fileName[0] == L'\0') return;
  RunJobWithProgress(JobKind::LoadFile, std::filesystem::path(Plugin.fileName.data()));
}

void OpenPgnFolder() {
  wchar_t chosen[MAX_PATH] = {};
  BROWSEINFOW browse{};
  browse.hwndOwner = Plugin.panel;
  browse.pszDisplayName = chosen;
  browse.lpszTitle = L"Choose the folder with games";
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX;
  browse.lpfn = &PreselectHostFolder;
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
  if (!item) return;
  wchar_t path[MAX_PATH] = {};
  const bool found = SHGetPathFromIDListW(item, path);
  CoTaskMemFree(item);
  if (!found || path[0] == L'\0') return;
  RunJobWithProgress(JobKind::LoadFolder, std::filesystem::path(path));
}
