#include "pgn/memory_budget.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "pgn/eco_tags.h"
#include "services/host.h"

namespace {

// What the allocator takes for one block beside the bytes asked for.
constexpr int64_t AllocationOverhead = 16;

int64_t HeapBytes(const std::string& text) {
  // Short texts live inside the string itself.
  return text.capacity() > 15 ? int64_t(text.capacity()) + 1 + AllocationOverhead : 0;
}

}  // namespace

int64_t GameMemoryCost(const jurnal& game) {
  int64_t bytes = 0;
  std::vector<const jurnal*> pending{&game};  // no recursion: variations may nest deeply
  while (!pending.empty()) {
    const jurnal* line = pending.back();
    pending.pop_back();
    bytes += int64_t(sizeof(jurnal)) + AllocationOverhead;
    bytes += int64_t(line->moves.capacity() * sizeof(mov)) + AllocationOverhead;
    bytes += HeapBytes(line->result) + HeapBytes(line->startcomment) + HeapBytes(line->hostcomment);
    if (line->ownboard) bytes += int64_t(sizeof(doska)) + AllocationOverhead;
    for (const mov& move : line->moves) {
      if (move.san.size() > 10) bytes += int64_t(sizeof(uint32_t) + move.san.size() + 1) + AllocationOverhead;
      if (!move.comment.empty()) bytes += int64_t(sizeof(uint32_t) + move.comment.size()) + AllocationOverhead;
      if (!move.variations.empty()) {
        bytes +=
            int64_t(sizeof(std::vector<jurnal*>) + move.variations.size() * sizeof(jurnal*)) + 2 * AllocationOverhead;
        for (const jurnal* variation : move.variations) pending.push_back(variation);
      }
    }
  }
  return bytes;
}

void Summarise(TGame& entry) {
  if (!entry.game) return;
  Summarise(entry, EcoCodeOfMoves(*entry.game));
}

void SummariseWithoutEco(TGame& entry, const uint64_t* movesKey) {
  if (!entry.game) return;
  TGameSummary& summary = entry.summary;
  summary.known = true;
  summary.plies = entry.game->movecount();
  if (movesKey) {
    summary.startKey = entry.game->startkey();
    summary.movesKey = *movesKey;
  } else {
    entry.game->gamekeys(summary.startKey, summary.movesKey);
  }
  std::memset(summary.eco, 0, sizeof summary.eco);
  summary.ecoKnown = false;
}

void Summarise(TGame& entry, std::string_view ecoOfMainLine, const uint64_t* movesKey) {
  if (!entry.game) return;
  SummariseWithoutEco(entry, movesKey);
  ecoOfMainLine.copy(entry.summary.eco, sizeof entry.summary.eco - 1);  // an empty view may hold no bytes at all
  entry.summary.ecoKnown = true;
}

void LetGo(TGame& entry) {
  if (!entry.game) return;
  if (!entry.summary.known || !entry.summary.ecoKnown) Summarise(entry);
  entry.game.reset();
}

bool AdmitGame(MemoryBudget& budget, TGame& entry, std::unique_ptr<jurnal>* released, const PlainLine* plain) {
  if (!entry.game) return false;
  if (!entry.summary.known) Summarise(entry);
  PackedGame packed = plain ? PackedGame(*entry.game, *plain) : PackedGame(*entry.game);
  const int64_t cost = int64_t(packed.MemoryBytes());
  bool fits;
  {
    HostLockGuard lock;  // files may be read on several threads against one budget
    fits = budget.used + cost <= budget.limit;
    if (fits) budget.used += cost;
  }
  // A game let go keeps all that its entry may be asked without it, its ECO code included: from
  // its packed form when its reader kept its moves only packed.
  if (!fits && !entry.summary.ecoKnown) {
    if (plain && entry.game->moves.empty() && plain->Count() > 0) {
      const std::unique_ptr<jurnal> whole = packed.Unpack();
      EcoCodeOfMoves(*whole).copy(entry.summary.eco, sizeof entry.summary.eco - 1);
      entry.summary.ecoKnown = true;
    } else {
      Summarise(entry);
    }
  }
  if (released)
    *released = std::move(entry.game);
  else
    entry.game.reset();
  if (fits) entry.packed = std::move(packed);
  return fits;
}

bool LetGoUnpacked(TGame& entry, std::unique_ptr<jurnal>* released) {
  if (!entry.game || !entry.summary.known || !entry.summary.ecoKnown) return false;
  if (released)
    *released = std::move(entry.game);
  else
    entry.game.reset();
  return true;
}

int64_t EntryGameCost(const TGame& entry) {
  return (entry.packed.empty() ? 0 : int64_t(entry.packed.MemoryBytes())) +
         (entry.game ? GameMemoryCost(*entry.game) : 0);
}

void GiveBack(MemoryBudget& budget, const TGame& entry) {
  // What was counted: the packed game when there is one (a game unpacked for writing was not).
  const int64_t cost =
      entry.packed.empty() ? (entry.game ? GameMemoryCost(*entry.game) : 0) : int64_t(entry.packed.MemoryBytes());
  if (cost == 0) return;
  HostLockGuard lock;
  budget.used = std::max<int64_t>(0, budget.used - cost);
}

int64_t WideDefaultBudget(int64_t physicalBytes, bool wideAddresses) {
  constexpr int64_t Largest = int64_t(16) << 30;
  if (!wideAddresses || physicalBytes <= 0) return MemoryBudget::DefaultLimit;
  return std::clamp(physicalBytes / 8, MemoryBudget::DefaultLimit, Largest);
}
