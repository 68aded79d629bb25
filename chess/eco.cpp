#include "chess/eco.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <mutex>

namespace {

constexpr size_t RecordSize = 11;

// Bits of the filter: one per value of a key's top bits.
constexpr int FilterBits = 16;

struct TableState {
  // Games may be classified on several threads at once; the table is loaded by one of them, and
  // once loaded it changes only when another source is chosen, between jobs.
  std::mutex loading;
  ecoinfar table;
  std::vector<uint64_t> filter;  // bit k set when an entry's key has top bits k
  std::vector<EcoSlot> slots;    // EcoFinder's hash table: a power of two, at most half full
  bool sourceSet = false;
  std::filesystem::path file;
  std::string fallback;
};

TableState& State() {
  static TableState state;
  return state;
}

}  // namespace

int32_t EcoLookup(const ecoinfar& table, int64_t key) {
  const int32_t n = int32_t(table.size());
  if (n == 0 || key < table[0].key) return -1;
  if (key == table[0].key) return 0;
  if (n == 1) return -1;
  if (key > table[size_t(n) - 1].key) return -1;
  if (key == table[size_t(n) - 1].key) return n - 1;
  int32_t lo = 0, hi = n - 1;
  while (hi > lo + 1) {
    const int32_t mid = (lo + hi) / 2;
    const int64_t here = table[size_t(mid)].key;
    if (key == here) return mid;
    if (key > here)
      lo = mid;
    else
      hi = mid;
  }
  return -1;
}

// Read with a stream of its own, not readfile: the table is loaded under its own lock, and
// readfile takes the host's lock, which a job holds while it classifies games (two locks taken
// in both orders could deadlock).
ecoinfar ReadEcoTable(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return {};
  return ParseEcoTable(bytes);
}

ecoinfar ParseEcoTable(std::string_view bytes) {
  ecoinfar table(bytes.size() / RecordSize);
  for (size_t i = 0; i < table.size(); ++i) {
    const std::string_view record = bytes.substr(i * RecordSize, RecordSize);
    uint64_t key = 0;
    for (int b = 0; b < 8; ++b) key = (key << 8) | uint8_t(record[size_t(b)]);
    table[i].key = int64_t(key);
    table[i].code.assign(record.substr(8, 3));
  }
  return table;
}

bool HoldsEcoCodes(const ecoinfar& table) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return !table.empty() && std::all_of(table.begin(), table.end(), [&](const ecoinfo& entry) {
    const std::string& c = entry.code;
    return c.size() == 3 && c[0] >= 'A' && c[0] <= 'E' && digit(c[1]) && digit(c[2]);
  });
}

namespace {

// The loaded table, or null while there is none; loads it when it is missing. The answer is
// taken under the lock, and a table once loaded is not written again while games are being
// classified (only a new source, chosen between jobs, replaces it): so threads classifying at
// once never read the table while another writes it.
const ecoinfar* LoadedTable() {
  TableState& s = State();
  std::lock_guard lock(s.loading);
  if (s.table.empty()) {
    if (!s.sourceSet) return nullptr;
    ecoinfar table = ReadEcoTable(s.file);
    if (table.empty() && !s.fallback.empty()) table = ParseEcoTable(s.fallback);
    if (table.empty()) return nullptr;
    s.filter.assign((size_t(1) << FilterBits) / 64, 0);
    for (const ecoinfo& entry : table) {
      const uint64_t top = uint64_t(entry.key) >> (64 - FilterBits);
      s.filter[top / 64] |= uint64_t(1) << (top % 64);
    }
    size_t size = 16;
    while (size < 2 * table.size()) size *= 2;
    s.table = std::move(table);  // the slots point into the table where it stays
    s.slots.assign(size, EcoSlot{});
    for (const ecoinfo& entry : s.table) {
      // The entry EcoLookup answers for the key, if it finds one at all.
      const int32_t found = EcoLookup(s.table, entry.key);
      if (found < 0) continue;
      size_t at = size_t(entry.key) & (size - 1);
      while (s.slots[at].code && s.slots[at].key != entry.key) at = (at + 1) & (size - 1);
      s.slots[at] = EcoSlot{entry.key, &s.table[size_t(found)].code};
    }
  }
  return &s.table;
}

}  // namespace

const ecoinfar& EcoTable() {
  static const ecoinfar none;
  const ecoinfar* table = LoadedTable();
  return table ? *table : none;
}

static_assert(FilterBits == 16, "EcoFinder::Find takes the top 16 bits");

EcoFinder::EcoFinder() {
  const ecoinfar* loaded = LoadedTable();
  if (!loaded) return;
  TableState& s = State();
  filter = s.filter.data();
  slots = s.slots.data();
  mask = s.slots.size() - 1;
  table = loaded;
}

bool EcoTableMayHold(int64_t key) {
  const TableState& s = State();
  if (s.filter.empty()) return true;
  const uint64_t top = uint64_t(key) >> (64 - FilterBits);
  return (s.filter[top / 64] >> (top % 64)) & 1;
}

void SetEcoTableSource(const std::filesystem::path& file, std::string_view fallbackBytes) {
  TableState& s = State();
  std::lock_guard lock(s.loading);
  s.sourceSet = true;
  s.file = file;
  s.fallback.assign(fallbackBytes);
  s.table.clear();
  s.filter.clear();
  s.slots.clear();
}

void ResetEcoTable() {
  TableState& s = State();
  std::lock_guard lock(s.loading);
  s.table.clear();
  s.filter.clear();
  s.slots.clear();
}
