// Splitting a job's output into files: Elo band tables and date keys prepared per job, the test
// whether a new file begins at a position of the sorted list, and the file names.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "options/processing_options.h"
#include "pgn/game_filters.h"
#include "pgn/pgn_types.h"

struct PlayerGroup {
  size_t start = 0;  // position of its first game in the sorted list
  std::string name;
};

// The work data of one processing job.
struct SplitWork {
  std::vector<EloValues> elo;       // per entry index
  int32_t fileNameCounter = 0;      // numbers the names cut to the host's path length
  std::vector<int32_t> whiteBands;  // ascending boundaries; band k is [b[k], b[k+1])
  std::vector<int32_t> blackBands;
  std::vector<int32_t> dateKeys;  // per entry index
  std::vector<PlayerGroup> groups;
  size_t currentGroup = 0;
  std::string ecoPrefix;  // of the entry BeginsNewFile looked at last
  size_t ecoPrefixOf = SIZE_MAX;
  int32_t part = 0;         // with games per file: the number of the current file in its group
  int32_t gamesInPart = 0;  // and the games it holds so far

  void Clear() { *this = SplitWork{}; }
};

// The band table of `parts` bands over the collected range; empty when the range is empty.
std::vector<int32_t> EloBandTable(int32_t parts, const EloRange& range);

// The index i of the band [table[i-1], table[i]) holding the value.
size_t BandIndex(const std::vector<int32_t>& table, int32_t elo);

// Fills the Elo values, band tables and date keys of the selected entries.
void PrepareSplit(SplitWork& work, const TGames& entries, const std::vector<int32_t>& selection,
                  const TProcessingOptions& options);

// Whether a new output file begins at position p of `order` (called for p = 0, 1, 2... in turn).
bool BeginsNewFile(SplitWork& work, TGames& entries, const std::vector<int32_t>& order, size_t p,
                   const TProcessingOptions& options);

// A file-name part made from a tag value: control characters and those the file system forbids
// become "_" (on
// Windows also names it reserves, and a trailing dot or space), the same value always giving the
// same part.
std::u16string SafeNamePart(const std::u16string& text, bool windowsRules);

// The output file for the game at position p: base path, the split parts, ".pgn". `pathLength`
// is the longest name the host's file dialogs take.
std::filesystem::path OutputFileName(SplitWork& work, const std::u16string& base, TGames& entries,
                                     const std::vector<int32_t>& order, size_t p, const TProcessingOptions& options,
                                     int32_t pathLength, std::string_view extension = ".pgn");

// The longest file name (one component of a path) that file systems take: 255 bytes.
constexpr size_t MaxNameBytes = 255;

// The path with its last component cut to at most `maxBytes` bytes of UTF-8 (its extension
// `ending` kept when it ends so), the cut marked with "~" and eight hex digits of a hash of the
// whole name; unchanged when it fits.
std::u16string FitLastComponent(const std::u16string& path, size_t maxBytes, std::u16string_view ending = u".pgn");
