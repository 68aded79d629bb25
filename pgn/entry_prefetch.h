// Asking for the records of the next entries of a list ahead of their use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pgn/pgn_types.h"

// A pass over entries in the order of a list (the sorted order of writing above all) finds each
// one's tags and moves anywhere in memory, and would wait for every one of them. While the entry
// at `p` is worked on, the records of the next few are asked for, each step using what an earlier
// one brought: the entry, then its tags and game record, then its first moves. (Inlined by
// force: a call to a function that only prefetches is taken for one without effect and dropped.)
[[gnu::always_inline]] inline void PrefetchEntries(const TGames& entries, const std::vector<int32_t>& order, size_t p) {
  auto entryAt = [&](size_t q) -> const TGame* {
    if (q >= order.size() || order[q] < 0 || size_t(order[q]) >= entries.size()) return nullptr;
    return &entries[size_t(order[q])];
  };
  if (const TGame* later = entryAt(p + 6)) __builtin_prefetch(later);
  if (const TGame* soon = entryAt(p + 3)) {
    __builtin_prefetch(soon->tags.Bytes());
    __builtin_prefetch(soon->game.get());
  }
  if (const TGame* next = entryAt(p + 1); next && next->game) {
    const char* moves = reinterpret_cast<const char*>(next->game->moves.data());
    for (size_t at = 0; at < 4 * 64; at += 64) __builtin_prefetch(moves + at);
  }
}
