#include "cli/input_folders.h"

#include <algorithm>

namespace {

std::vector<std::filesystem::path> Subfolders(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> found;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind;
    if (it->is_directory(kind) && !it->is_symlink(kind)) found.push_back(it->path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

void AddWithSubfolders(const std::filesystem::path& folder, std::vector<std::filesystem::path>& folders) {
  folders.push_back(folder);
  for (const std::filesystem::path& sub : Subfolders(folder)) AddWithSubfolders(sub, folders);
}

}  // namespace

std::vector<std::filesystem::path> FoldersToRead(const std::filesystem::path& folder, bool recursive) {
  if (!recursive) return {folder};
  std::vector<std::filesystem::path> folders;
  AddWithSubfolders(folder, folders);
  return folders;
}

bool HasSubfolders(const std::filesystem::path& folder) { return !Subfolders(folder).empty(); }
