#include "io/os_file.h"

#include <string>

#ifdef _WIN32
#include <share.h>
#endif

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode, FileShare share) {
#ifdef _WIN32
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfsopen(path.c_str(), wideMode.c_str(), share == FileShare::None ? _SH_DENYRW : _SH_DENYNO);
#else
  (void)share;  // POSIX has no mandatory sharing modes
  return std::fopen(path.c_str(), mode);
#endif
}

bool SeekFile(std::FILE* file, int64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, offset, SEEK_SET) == 0;
#else
  return fseeko(file, off_t(offset), SEEK_SET) == 0;
#endif
}

int64_t TellFile(std::FILE* file) {
#ifdef _WIN32
  return _ftelli64(file);
#else
  return int64_t(ftello(file));
#endif
}

int64_t SizeOfFile(std::FILE* file) {
  const int64_t here = TellFile(file);
#ifdef _WIN32
  const bool moved = _fseeki64(file, 0, SEEK_END) == 0;
#else
  const bool moved = fseeko(file, 0, SEEK_END) == 0;
#endif
  const int64_t size = moved ? TellFile(file) : -1;
  if (here >= 0) SeekFile(file, here);
  return size;
}
