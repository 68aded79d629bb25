#include "pgn/output_split.h"

#include <algorithm>

#include "io/codepage.h"
#include "pgn/eco_tags.h"

namespace {

std::string_view Event(const TGame& g) { return TagAt(g, EventSlot); }
std::string_view White(const TGame& g) { return TagAt(g, WhiteSlot); }
std::string_view Black(const TGame& g) { return TagAt(g, BlackSlot); }
std::string_view Result(const TGame& g) { return TagAt(g, ResultSlot); }

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// The zero-padded decimal text of a number.
std::u16string Padded(int32_t value, size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return Ascii(digits);
}

// A file-name part from tag bytes.
std::u16string TagPart(std::string_view value) {
#ifdef _WIN32
  constexpr bool windows = true;
#else
  constexpr bool windows = false;
#endif
  return SafeNamePart(BytesToUtf16(value), windows);
}

bool IsReservedDeviceName(const std::u16string& text) {
  // The part before any extension, compared without case.
  std::u16string stem = text.substr(0, text.find(u'.'));
  for (char16_t& c : stem)
    if (c >= u'a' && c <= u'z') c = char16_t(c - 32);
  static const char16_t* const names[] = {u"CON", u"PRN", u"AUX", u"NUL"};
  for (const char16_t* name : names)
    if (stem == name) return true;
  if (stem.size() == 4 && (stem.compare(0, 3, u"COM") == 0 || stem.compare(0, 3, u"LPT") == 0) && stem[3] >= u'1' &&
      stem[3] <= u'9')
    return true;
  return false;
}

}  // namespace

std::vector<int32_t> EloBandTable(int32_t parts, const EloRange& range) {
  std::vector<int32_t> table;
  const int32_t lo = range.minimum, hi = range.maximum;
  if (parts <= 1 || lo > hi) return table;  // no rating inside the filter's bounds
  if (parts < hi - lo + 1) {
    table.push_back(lo);
    for (int32_t k = 1; k <= parts; ++k)
      table.push_back(int32_t((int64_t(lo) * (parts - k) + int64_t(k) * hi) / parts + 1));
  } else {
    for (int32_t b = lo; b <= hi + 1; ++b) table.push_back(b);
  }
  return table;
}

size_t BandIndex(const std::vector<int32_t>& table, int32_t elo) {
  if (table.size() < 2) return 0;
  for (size_t i = 0; i + 1 < table.size(); ++i)
    if (elo < table[i]) return i == 0 ? 1 : i;  // below the table: the first band
  return table.size() - 1;
}

void PrepareSplit(SplitWork& work, const TGames& entries, const std::vector<int32_t>& selection,
                  const TProcessingOptions& options) {
  if (options.splitWhiteEloParts > 1 || options.splitBlackEloParts > 1) {
    work.elo.assign(entries.size(), EloValues{});
    CollectedElo collected;
    for (int32_t index : selection)
      if (index >= 0 && size_t(index) < entries.size()) {
        const EloValues elo = EloValuesOf(entries[size_t(index)].tags);
        work.elo[size_t(index)] = elo;
        collected.Widen(elo, options);
      }
    work.whiteBands = EloBandTable(options.splitWhiteEloParts, collected.white);
    work.blackBands = EloBandTable(options.splitBlackEloParts, collected.black);
  }
  if (options.splitDateLevel != DateSplit::None) {
    work.dateKeys.assign(entries.size(), 0);
    for (int32_t index : selection)
      if (index >= 0 && size_t(index) < entries.size())
        work.dateKeys[size_t(index)] = DateKeyOf(TagAt(entries[size_t(index)], DateSlot));
  }
}

