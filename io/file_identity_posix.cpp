#include <sys/stat.h>

#include "io/file_identity.h"

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{uint64_t(info.st_dev), uint64_t(info.st_ino)};
}
