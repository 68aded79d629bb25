#include "pgn/duplicates.h"

#include <utility>

THash KeyOfGame(const jurnal& game, int32_t entryIndex) {
  THash key;
  game.gamekeys(key.startKey, key.movesKey);
  key.entryIndex = entryIndex;
  key.plies = game.movecount();
  key.keyed = true;
  return key;
}

int CompareKeys(const THash& a, const THash& b) {
  const int64_t am = int64_t(a.movesKey), bm = int64_t(b.movesKey);
  if (am != bm) return am < bm ? -1 : 1;
  const int64_t as = int64_t(a.startKey), bs = int64_t(b.startKey);
  if (as != bs) return as < bs ? -1 : 1;
  if (a.plies != b.plies) return a.plies < b.plies ? -1 : 1;
  return 0;
}

THashes SortedKeys(const THashes& keys) {
  THashes k = keys;
  if (k.size() < 2) return k;
  auto greater = [&](size_t x, size_t y) { return CompareKeys(k[x], k[y]) > 0; };
  // The ranges still to sort; disjoint, so the order they are taken in does not matter.
  std::vector<std::pair<size_t, size_t>> ranges{{0, k.size() - 1}};
  while (!ranges.empty()) {
    auto [lo, hi] = ranges.back();
    ranges.pop_back();
    if (hi == lo + 1) {
      if (greater(lo, hi)) std::swap(k[lo], k[hi]);
      continue;
    }
    size_t i = lo + 1, j = hi;
    while (i <= j) {
      while (i <= j && !greater(i, lo)) ++i;
      while (j >= i && greater(j, lo)) --j;
      if (i < j) {
        std::swap(k[i], k[j]);
        ++i;
        --j;
      }
    }
    if (i == lo + 1) {  // every other record is greater than the pivot
      ranges.push_back({lo + 1, hi});
      continue;
    }
    std::swap(k[lo], k[j]);
    if (lo + 1 < j) ranges.push_back({lo, j - 1});
    if (i < hi) ranges.push_back({i, hi});
  }
  return k;
}

int32_t FindKey(const THashes& sorted, const THash& key) {
  const int32_t n = int32_t(sorted.size());
  if (n == 0 || CompareKeys(key, sorted[0]) < 0) return -1;
  if (CompareKeys(key, sorted[0]) == 0) return 0;
  if (n == 1) return -1;
  const int last = CompareKeys(key, sorted[size_t(n) - 1]);
  if (last > 0) return -1;
  if (last == 0) return n - 1;
  int32_t low = 0, high = n - 1;
  while (high > low + 1) {
    const int32_t middle = (low + high) / 2;
    const int c = CompareKeys(key, sorted[size_t(middle)]);
    if (c == 0) return middle;
    if (c > 0)
      low = middle;
    else
      high = middle;
  }
  return -1;
}
