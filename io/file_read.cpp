#include "io/file_read.h"

#include <climits>
#include <cstddef>
#include <cstdio>

#include "io/os_file.h"
#include "services/host.h"

namespace {

// Opens a file for one read; a whole read refuses files of 2 GiB or more (they are not read
// whole), a range read takes any size.
ReadError OpenForRead(const std::filesystem::path& path, std::FILE*& file, int64_t& size, bool whole) {
  file = OpenFile(path, "rb", FileShare::None);
  if (!file) return ReadError::CannotOpen;
  size = SizeOfFile(file);
  if (size < 0) {
    std::fclose(file);
    return ReadError::ReadFailed;
  }
  if (whole && size > INT32_MAX) {
    std::fclose(file);
    return ReadError::TooLarge;
  }
  return ReadError::None;
}

ReadError ReadInto(std::FILE* file, int64_t offset, std::string& text) {
  if (text.empty()) return ReadError::None;
  if (!SeekFile(file, offset)) return ReadError::ReadFailed;
  std::fread(text.data(), 1, text.size(), file);
  return std::ferror(file) ? ReadError::ReadFailed : ReadError::None;
}

// Sized afresh: bytes that do not arrive read as zeros, never as an earlier read's text.
void SizeUnderLock(std::string& text, size_t size) {
  HostLockGuard lock;
  text.assign(size, '\0');
}

}  // namespace

const char* Describe(ReadError error) {
  switch (error) {
    case ReadError::None:
      return "no error";
    case ReadError::CannotOpen:
      return "cannot open the file";
    case ReadError::TooLarge:
      return "the file is 2 GiB or larger, which is not supported";
    case ReadError::BadRange:
      return "the byte range lies outside the file";
    case ReadError::ReadFailed:
      return "reading the file failed";
    case ReadError::Damaged:
      return "the compressed data is damaged or cut short";
    case ReadError::Unsupported:
      return "it is compressed in a way this build of the program does not read";
  }
  return "unknown error";
}

ReadError readfile(const std::filesystem::path& path, std::string& text) {
  std::FILE* file = nullptr;
  int64_t size = 0;
  if (const ReadError error = OpenForRead(path, file, size, true); error != ReadError::None) return error;
  SizeUnderLock(text, size_t(size));
  const ReadError error = ReadInto(file, 0, text);
  std::fclose(file);
  return error;
}

ReadError readrange(const std::filesystem::path& path, int64_t start, int64_t count, std::string& text) {
  if (start < 1 || count < 0 || uint64_t(count) > uint64_t(PTRDIFF_MAX)) return ReadError::BadRange;
  std::FILE* file = nullptr;
  int64_t size = 0;
  if (const ReadError error = OpenForRead(path, file, size, false); error != ReadError::None) return error;
  SizeUnderLock(text, size_t(count));
  const ReadError error = ReadInto(file, int64_t(start) - 1, text);
  std::fclose(file);
  return error;
}
