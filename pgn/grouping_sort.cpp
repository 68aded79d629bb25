#include "pgn/grouping_sort.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "pgn/eco_tags.h"
#include "pgn/entry_prefetch.h"
#include "services/host.h"

namespace {

int ResultRank(std::string_view result) {
  if (result == "0-1") return 0;
  if (result == "1/2-1/2") return 1;
  if (result == "1-0") return 2;
  if (result == "*") return 3;
  return 4;
}

// One sort of a list of entry indexes with the phase the player split is in.
class Sorter {
 public:
  Sorter(TGames& e, SplitWork& w, const TProcessingOptions& o, const std::atomic<bool>* s, std::atomic<int32_t>* p)
      : entries(e), work(w), options(o), stop(s), progress(p) {}

  bool blackPhase = false;
  bool secondPhase = false;
  bool fastTies = true;

  // Whether anything would order the games at all in the current phase.
  bool Needed() const {
    const TProcessingOptions& o = options;
    if (!secondPhase && (o.splitByWhite || o.splitByBlack || o.splitByPlayer)) return true;
    return o.splitDateLevel != DateSplit::None || o.splitByTournament || o.splitWhiteEloParts > 1 ||
           o.splitBlackEloParts > 1 || o.splitByResult || o.splitEcoLevel != EcoSplit::None || o.splitByOpening;
  }

  // Sorts positions lo..hi of the list: a quicksort with the middle element as pivot for
  // ranges of more than 20, run without recursion.
  void Sort(std::vector<int32_t>& list, size_t lo, size_t hi) {
    std::vector<std::pair<size_t, size_t>> ranges{{lo, hi}};
    while (!ranges.empty()) {
      if (stop && stop->load()) return;
      auto [l, h] = ranges.back();
      ranges.pop_back();
      if (h == l + 1) {
        if (Before(list, h, l)) std::swap(list[l], list[h]);
        Count(2);
        continue;
      }
      if (fastTies && AllTied(list, l, h)) {
        // Games told apart only by where they stand: each partition would peel off just its
        // pivot, so the same steps are taken here directly, in time linear in the range.
        for (size_t k = l; h - k >= 2; ++k) {
          if (stop && stop->load()) return;
          if (h - k > 20) std::swap(list[k], list[(k + h) / 2]);
          Count(1);
        }
        Count(2);
        continue;
      }
      if (h - l > 20) std::swap(list[l], list[(l + h) / 2]);
      size_t i = l + 1, j = h;
      while (i <= j) {
        {
          HostLockGuard lock;
          while (i <= j && Before(list, i, l)) ++i;
          while (j >= i && Before(list, l, j)) --j;
        }
        if (i < j) {
          std::swap(list[i], list[j]);
          ++i;
          --j;
        }
      }
      Count(1);
      if (i == l + 1) {
        ranges.push_back({l + 1, h});
        continue;
      }
      std::swap(list[l], list[j]);
      if (l + 1 < j)
        ranges.push_back({l, j - 1});
      else if (l + 1 == j)
        Count(1);
      if (i < h)
        ranges.push_back({i, h});
      else if (i == h)
        Count(1);
    }
  }

  // The first letters of every listed entry's ECO code that the split uses (at most three),
  // each packed into a number that orders as the text does: the bytes, zero-padded, then the
  // length. Found once, before any comparison.
  void FindEcoPrefixes(const std::vector<int32_t>& list) {
    if (options.splitEcoLevel == EcoSplit::None) return;
    ecoPrefixes.assign(entries.size(), 0);
    for (size_t p = 0; p < list.size(); ++p) {
      PrefetchEntries(entries, list, p);
      const int32_t index = list[p];
      if (index < 0 || size_t(index) >= entries.size()) continue;
      const std::string code = EcoCode(entries[size_t(index)]);
      const size_t length = std::min<size_t>({code.size(), EcoPartLength(options.splitEcoLevel), 3});
      uint32_t prefix = uint32_t(length);
      for (size_t k = 0; k < length; ++k) prefix |= uint32_t(static_cast<unsigned char>(code[k])) << (24 - 8 * k);
      ecoPrefixes[size_t(index)] = prefix;
    }
  }

