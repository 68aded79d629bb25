// Building the ECO table from opening lines: every line is replayed, and the position after it
// is given the line's code.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "chess/eco.h"

struct EcoLine {
  std::string code, name, moves;
  int order = 0;  // place in file order, from 0
  int plies = 0;
  int64_t key = 0;  // the position after the line
};

// A line whose final position went to another line with a different code.
struct EcoConflict {
  int64_t key = 0;
  const EcoLine* kept = nullptr;
  const EcoLine* lost = nullptr;
};

struct EcoBuild {
  std::vector<EcoLine> lines;           // every line read, in file order
  std::vector<std::string> unplayable;  // lines the reader rejected, with the reason
  ecoinfar table;                       // sorted by key as signed numbers
  std::vector<EcoConflict> conflicts;
};

// Reads the tab-separated files (eco, name, pgn, with a header line) of a folder in name order.
// When several lines reach one position, the shortest wins, and among equals the first in file
// order. Lines after `build` is moved stay valid: conflicts point into `lines`.
void BuildEcoTable(const std::filesystem::path& folder, EcoBuild& build);

// The table as the file stores it: 11-byte records, big-endian key and three code bytes.
std::string EcoTableBytes(const ecoinfar& table);
