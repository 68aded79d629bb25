// ECO classification: a table of opening positions (Polyglot keys) and their ECO codes, loaded
// once from the file the front end names (the plug-in: plugins/ecos.dat beside the host
// program), and the lookup of a game's main line.
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

// The index of an entry with the key, or -1: first and last entries first, then bisection.
int32_t EcoLookup(const ecoinfar& table, int64_t key);

// Reads a table file of 11-byte records (8-byte big-endian key, 3-byte code); an empty table
// when the file cannot be read. Trailing bytes short of a record are ignored.
ecoinfar ReadEcoTable(const std::filesystem::path& file);

// The same from bytes in memory (the table built into the command line).
ecoinfar ParseEcoTable(std::string_view bytes);

// Whether a table read so is one: at least one record, each code a letter A to E and two digits
// (a file of another kind gives records too, with codes that are no codes).
bool HoldsEcoCodes(const ecoinfar& table);

// The library's one table: empty until the first classification loads it from the source
// SetEcoTableSource named (none named: no table); while it is missing, every classification
// tries again. One per process, as a loaded resource is: the table never changes while games
// are classified, only between jobs.
const ecoinfar& EcoTable();
// False when the table surely holds no entry with the key, from a bitmap of the keys' top bits
// built with the table: most positions of a game are no opening position, and are told so
// without a search. Call EcoTable() first.
bool EcoTableMayHold(int64_t key);
// The loaded table made ready for looking up every position of games as they are read: the
// bitmap of EcoTableMayHold, then a hash table of the keys holding, for each, the entry
// EcoLookup finds for it (so a table naming a key twice, or out of order, answers the same).
// A bisection per position that passes the bitmap mispredicts most of its branches; a probe
// does not. Taken once before a run of look-ups (it loads the table when missing); valid while
// that table stays loaded, which a new source, chosen between jobs, ends.
struct EcoSlot {
  int64_t key = 0;
  const std::string* code = nullptr;  // the code of the entry found for the key; null: an empty slot
};
class EcoFinder {
 public:
  EcoFinder();
  bool empty() const { return table == nullptr; }
  // False when the table surely holds no entry with the key (EcoTableMayHold's bitmap).
  bool MayHold(int64_t key) const {
    const uint64_t top = uint64_t(key) >> 48;
    return (filter[top / 64] >> (top % 64)) & 1;
  }
  // Asks for the slot Probe will read first for the key, for a probe a little later. Inline by
  // force: as a call, the optimiser takes it for one without effect and drops it.
  __attribute__((always_inline)) void PrefetchSlot(int64_t key) const {
    __builtin_prefetch(&slots[size_t(key) & mask]);
  }
  // The code of the table's entry with the key, or null: for a key MayHold let pass.
  const std::string* Probe(int64_t key) const {
    for (size_t at = size_t(key) & mask;; at = (at + 1) & mask) {
      const EcoSlot& slot = slots[at];
      if (!slot.code || slot.key == key) return slot.code;
    }
  }
  // The code of the table's entry with the key, or null.
  const std::string* Find(int64_t key) const { return MayHold(key) ? Probe(key) : nullptr; }

 private:
  const uint64_t* filter = nullptr;
  const EcoSlot* slots = nullptr;
  size_t mask = 0;
  const ecoinfar* table = nullptr;
};

// Where the table is read from, and bytes to use when that file is missing (may be empty).
void SetEcoTableSource(const std::filesystem::path& file, std::string_view fallbackBytes = {});
// Forgets the loaded table, so the next classification loads it again.
void ResetEcoTable();