  // The rank of every listed entry's White and Black name among all those names, in the byte
  // order of the names (equal names, equal ranks), so that comparisons need not reach the tags.
  // Found once, before any comparison.
  void FindPlayerRanks(const std::vector<int32_t>& list) {
    const TProcessingOptions& o = options;
    if (!o.splitByWhite && !o.splitByBlack && !o.splitByPlayer) return;
    struct Name {
      uint64_t head;  // the first eight bytes, zero-padded, as a number that orders as they do
      std::string_view text;
      uint32_t* rank;
    };
    playerRanks.assign(entries.size(), PlayerRanks{});
    std::vector<Name> names;
    names.reserve(2 * list.size());
    auto add = [&](std::string_view text, uint32_t* rank) {
      uint64_t head = 0;
      for (size_t k = 0; k < 8; ++k) head = (head << 8) | (k < text.size() ? static_cast<unsigned char>(text[k]) : 0u);
      names.push_back(Name{head, text, rank});
    };
    for (size_t p = 0; p < list.size(); ++p) {
      PrefetchEntries(entries, list, p);
      const int32_t index = list[p];
      if (index < 0 || size_t(index) >= entries.size()) continue;
      const TGame& game = entries[size_t(index)];
      add(TagAt(game, WhiteSlot), &playerRanks[size_t(index)].white);
      add(TagAt(game, BlackSlot), &playerRanks[size_t(index)].black);
    }
    std::sort(names.begin(), names.end(),
              [](const Name& a, const Name& b) { return a.head != b.head ? a.head < b.head : a.text < b.text; });
    uint32_t rank = 0;
    for (size_t k = 0; k < names.size(); ++k) {
      if (k > 0 && names[k].text != names[k - 1].text) ++rank;
      *names[k].rank = rank;
    }
  }

 private:
  // Whether every game of positions l..h is told apart from the first only by its position:
  // the comparison below, stopped where it would fall back on positions.
  bool AllTied(const std::vector<int32_t>& list, size_t l, size_t h) const {
    const TProcessingOptions& o = options;
    if (secondPhase) return false;
    const bool byWhite = o.splitByWhite || (o.splitByPlayer && !blackPhase);
    const bool byBlack = o.splitByBlack || blackPhase;
    // Only the player phases break ties by position.
    if (!(byWhite && o.splitByPlayer) && !(byBlack && blackPhase)) return false;
    const PlayerRanks& first = playerRanks[size_t(list[l])];
    for (size_t k = l + 1; k <= h; ++k) {
      const PlayerRanks& g = playerRanks[size_t(list[k])];
      if (byWhite) {
        if (g.white != first.white) return false;
        if (o.splitByPlayer) continue;
      }
      if (byBlack) {
        if (g.black != first.black) return false;
        if (blackPhase) continue;
      }
      return false;
    }
    return true;
  }

  void Count(int32_t n) {
    if (progress) progress->fetch_add(n);
  }

  // -1, 0 or 1 as a compares with b.
  template <typename T>
  static int Compare(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
  }

  // Whether the game at position a of the list comes before the one at position b.
  bool Before(const std::vector<int32_t>& list, size_t a, size_t b) {
    const TProcessingOptions& o = options;
    const size_t x = size_t(list[a]), y = size_t(list[b]);
    TGame& gx = entries[x];
    TGame& gy = entries[y];
    int c;
    if (!secondPhase && (o.splitByWhite || (o.splitByPlayer && !blackPhase))) {
      if ((c = Compare(playerRanks[x].white, playerRanks[y].white))) return c < 0;
      if (o.splitByPlayer) return a < b;
    }
    if (!secondPhase && (o.splitByBlack || blackPhase)) {
      if ((c = Compare(playerRanks[x].black, playerRanks[y].black))) return c < 0;
      if (blackPhase) return a < b;
    }
    if (o.splitDateLevel != DateSplit::None && (c = Compare(work.dateKeys[x], work.dateKeys[y]))) return c < 0;
    if (o.splitByTournament && (c = Compare(TagAt(gx, EventSlot), TagAt(gy, EventSlot)))) return c < 0;
    if (o.splitByOpening && (c = Compare(OpeningTag(gx), OpeningTag(gy)))) return c < 0;
    const bool whiteBands = o.splitWhiteEloParts > 1 && work.whiteBands.size() >= 2;
    const bool blackBands = o.splitBlackEloParts > 1 && work.blackBands.size() >= 2;
    auto bandOf = [](const std::vector<int32_t>& table, int32_t elo) {
      return (elo - table[0]) / (table[1] - table[0]);
    };
    if (whiteBands &&
        (c = Compare(bandOf(work.whiteBands, work.elo[x].white), bandOf(work.whiteBands, work.elo[y].white))))
      return c < 0;
    if (blackBands &&
        (c = Compare(bandOf(work.blackBands, work.elo[x].black), bandOf(work.blackBands, work.elo[y].black))))
      return c < 0;
    if (o.splitByResult && (c = Compare(ResultRank(TagAt(gx, ResultSlot)), ResultRank(TagAt(gy, ResultSlot)))))
      return c < 0;
    if (o.splitEcoLevel != EcoSplit::None && (c = Compare(ecoPrefixes[x], ecoPrefixes[y]))) return c < 0;
    if (whiteBands && (c = Compare(work.elo[x].white, work.elo[y].white))) return c < 0;
    if (blackBands && (c = Compare(work.elo[x].black, work.elo[y].black))) return c < 0;
    return x < y;
  }

