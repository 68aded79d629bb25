// The substitute host program: a main window with a game list and menus, the host's services
// behind the query protocol, a plug-in DLL started in it and, with --script, user actions run
// through real messages. host/README.md tells how to use it.
#include <windows.h>

#include <ole2.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/host_main_window_win32.h"
#include "host/host_options.h"
#include "host/host_script.h"
#include "host/host_windows_win32.h"
#include "host/hostsim_win32.h"
#include "host/plugin_imports_win32.h"
#include "host/script_driver_win32.h"
#include "pgn/game_reader.h"
#include "plugin/host_api.h"

namespace {

using StartProc = void(__stdcall*)(HostQueryFn);
using StopProc = void(__stdcall*)();

bool ReadWhole(const std::filesystem::path& file, std::string& text) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  text = bytes.str();
  return true;
}

// The games of the files given with --games become the host's list.
bool LoadHostGames(const std::vector<std::filesystem::path>& files) {
  for (const std::filesystem::path& file : files) {
    std::string text;
    if (!ReadWhole(file, text)) {
      std::fprintf(stderr, "pgnhost: cannot read %s\n", file.string().c_str());
      return false;
    }
    TGames games;
    ReadOptions options;
    options.sourcePath = std::filesystem::absolute(file);
    ReadGames(text, games, options);
    for (const TGame& game : games) {
      // The host's records hold 32-bit positions: a game past them is refused, not wrapped.
      if (game.sourcePosition > INT32_MAX || game.sourceLength > INT32_MAX) {
        std::fprintf(stderr, "pgnhost: %s: the game at byte %lld lies past what the host's list can hold\n",
                     file.string().c_str(), static_cast<long long>(game.sourcePosition));
        return false;
      }
      HostGames::Tags tags;
      for (const TagView tag : game.tags) tags.emplace_back(tag.name, tag.value);
      hostsim::Games().Add(game.game.get(), std::move(tags), options.sourcePath.get().u16string(), game.sourcePosition,
                           game.sourceLength);
    }
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const HostOptions options = ParseHostOptions(std::vector<std::wstring>(argv + 1, argv + argc));
  if (!options.error.empty()) {
    std::fprintf(stderr, "pgnhost: %s\n%s", options.error.c_str(), HostUsage);
    return 2;
  }
  Script script;
  if (!options.script.empty()) {
    std::string text;
    if (!ReadWhole(options.script, text)) {
      std::fprintf(stderr, "pgnhost: cannot read the script %s\n", options.script.string().c_str());
      return 2;
    }
    script = ParseScript(text);
    if (!script.error.empty()) {
      std::fprintf(stderr, "pgnhost: %s: %s\n", options.script.string().c_str(), script.error.c_str());
      return 2;
    }
  }
  if (!LoadHostGames(options.games)) return 1;

  OleInitialize(nullptr);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  hostsim::Settings().offersCommentService = !options.withoutCommentService;
  hostsim::RegisterWindowClasses(instance);

  HMODULE plugin = LoadLibraryW(options.plugin.c_str());
  if (!plugin) {
    std::fprintf(stderr, "pgnhost: cannot load %ls (error %lu)\n", options.plugin.c_str(), GetLastError());
    return 1;
  }
  // Under a script the plug-in's beeps are printed where they sound.
  if (!options.script.empty()) RecordBeepsOf(plugin);
  auto start = reinterpret_cast<StartProc>(reinterpret_cast<void*>(GetProcAddress(plugin, "StartTarselProc")));
  auto stop = reinterpret_cast<StopProc>(reinterpret_cast<void*>(GetProcAddress(plugin, "StopTarselProc")));
  if (!start || !stop) {
    std::fprintf(stderr, "pgnhost: %ls lacks StartTarselProc or StopTarselProc\n", options.plugin.c_str());
    FreeLibrary(plugin);
    return 1;
  }

  // The plug-in is stopped while its windows still exist; they go before its code does.
  HWND main = hostsim::CreateMainWindow(instance, L"pgnhost", [stop] {
    stop();
    hostsim::DestroyPanels();
  });
  ShowWindow(main, SW_SHOW);
  UpdateWindow(main);
  start(hostsim::Query());
  if (!options.script.empty()) hostsim::RunScript(std::move(script), main);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  FreeLibrary(plugin);
  hostsim::UnregisterWindowClasses();
  OleUninitialize();
  return hostsim::ExitCode();
}
