#include <windows.h>

#include <vector>

#include "io/host_folder.h"

std::filesystem::path HostProgramFolder() {
  // The process's executable, not this library: the plug-in's files live beside the host.
  std::vector<wchar_t> name(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
    if (length == 0) return std::filesystem::current_path();
    if (length < name.size()) return std::filesystem::path(std::wstring(name.data(), length)).parent_path();
    name.resize(name.size() * 2);
  }
}
