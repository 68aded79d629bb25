#include "pgn/kept_keys.h"

#include <mutex>

namespace {

uint64_t Mix(uint64_t startKey, uint64_t movesKey, int32_t plies) {
  uint64_t x = movesKey ^ (startKey * 0x9E3779B97F4A7C15ULL) ^ (uint64_t(uint32_t(plies)) << 32);
  x ^= x >> 31;
  x *= 0xBF58476D1CE4E5B9ULL;
  return x ^ (x >> 29);
}

}  // namespace

void KeptKeys::Add(const THash& key) {
  if (!key.keyed) return;
  std::unique_lock lock(mutex);
  mixed.insert(Mix(key.startKey, key.movesKey, key.plies));
}

bool KeptKeys::Holds(const TGameSummary& summary) const {
  if (!summary.known) return false;
  const uint64_t key = Mix(summary.startKey, summary.movesKey, summary.plies);
  std::shared_lock lock(mutex);
  return mixed.count(key) > 0;
}
