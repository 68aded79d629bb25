#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "io/anonymous_file.h"

std::FILE* OpenAnonymousFile(std::string& error) {
  std::error_code noFolder;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(noFolder);  // TMPDIR first
  if (noFolder) {
    const char* named = std::getenv("TMPDIR");
    error = std::string("no temporary folder") + (named ? std::string(" at TMPDIR=") + named : std::string()) + ": " +
            noFolder.message();
    return nullptr;
  }
  std::string name = (folder / "pgnutil-spool-XXXXXX").string();
  const int descriptor = mkstemp(name.data());
  if (descriptor < 0) {
    error = folder.string() + ": " + std::strerror(errno);
    return nullptr;
  }
  unlink(name.c_str());  // gone from the folder now; the space is the system's again at close
  std::FILE* file = fdopen(descriptor, "w+b");
  if (!file) {
    error = std::strerror(errno);
    close(descriptor);
  }
  return file;
}
