// ECO classification: a table of opening positions (Polyglot keys) and their ECO codes, loaded
// once from plugins/ecos.dat beside the host program, and the lookup of a game's main line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct ecoinfo {
  std::string code;  // three characters, such as "B20"
  int64_t key = 0;   // the position key, compared as a signed number
};

// Sorted by key as signed 64-bit numbers.
using ecoinfar = std::vector<ecoinfo>;

namespace detail {
// EcoLookup's search over `n` keys given by `keyAt(i)`.
template <class KeyAt>
int32_t BisectEcoKeys(int32_t n, int64_t key, KeyAt keyAt) {
  if (n == 0 || key < keyAt(0)) return -1;
  if (key == keyAt(0)) return 0;
  if (n == 1) return -1;
  if (key > keyAt(n - 1)) return -1;
  if (key == keyAt(n - 1)) return n - 1;
  int32_t lo = 0, hi = n - 1;
  while (hi > lo + 1) {
    const int32_t mid = (lo + hi) / 2;
    const int64_t here = keyAt(mid);
    if (key == here) return mid;
    if (key > here)
      lo = mid;
    else
      hi = mid;
  }
  return -1;
}
}  // namespace detail

// The index of an entry with the key, or -1: first and last entries first, then bisection.
int32_t EcoLookup(const ecoinfar& table, int64_t key);

// Reads a table file of 11-byte records (8-byte big-endian key, 3-byte code); an empty table
// when the file cannot be read. Trailing bytes short of a record are ignored.
ecoinfar ReadEcoTable(const std::filesystem::path& file);

// The same from bytes in memory (the table built into the command line).
ecoinfar ParseEcoTable(std::string_view bytes);

// The library's one table: empty until the first classification loads it from the table file
// (by default plugins/ecos.dat in the host program's folder); while it is missing, every
// classification tries again.
const ecoinfar& EcoTable();
// False when the table surely holds no entry with the key, from a bitmap of the keys' top bits
// built with the table: most positions of a game are no opening position, and are told so
// without a search. Call EcoTable() first.
bool EcoTableMayHold(int64_t key);
// The loaded table made ready for looking up every position of games as they are read: the
// bitmap of EcoTableMayHold and the keys alone, in the table's order, found the way EcoLookup
// finds them. Taken once before a run of look-ups (it loads the table when missing); valid while
// that table stays loaded, which a new source, chosen between jobs, ends.
class EcoFinder {
 public:
  EcoFinder();
  bool empty() const { return count == 0; }
  // The code of the table's entry with the key, or null.
  const std::string* Find(int64_t key) const {
    const uint64_t top = uint64_t(key) >> 48;
    if (!((filter[top / 64] >> (top % 64)) & 1)) return nullptr;
    const int32_t found = detail::BisectEcoKeys(int32_t(count), key, [this](int32_t i) { return keys[i]; });
    return found < 0 ? nullptr : &(*table)[size_t(found)].code;
  }

 private:
  const uint64_t* filter = nullptr;
  const int64_t* keys = nullptr;
  size_t count = 0;
  const ecoinfar* table = nullptr;
};

// Where the table is read from, and bytes to use when that file is missing (may be empty).
void SetEcoTableSource(const std::filesystem::path& file, std::string_view fallbackBytes = {});
// Forgets the loaded table, so the next classification loads it again.
void ResetEcoTable();
