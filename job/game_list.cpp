#include "job/game_list.h"

#include "pgn/game_reader.h"
#include "services/host.h"

THash KeyOfEntry(const TGame& entry, int32_t entryIndex) {
  THash unkeyed;
  unkeyed.entryIndex = entryIndex;
  if (entry.game && !entry.summary.known) return KeyOfGame(*entry.game, entryIndex);
  if (entry.summary.known) {
    THash key = unkeyed;
    key.startKey = entry.summary.startKey;
    key.movesKey = entry.summary.movesKey;
    key.plies = entry.summary.plies;
    key.keyed = true;
    return key;
  }
  const std::unique_ptr<jurnal> game = ReadGameAgain(entry);
  return game ? KeyOfGame(*game, entryIndex) : unkeyed;
}

void RefreshAndRemoveDuplicates(TGameList& list) {
  THashes keys;
  {
    HostLockGuard lock;
    if (list.keys.size() == list.entries.size()) return;
    list.keyIndex.Clear();
    list.keys.resize(list.entries.size());
    for (size_t i = 0; i < list.entries.size(); ++i) list.keys[i] = KeyOfEntry(list.entries[i], int32_t(i));
    keys = list.keys;
  }
  // Unkeyed entries take no part: they are neither dropped nor make another one dropped.
  THashes keyed;
  for (const THash& key : keys)
    if (key.keyed) keyed.push_back(key);
  const THashes sorted = SortedKeys(keyed);
  {
    HostLockGuard lock;
    list.dropped.resize(list.entries.size(), false);
    for (size_t i = 0; i + 1 < sorted.size(); ++i) {
      if (!SameKey(sorted[i], sorted[i + 1])) continue;
      const size_t index = size_t(sorted[i].entryIndex);
      // An entry not loaded yet is the user's to remove, never the duplicate pass's; a game let
      // go from memory was loaded, and goes like the others.
      TGame& entry = list.entries[index];
      if (!entry.game && !entry.summary.known) continue;
      GiveBack(list.memory, entry);
      entry.game.reset();
      entry.packed = PackedGame();
      list.dropped[index] = true;
    }
  }
  CompactGameList(list);
}

void CompactGameList(TGameList& list) {
  HostLockGuard lock;
  // The keys and the entries move, or go.
  list.keyIndex.Clear();
  list.sources.Clear();
  const size_t n = list.entries.size();
  list.dropped.resize(n, false);
  list.highlight.resize(n, false);
  const bool keysInStep = list.keys.size() == n;
  std::vector<int32_t> newIndex(n, -1);
  size_t kept = 0;
  for (size_t i = 0; i < n; ++i) {
    TGame& entry = list.entries[i];
    const bool unreadable = !entry.game && (entry.sourcePath.empty() || entry.sourcePosition < 1);
    if (list.dropped[i] || unreadable) continue;
    newIndex[i] = int32_t(kept);
    if (kept != i) {
      list.entries[kept] = std::move(entry);
      list.highlight[kept] = list.highlight[i];
      if (keysInStep) list.keys[kept] = list.keys[i];
    }
    if (keysInStep) list.keys[kept].entryIndex = int32_t(kept);
    ++kept;
  }
  // The display order loses the removed rows; the current row moves up past them.
  TIndexArray order;
  int32_t row = list.currentRow;
  for (size_t r = 0; r < list.displayOrder.size(); ++r) {
    const int32_t index = list.displayOrder[r];
    if (index >= 0 && size_t(index) < n && newIndex[size_t(index)] >= 0) {
      order.push_back(newIndex[size_t(index)]);
    } else if (list.currentRow > int32_t(r)) {
      --row;
    }
  }
  list.displayOrder = std::move(order);
  list.entries.resize(kept);
  list.highlight.resize(kept);
  list.dropped.assign(kept, false);
  if (keysInStep)
    list.keys.resize(kept);
  else
    list.keys.clear();
  if (row >= int32_t(kept)) row = int32_t(kept) - 1;
  list.currentRow = row;
}

std::filesystem::path FirstNameOfFile(TGameList& list, const std::filesystem::path& path) {
  const std::optional<FileIdentity> id = IdentityOf(path);
  if (!id) return path;
  const auto [known, added] = list.fileNames.emplace(*id, path);
  // A name noted for a file since deleted (its identity given to another) no longer counts.
  if (!added && known->second != path && IdentityOf(known->second) != id) known->second = path;
  return known->second;
}
