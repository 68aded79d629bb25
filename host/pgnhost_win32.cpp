// The substitute host program: loads a plug-in DLL, hands it a query function, and reports
// which queries the plug-in made.
//   pgnhost.exe <plugin.dll>
#include <windows.h>

#include <cstdio>
#include <vector>

#include "plugin/host_api.h"

namespace {

using StartProc = void(__stdcall*)(HostQueryFn);
using StopProc = void(__stdcall*)();

std::vector<int32_t> askedIds;

// This host has no current game, so it answers the comment query with null: the plug-in must
// stay inert. Every other id is recorded and answered with 0.
intptr_t __stdcall InertHostQuery(int32_t id) {
  askedIds.push_back(id);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pgnhost <plugin.dll>\n");
    return 2;
  }
  HMODULE plugin = LoadLibraryW(argv[1]);
  if (!plugin) {
    std::fprintf(stderr, "pgnhost: cannot load %ls (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  auto start = reinterpret_cast<StartProc>(reinterpret_cast<void*>(GetProcAddress(plugin, "StartTarselProc")));
  auto stop = reinterpret_cast<StopProc>(reinterpret_cast<void*>(GetProcAddress(plugin, "StopTarselProc")));
  if (!start || !stop) {
    std::fprintf(stderr, "pgnhost: %ls lacks StartTarselProc or StopTarselProc\n", argv[1]);
    FreeLibrary(plugin);
    return 1;
  }
  start(InertHostQuery);
  stop();
  FreeLibrary(plugin);

  std::printf("queries:");
  for (int32_t id : askedIds) std::printf(" %ld", static_cast<long>(id));
  std::printf("\n");
  const bool inert = askedIds.size() == 1 && askedIds[0] == HostQueryCommentFunction;
  std::printf("plug-in %s\n", inert ? "stayed inert" : "went on without a host");
  return inert ? 0 : 1;
}