namespace {

// Whether the game at position p belongs to another group of the splits by value than the one
// before it.
bool BeginsNewGroup(SplitWork& work, TGames& entries, const std::vector<int32_t>& order, size_t p,
                    const TProcessingOptions& o) {
  if (p == 0) return true;
  const size_t gi = size_t(order[p]), fi = size_t(order[p - 1]);
  TGame& g = entries[gi];
  TGame& f = entries[fi];
  if (o.splitEcoLevel != EcoSplit::None) {
    const size_t n = EcoPartLength(o.splitEcoLevel);
    // The previous game's prefix is usually the one found for it at the previous position:
    // nothing written changes its tags.
    const std::string previous = work.ecoPrefixOf == fi ? work.ecoPrefix : EcoCode(f).substr(0, n);
    work.ecoPrefix = EcoCode(g).substr(0, n);
    work.ecoPrefixOf = gi;
    if (work.ecoPrefix != previous) return true;
  }
  if (o.splitByResult && Result(g) != Result(f)) return true;
  // A new Elo file begins where the previous game lies below the band of this one. Without a
  // band table (no rating inside the filter's bounds) all games share one file.
  auto eloBreak = [&](const std::vector<int32_t>& table, int32_t gElo, int32_t fElo) {
    if (table.size() < 2 || gElo == fElo) return false;
    return fElo < table[BandIndex(table, gElo) - 1];
  };
  if (o.splitBlackEloParts > 1 && eloBreak(work.blackBands, work.elo[gi].black, work.elo[fi].black)) return true;
  if (o.splitWhiteEloParts > 1 && eloBreak(work.whiteBands, work.elo[gi].white, work.elo[fi].white)) return true;
  if (o.splitByTournament && Event(g) != Event(f)) return true;
  if (o.splitByOpening && OpeningTag(g) != OpeningTag(f)) return true;
  if (o.splitDateLevel != DateSplit::None) {
    const int32_t a = work.dateKeys[gi], b = work.dateKeys[fi];
    if (a != b) {
      if (o.splitDateLevel == DateSplit::Year && a / 416 != b / 416) return true;
      if (o.splitDateLevel == DateSplit::Month && a / 32 != b / 32) return true;
      if (o.splitDateLevel >= DateSplit::Day) return true;
    }
  }
  if (o.splitByPlayer) {
    while (work.currentGroup < work.groups.size() && p > work.groups[work.currentGroup].start) ++work.currentGroup;
    return work.currentGroup < work.groups.size() && work.groups[work.currentGroup].start == p;
  }
  return (o.splitByBlack && Black(g) != Black(f)) || (o.splitByWhite && White(g) != White(f));
}

}  // namespace

bool BeginsNewFile(SplitWork& work, TGames& entries, const std::vector<int32_t>& order, size_t p,
                   const TProcessingOptions& o) {
  const bool newGroup = BeginsNewGroup(work, entries, order, p, o);
  if (o.gamesPerFile <= 0) return newGroup;
  // Parts are numbered within each group, from 1.
  if (newGroup) {
    work.part = 1;
    work.gamesInPart = 1;
    return true;
  }
  if (work.gamesInPart >= o.gamesPerFile) {
    ++work.part;
    work.gamesInPart = 1;
    return true;
  }
  ++work.gamesInPart;
  return false;
}

std::u16string SafeNamePart(const std::u16string& text, bool windowsRules) {
  std::u16string safe = text;
  for (char16_t& c : safe) {
    // Control characters are no part of a name anyone can type or see.
    const bool control = c < 32 || c == 0x7F;
    const bool forbidden = control || (windowsRules ? (c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'/' ||
                                                       c == u'\\' || c == u'|' || c == u'?' || c == u'*')
                                                    : c == u'/');
    if (forbidden) c = u'_';
  }
  if (windowsRules) {
    if (!safe.empty() && (safe.back() == u'.' || safe.back() == u' ')) safe.back() = u'_';
    if (IsReservedDeviceName(safe)) safe.insert(0, 1, u'_');
  }
  return safe;
}

