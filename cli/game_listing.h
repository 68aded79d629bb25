// "pgnutil inspect": one JSON object per game of each file, read or skipped.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "options/processing_options.h"
#include "pgn/game_search.h"

// What inspect tells of each game beyond what the reader makes of it: whether the filters and
// the search select it, and each criterion asked.
struct InspectCriteria {
  TProcessingOptions filters;  // the options' filters (the rest is not looked at)
  bool filtersGiven = false;
  GameSearch search;
};

// Writes the objects to `out`; returns the process exit code (1 when a file cannot be read, or
// not to its end). `shownAs`, when given, names each file in the objects and messages instead
// of its path. With `standardInput`, the path "-" stands for it. Compressed files are listed
// from their text, positions and lines being those of the text.
// With `criteria`, each game's object says whether it is "selected" and, under "criteria", each
// criterion asked by name and whether the game meets it; games are numbered across the files.
int Inspect(const std::vector<std::filesystem::path>& files, std::FILE* out, std::FILE* errors,
            const std::vector<std::string>& shownAs = {}, std::FILE* standardInput = nullptr,
            const InspectCriteria* criteria = nullptr);
