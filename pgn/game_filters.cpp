#include "pgn/game_filters.h"

#include "pgn/eco_tags.h"
#include "services/host.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A month or day of at most two characters: digits accumulate, "?" starts again at 0.
bool ReadDatePart(std::string_view text, size_t from, int32_t& value) {
  value = 0;
  for (size_t i = from; i < from + 2 && i < text.size(); ++i) {
    if (IsDigit(text[i]))
      value = value * 10 + (text[i] - '0');
    else if (text[i] == '?')
      value = 0;
    else
      return false;
  }
  return true;
}

bool ResultFilterActive(const TProcessingOptions& o) { return o.resultMask != ResultAll; }
bool DateFilterActive(const TProcessingOptions& o) { return !(o.dateFrom <= 0 && o.dateTo >= 4160000); }
bool EloFilterActive(const TProcessingOptions& o) {
  return !(o.whiteEloFrom <= 0 && o.whiteEloTo >= AnyElo && o.blackEloFrom <= 0 && o.blackEloTo >= AnyElo);
}
bool MoveFilterActive(const TProcessingOptions& o) { return !(o.movesFrom <= 0 && o.movesTo >= 10000); }

// Digits only (empty counts as 0); false for anything else.
bool ReadElo(std::string_view text, int32_t& value) {
  int64_t number = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    if (number < 100000000) number = number * 10 + (c - '0');
  }
  value = int32_t(number);
  return true;
}

}  // namespace

int32_t DateKeyOf(std::string_view text) {
  int32_t year = 0;
  for (size_t i = 0; i < 4 && i < text.size(); ++i) {
    if (!IsDigit(text[i])) return 0;
    year = year * 10 + (text[i] - '0');
  }
  int32_t month = 0, day = 0;
  if (text.size() > 5) {
    if (text[4] != '.' || !ReadDatePart(text, 5, month) || month > 12) return 0;
  }
  if (text.size() > 8) {
    if (text[7] != '.' || !ReadDatePart(text, 8, day) || day > 31) return 0;
  }
  return DateKey(year, month, day);
}

EloValues EloValuesOf(const TGamesTagArray& tags) {
  EloValues elo;
  size_t place = 0;
  for (const TagView tag : tags) {
    if (place++ < RosterSize) continue;
    if (tag.name == "WhiteElo") ReadElo(tag.value, elo.white);
    if (tag.name == "BlackElo") ReadElo(tag.value, elo.black);
  }
  return elo;
}

void CollectedElo::Widen(const EloValues& elo, const TProcessingOptions& options) {
  auto widen = [](EloRange& range, int32_t value, int32_t from, int32_t to) {
    if (value >= from && value < range.minimum) range.minimum = value;
    if (value <= to && value > range.maximum) range.maximum = value;
  };
  widen(white, elo.white, options.whiteEloFrom, options.whiteEloTo);
  widen(black, elo.black, options.blackEloFrom, options.blackEloTo);
}

bool TagFilterPasses(const TGamesTagArray& tags, const TProcessingOptions& o) {
  HostLockGuard lock;
  if (ResultFilterActive(o)) {
    const std::string_view result = TagAt(tags, ResultSlot);
    const uint8_t bit = result == "0-1"       ? ResultBlackWins
                        : result == "1-0"     ? ResultWhiteWins
                        : result == "1/2-1/2" ? ResultDraw
                        : result == "*"       ? ResultUnknown
                                              : ResultOther;
    if (!(o.resultMask & bit)) return false;
  }
  if (DateFilterActive(o)) {
    const int32_t key = DateKeyOf(TagAt(tags, DateSlot));
    if (key < o.dateFrom || key > o.dateTo) return false;
  }
  const std::string_view white = TagAt(tags, WhiteSlot);
  const std::string_view black = TagAt(tags, BlackSlot);
  if (!o.whitePlayer.empty() && white != o.whitePlayer && !(o.ignorePlayerColour && black == o.whitePlayer))
    return false;
  if (!o.blackPlayer.empty() && !o.ignorePlayerColour && black != o.blackPlayer) return false;
  if (EloFilterActive(o)) {
    const EloValues elo = EloValuesOf(tags);
    if (elo.white < o.whiteEloFrom || elo.white > o.whiteEloTo) return false;
    if (elo.black < o.blackEloFrom || elo.black > o.blackEloTo) return false;
  }
  return true;
}

bool MoveCountPasses(const TGame& entry, const TProcessingOptions& o) {
  if (!MoveFilterActive(o)) return true;
  if (!entry.game && !entry.summary.known) return false;
  const int64_t plies = entry.game ? entry.game->movecount() : entry.summary.plies;
  return plies >= 2 * (int64_t(o.movesFrom) - 1) && plies <= 2 * int64_t(o.movesTo);
}

bool EcoFilterPasses(TGame& entry, bool recompute, const TProcessingOptions& o) {
  if (o.ecoOpening.empty()) return true;
  HostLockGuard lock;
  std::string code;
  bool hasTag = false;
  for (size_t i = RosterSize; i <= AfterSetUp && i < entry.tags.size(); ++i)
    hasTag = hasTag || FoldedEqual(entry.tags[i].name, "eco");
  if (hasTag) {
    code = RefreshEcoTag(entry, recompute && o.removeOldEcoTags);  // a recomputed code is kept in the entry's tag
  } else {
    // The tag added for the comparison stays in a copy; the game record is only borrowed.
    TGame copy;
    copy.tags = entry.tags;
    copy.summary = entry.summary;  // a game let go from memory has its code there
    // A game kept packed, read when no code was wanted, is unpacked for the comparison.
    std::unique_ptr<jurnal> unpacked;
    if (!entry.game && !entry.summary.ecoKnown && !entry.packed.empty()) unpacked = entry.packed.Unpack();
    copy.game.reset(entry.game ? entry.game.get() : unpacked.get());
    code = RefreshEcoTag(copy, recompute && o.removeOldEcoTags);
    (void)copy.game.release();
  }
  return code.compare(0, o.ecoOpening.size(), o.ecoOpening) == 0;
}

bool OptionFilters::NeedMoves(bool filtering) const {
  return (filtering && MoveFilterActive(options)) || !options.ecoOpening.empty();
}

bool GameFilterPasses(TGame& entry, const TProcessingOptions& o) {
  return TagFilterPasses(entry.tags, o) && MoveCountPasses(entry, o) && EcoFilterPasses(entry, false, o);
}

std::vector<int32_t> FilterList(TGames& entries, const std::vector<int32_t>& indexes, const TProcessingOptions& o) {
  std::vector<int32_t> kept;
  {
    HostLockGuard lock;
    kept.reserve(indexes.size());
  }
  for (int32_t index : indexes) {
    HostLockGuard lock;
    if (index >= 0 && size_t(index) < entries.size() && GameFilterPasses(entries[size_t(index)], o))
      kept.push_back(index);
  }
  return kept;
}
