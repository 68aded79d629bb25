#include "job/key_index.h"

namespace {

size_t SlotOf(const THash& key, size_t mask) {
  const uint64_t mixed = key.movesKey ^ (key.startKey * 0x9E3779B97F4A7C15ULL) ^ uint64_t(uint32_t(key.plies));
  return size_t(mixed ^ (mixed >> 29)) & mask;
}

}  // namespace

void KeyIndex::Clear() {
  slots.clear();
  used = 0;
  covered = 0;
}

void KeyIndex::CatchUp(const THashes& keys) {
  if (covered > keys.size()) Clear();  // the array was replaced behind the index's back
  for (; covered < keys.size(); ++covered)
    if (keys[covered].keyed) Insert(keys, uint32_t(covered));
}

bool KeyIndex::Holds(const THashes& keys, const THash& key) const {
  if (slots.empty()) return false;
  const size_t mask = slots.size() - 1;
  for (size_t at = SlotOf(key, mask);; at = (at + 1) & mask) {
    const uint32_t slot = slots[at];
    if (slot == 0) return false;
    if (SameKey(keys[slot - 1], key)) return true;
  }
}

void KeyIndex::Insert(const THashes& keys, uint32_t place) {
  if (2 * (used + 1) > slots.size()) Grow(keys);
  const size_t mask = slots.size() - 1;
  size_t at = SlotOf(keys[place], mask);
  while (slots[at] != 0) at = (at + 1) & mask;
  slots[at] = place + 1;
  ++used;
}

void KeyIndex::Grow(const THashes& keys) {
  std::vector<uint32_t> old;
  old.swap(slots);
  slots.assign(old.empty() ? 1024 : 2 * old.size(), 0);
  const size_t mask = slots.size() - 1;
  for (const uint32_t slot : old) {
    if (slot == 0) continue;
    size_t at = SlotOf(keys[slot - 1], mask);
    while (slots[at] != 0) at = (at + 1) & mask;
    slots[at] = slot;
  }
}
