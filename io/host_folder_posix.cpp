#include <system_error>

#include "io/host_folder.h"

std::filesystem::path HostProgramFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path(error) : exe.parent_path();
}