  TGames& entries;
  SplitWork& work;
  const TProcessingOptions& options;
  const std::atomic<bool>* stop;
  std::atomic<int32_t>* progress;
  std::vector<uint32_t> ecoPrefixes;  // per entry index
  struct PlayerRanks {
    uint32_t white = 0;
    uint32_t black = 0;
  };
  std::vector<PlayerRanks> playerRanks;  // per entry index
};

}  // namespace

void SortForOutput(TGames& entries, const std::vector<int32_t>& selection, std::vector<int32_t>& result,
                   SplitWork& work, const TProcessingOptions& options, const std::atomic<bool>* stop,
                   std::atomic<int32_t>* progress, bool stepByStep) {
  Sorter sorter(entries, work, options, stop, progress);
  sorter.fastTies = !stepByStep;
  {
    HostLockGuard lock;
    result = selection;
    if (progress) progress->store(0);
  }
  {
    HostLockGuard lock;
    PrepareSplit(work, entries, selection, options);
  }
  if (result.size() >= 2 && sorter.Needed()) {
    {
      HostLockGuard lock;
      sorter.FindEcoPrefixes(selection);
      sorter.FindPlayerRanks(selection);
    }
    sorter.Sort(result, 0, result.size() - 1);
  }
  if (!options.splitByPlayer || (stop && stop->load())) return;

  const std::vector<int32_t> whites = result;
  {
    HostLockGuard lock;
    result.clear();
    for (int32_t index : selection)
      if (TagAt(entries[size_t(index)], WhiteSlot) != TagAt(entries[size_t(index)], BlackSlot)) result.push_back(index);
  }
  sorter.blackPhase = true;
  if (progress) progress->store(0);
  if (result.size() >= 2 && sorter.Needed()) sorter.Sort(result, 0, result.size() - 1);
  if (stop && stop->load()) return;

  const std::vector<int32_t> blacks = result;
  sorter.secondPhase = true;
  result.clear();
  result.reserve(whites.size() + blacks.size());
  work.groups.clear();
  size_t w = 0, b = 0;
  auto white = [&](size_t k) -> std::string_view { return TagAt(entries[size_t(whites[k])], WhiteSlot); };
  auto black = [&](size_t k) -> std::string_view { return TagAt(entries[size_t(blacks[k])], BlackSlot); };
  while (w < whites.size() || b < blacks.size()) {
    if (stop && stop->load()) return;
    PlayerGroup group;
    group.start = result.size();
    if (w >= whites.size() || (b < blacks.size() && black(b) < white(w))) {
      group.name = black(b);
      while (b < blacks.size() && black(b) == group.name) result.push_back(blacks[b++]);
    } else {
      group.name = white(w);
      while (w < whites.size() && white(w) == group.name) result.push_back(whites[w++]);
      while (b < blacks.size() && black(b) == group.name) result.push_back(blacks[b++]);
    }
    const size_t end = result.size();
    work.groups.push_back(group);
    if (end - group.start >= 2 && sorter.Needed()) sorter.Sort(result, group.start, end - 1);
  }
}
