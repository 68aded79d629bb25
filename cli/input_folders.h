// The folders one folder given to pgnutil stands for.
#pragma once

#include <filesystem>
#include <vector>

// The folder itself and, when `recursive`, every folder below it: depth first, in name order at
// each level, each folder before its subfolders. Links to folders are not followed below the
// top (no loops), and folders that cannot be listed are left out.
std::vector<std::filesystem::path> FoldersToRead(const std::filesystem::path& folder, bool recursive);

// Whether a folder holds at least one folder.
bool HasSubfolders(const std::filesystem::path& folder);
