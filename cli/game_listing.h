// "pgnutil inspect": one JSON object per game of each file, read or skipped.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

// Writes the objects to `out`; returns the process exit code (1 when a file cannot be read).
// `shownAs`, when given, names each file in the objects and messages instead of its path (a
// file standing for standard input).
int Inspect(const std::vector<std::filesystem::path>& files, std::FILE* out, std::FILE* errors,
            const std::vector<std::string>& shownAs = {});
