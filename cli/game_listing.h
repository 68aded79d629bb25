// "pgnutil inspect": one JSON object per game of each file, read or skipped.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

// Writes the objects to `out`; returns the process exit code (1 when a file cannot be read, or
// not to its end). `shownAs`, when given, names each file in the objects and messages instead
// of its path. With `standardInput`, the path "-" stands for it. Compressed files are listed
// from their text, positions and lines being those of the text.
int Inspect(const std::vector<std::filesystem::path>& files, std::FILE* out, std::FILE* errors,
            const std::vector<std::string>& shownAs = {}, std::FILE* standardInput = nullptr);