std::filesystem::path OutputFileName(SplitWork& work, const std::u16string& base, TGames& entries,
                                     const std::vector<int32_t>& order, size_t p, const TProcessingOptions& o,
                                     int32_t pathLength, std::string_view extension) {
  const std::u16string ending(extension.begin(), extension.end());  // ASCII
  const size_t index = size_t(order[p]);
  TGame& g = entries[index];
  std::u16string name = base;
  if (o.splitByPlayer) {
    // The last group starting at or before p (the groups come in the order of their starts).
    const auto after =
        std::upper_bound(work.groups.begin(), work.groups.end(), p,
                         [](size_t position, const PlayerGroup& group) { return position < group.start; });
    const PlayerGroup* group = after == work.groups.begin() ? nullptr : &*(after - 1);
    name += u"_player=" + (group ? TagPart(group->name) : std::u16string());
  } else {
    if (o.splitByWhite) name += u"_white=" + TagPart(White(g));
    if (o.splitByBlack) name += u"_black=" + TagPart(Black(g));
  }
  if (o.splitDateLevel != DateSplit::None) {
    const int32_t key = work.dateKeys[index];
    const int32_t year = DateYear(key), month = DateMonth(key), day = DateDay(key);
    name += u"_date=" + (year ? Padded(year, 4) : std::u16string(u"yyyy"));
    if (o.splitDateLevel >= DateSplit::Month) name += u"_" + (month ? Padded(month, 2) : std::u16string(u"mm"));
    if (o.splitDateLevel >= DateSplit::Day) name += u"_" + (day ? Padded(day, 2) : std::u16string(u"dd"));
  }
  if (o.splitByTournament) name += u"_tournament=" + TagPart(Event(g));
  if (o.splitByOpening) {
    const std::string_view opening = OpeningTag(g);
    name += u"_opening=" + (opening.empty() ? std::u16string(u"unknown") : TagPart(opening));
  }
  auto band = [](const std::vector<int32_t>& table, int32_t elo) {
    if (table.size() < 2) return std::u16string(u"outside-filter");
    const size_t i = BandIndex(table, elo);
    return Padded(table[i - 1], 1) + u"-" + Padded(table[i], 1);
  };
  if (o.splitWhiteEloParts > 1) name += u"_welo=" + band(work.whiteBands, work.elo[index].white);
  if (o.splitBlackEloParts > 1) name += u"_belo=" + band(work.blackBands, work.elo[index].black);
  if (o.splitByResult) {
    const std::string_view result = Result(g);
    name += result == "1-0"       ? u"_res=whitewin"
            : result == "0-1"     ? u"_res=blackwin"
            : result == "1/2-1/2" ? u"_res=draw"
                                  : u"_res=unknown";
  }
  if (o.splitEcoLevel != EcoSplit::None)
    name += u"_eco=" + TagPart(EcoCode(g).substr(0, EcoPartLength(o.splitEcoLevel)));
  if (o.gamesPerFile > 0) name += u"_part=" + Padded(work.part, 4);
  if (int32_t(name.size()) >= pathLength - int32_t(ending.size())) {
    ++work.fileNameCounter;
    const std::u16string counter = Padded(work.fileNameCounter, 1);
    const int32_t keep = pathLength - int32_t(ending.size()) - int32_t(counter.size());
    name.resize(size_t(keep > 0 ? keep : 0));
    name += counter;
  }
  const bool split = name.size() > base.size();
  name += ending;
  // A name the user gave is theirs (a system that refuses it says so); parts added from tags are cut.
  return std::filesystem::path(split ? FitLastComponent(name, MaxNameBytes, ending) : name);
}

namespace {

// Bytes a UTF-16 text takes as UTF-8.
size_t Utf8Length(std::u16string_view text) {
  size_t bytes = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      bytes += 1;
    } else if (c < 0x800) {
      bytes += 2;
    } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      bytes += 4;  // a pair: one character
      ++i;
    } else {
      bytes += 3;
    }
  }
  return bytes;
}

}  // namespace

std::u16string FitLastComponent(const std::u16string& path, size_t maxBytes, std::u16string_view extension) {
  const size_t slash = path.find_last_of(u"/\\");
  const size_t start = slash == std::u16string::npos ? 0 : slash + 1;
  const std::u16string_view name = std::u16string_view(path).substr(start);
  if (Utf8Length(name) <= maxBytes) return path;
  // Cut before the extension, and mark the cut with a short hash of the whole name: names that
  // differ only past the cut still lead to different files, and a name met again to the same one.
  uint32_t hash = 2166136261u;
  for (char16_t c : name) hash = (hash ^ uint32_t(c)) * 16777619u;
  char16_t mark[10] = {u'~'};
  for (int i = 0; i < 8; ++i) mark[1 + i] = u"0123456789abcdef"[(hash >> (28 - 4 * i)) & 15];
  const bool extended = name.size() >= extension.size() && name.substr(name.size() - extension.size()) == extension;
  const std::u16string_view ending = extended ? extension : std::u16string_view();
  const size_t room = maxBytes - 9 - ending.size();
  std::u16string_view stem = name.substr(0, name.size() - ending.size());
  while (!stem.empty() && Utf8Length(stem) > room) {
    stem.remove_suffix(1);
    // Never half of a surrogate pair.
    if (!stem.empty() && stem.back() >= 0xD800 && stem.back() <= 0xDBFF) stem.remove_suffix(1);
  }
  return path.substr(0, start) + std::u16string(stem) + std::u16string(mark, 9) + std::u16string(ending);
}
