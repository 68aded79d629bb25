#include <windows.h>

#include "io/file_identity.h"

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path) {
  // Opened for no access at all, so that a file others hold open is still asked; folders need
  // the backup flag.
  HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  if (!known) return std::nullopt;
  return FileIdentity{uint64_t(info.dwVolumeSerialNumber),
                      (uint64_t(info.nFileIndexHigh) << 32) | uint64_t(info.nFileIndexLow)};
}
