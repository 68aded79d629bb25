#include "cli/own_files.h"

#include <algorithm>
#include <cctype>

#include "cli/input_folders.h"
#include "io/file_identity.h"

namespace {

bool HasPgnExtension(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return extension == ".pgn";
}

}  // namespace

std::string ClashWithGames(const std::filesystem::path& file, const std::vector<std::filesystem::path>& inputs,
                           bool recursive, const std::filesystem::path& outputFile) {
  std::error_code error;
  const std::filesystem::path parent = file.has_parent_path() ? file.parent_path() : ".";
  for (const std::filesystem::path& input : inputs) {
    if (input == "-") continue;
    if (!std::filesystem::is_directory(input, error)) {
      if (SameFile(file, input)) return "it is the input " + input.string();
      continue;
    }
    if (!HasPgnExtension(file)) continue;
    for (const std::filesystem::path& folder : FoldersToRead(input, recursive))
      if (SameFile(parent, folder)) return "it would be read as an input in " + folder.string();
  }
  if (!outputFile.empty() && SamePlace(file, outputFile)) return "it is the output file " + outputFile.string();
  return {};
}

// The same file, or (when neither exists yet) the same path once made absolute and normal.
bool SamePlace(const std::filesystem::path& a, const std::filesystem::path& b) {
  if (SameFile(a, b)) return true;
  std::error_code error;
  if (std::filesystem::exists(a, error) || std::filesystem::exists(b, error)) return false;
  const auto first = std::filesystem::weakly_canonical(std::filesystem::absolute(a, error), error);
  const auto second = std::filesystem::weakly_canonical(std::filesystem::absolute(b, error), error);
  return !error && first == second;
}
