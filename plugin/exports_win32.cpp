// The plug-in's two entry points, called by the host on its user-interface thread.
#include <windows.h>

#include "plugin/host_api.h"

namespace {

HINSTANCE pluginInstance = nullptr;
bool started = false;

}  // namespace

extern "C" {

// Called once after the host loads the library. A host that cannot give the current line's
// comment is not one the plug-in works with: it stays inert, with no menu, panel or settings.
__declspec(dllexport) void __stdcall StartTarselProc(HostQueryFn hostQuery) {
  if (hostQuery == nullptr || hostQuery(HostQueryCommentFunction) == 0) return;
  started = true;
}

// Called before the host unloads the library. Nothing was shown, so nothing is saved.
__declspec(dllexport) void __stdcall StopTarselProc() {
  if (!started) return;
  started = false;
}

// Bookkeeping only: the module handle for window classes and resources.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    pluginInstance = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

}  // extern "C"
