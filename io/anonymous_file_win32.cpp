#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string>

#include "io/anonymous_file.h"

std::FILE* OpenAnonymousFile(std::string& error) {
  wchar_t folder[MAX_PATH + 1] = {};
  wchar_t name[MAX_PATH + 1] = {};
  if (!GetTempPathW(MAX_PATH + 1, folder) || !GetTempFileNameW(folder, L"pgn", 0, name)) {
    error = "no temporary folder (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  // Removed by the system when the last handle closes, the program's end included.
  const HANDLE handle = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = "cannot make a temporary file (error " + std::to_string(GetLastError()) + ")";
    DeleteFileW(name);
    return nullptr;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
  std::FILE* file = descriptor >= 0 ? _fdopen(descriptor, "w+b") : nullptr;
  if (!file) {
    error = "cannot use a temporary file";
    if (descriptor >= 0)
      _close(descriptor);
    else
      CloseHandle(handle);
  }
  return file;
}
