// The list of games the panel shows and the jobs work on.
#pragma once

#include <cstdint>
#include <filesystem>
#include <unordered_map>
#include <vector>

#include "io/file_identity.h"
#include "job/key_index.h"
#include "job/source_index.h"
#include "pgn/duplicates.h"
#include "pgn/memory_budget.h"
#include "pgn/pgn_types.h"

using TIndexArray = std::vector<int32_t>;
using TBoolArray = std::vector<bool>;

// The panel list's columns, numbered as its header shows them from the left. SourceColumn is no
// header's: the order a merge leaves (by file, then place in it), which any header sorts again.
enum ListColumn : int {
  NumberColumn = 1,
  WhiteColumn,
  BlackColumn,
  ResultColumn,
  TournamentColumn,
  DateColumn,
  SourceColumn,
};

struct TGameList {
  TGames entries;
  TIndexArray displayOrder;  // entry indexes in the order of the panel's rows
  TBoolArray highlight;      // one flag per entry
  THashes keys;              // one per entry while "Duplicates" is on, else empty
  KeyIndex keyIndex;         // `keys` as a hash table for the merges; cleared when `keys` changes but by growing
  SourceIndex sources;       // the entries' files and positions, for the merges' repeat check
  int32_t currentRow = -1;
  // The column the panel's rows were last sorted by (NumberColumn: entry order; SourceColumn: a
  // merge appended rows, so any column sorts them again).
  int sortColumn = NumberColumn;
  // Entries given up (duplicates dropped, rows deleted): the only ones compaction removes.
  std::vector<bool> dropped;
  // The game records held in memory; games loaded past it are let go and read again when
  // processing needs their moves.
  MemoryBudget memory;
  // The first name each file was loaded under: the same file given again by another name
  // (./m.pgn, a link) is read under that one, so that its games are known as repeats.
  std::unordered_map<FileIdentity, std::filesystem::path, FileIdentityHash> fileNames;
};

// The name `path`'s file was first loaded under, or `path` when it is new (then noted).
std::filesystem::path FirstNameOfFile(TGameList& list, const std::filesystem::path& path);

// The key of an entry: from its game, from the summary of a game let go, or, for an entry not
// loaded yet, from its text read again from its source (and let go). An entry that cannot be
// read stays unkeyed.
THash KeyOfEntry(const TGame& entry, int32_t entryIndex);

// With a key per entry missing, computes them all; then of every run of equal keys keeps the
// entry whose record sorts last and drops the others; then compacts the list.
void RefreshAndRemoveDuplicates(TGameList& list);

// Removes the dropped entries and those with neither a game nor a source, keeping display
// order, highlight flags, keys and the current row in step. Entries not loaded yet stay.
void CompactGameList(TGameList& list);
