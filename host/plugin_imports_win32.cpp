#include "host/plugin_imports_win32.h"

#include <cstdio>
#include <cstring>

namespace {

BOOL WINAPI RecordedBeep(UINT) {
  std::printf("beep\n");
  std::fflush(stdout);
  return TRUE;
}

// The import address table entry of `function` from `library` in the module, or null.
void** ImportSlot(HMODULE module, const char* library, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return nullptr;
  for (auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       import->Name != 0; ++import) {
    if (_stricmp(reinterpret_cast<const char*>(base + import->Name), library) != 0) continue;
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(
        base + (import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk));
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* named = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(named->Name), function) == 0)
        return reinterpret_cast<void**>(&slots->u1.Function);
    }
  }
  return nullptr;
}

}  // namespace

bool RecordBeepsOf(HMODULE plugin) {
  void** slot = ImportSlot(plugin, "user32.dll", "MessageBeep");
  if (!slot) return false;
  DWORD protection = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return false;
  *slot = reinterpret_cast<void*>(&RecordedBeep);
  VirtualProtect(slot, sizeof *slot, protection, &protection);
  return true;
}
