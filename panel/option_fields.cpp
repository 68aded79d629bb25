#include "panel/option_fields.h"

#include <algorithm>
#include <bitset>
#include <optional>

#include "io/codepage.h"

namespace {

using Items = std::vector<std::u16string>;
using OC = OptionControl;

std::u16string Ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::u16string Number(int64_t value) { return Ascii(std::to_string(value)); }

Items Numbers(std::initializer_list<int> values, const char16_t* first = nullptr) {
  Items items;
  if (first) items.push_back(first);
  for (int value : values) items.push_back(Number(value));
  return items;
}

Items Range(const char16_t* first, int from, int to, int step = 1) {
  Items items{first};
  for (int value = from; value <= to; value += step) items.push_back(Number(value));
  return items;
}

Items EcoItems() {
  Items items{u"any"};
  for (char16_t letter = u'A'; letter <= u'E'; ++letter) {
    items.push_back(std::u16string(1, letter));
    for (char16_t digit = u'0'; digit <= u'9'; ++digit) {
      items.push_back(std::u16string{letter, digit});
      for (char16_t last = u'0'; last <= u'9'; ++last) items.push_back(std::u16string{letter, digit, last});
    }
  }
  return items;
}

const Items& ItemsOf(OC field) {
  static const Items none;
  static const Items tags{u"No", u"Except seven tag roster", u"All"};
  static const Items nags{u"No", u"Except basic (! ? !! ?? !? ?!)", u"All", u"Options..."};
  static const Items ecoLevel{u"No", u"A - E", u"A0 - E9", u"A00 - E99"};
  static const Items dateLevel{u"No", u"By years", u"By months", u"By days"};
  static const Items eloParts =
      Numbers({2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 20, 25, 30, 40, 50, 60, 70, 80, 90, 100}, u"No");
  static const Items fromYear = Range(u"any", 1913, 2012);
  static const Items toYear = Range(u"any", 1950, 2019);
  static const Items months{u"any",  u"January", u"February",  u"March",   u"April",    u"May",     u"June",
                            u"July", u"August",  u"September", u"October", u"November", u"December"};
  static const Items days = Range(u"any", 1, 31);
  static const Items players{u"any"};
  static const Items eloFrom =
      Numbers({0, 1700, 1800, 1900, 2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800, 2900, 3000});
  static const Items eloTo = Range(u"any", 1700, 3000, 100);
  static const Items eco = EcoItems();
  static const Items movesFrom = Numbers({1, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 60, 70, 80});
  static const Items movesTo = Numbers({20, 25, 30, 35, 40, 50, 60, 70, 80, 90, 100, 120, 140}, u"any");
  switch (field) {
    case OC::Tags:
      return tags;
    case OC::Nags:
      return nags;
    case OC::SplitEco:
      return ecoLevel;
    case OC::SplitDate:
      return dateLevel;
    case OC::SplitWhiteElo:
    case OC::SplitBlackElo:
      return eloParts;
    case OC::DateFromYear:
      return fromYear;
    case OC::DateToYear:
      return toYear;
    case OC::DateFromMonth:
    case OC::DateToMonth:
      return months;
    case OC::DateFromDay:
    case OC::DateToDay:
      return days;
    case OC::WhitePlayer:
    case OC::BlackPlayer:
      return players;
    case OC::WhiteEloFrom:
    case OC::BlackEloFrom:
      return eloFrom;
    case OC::WhiteEloTo:
    case OC::BlackEloTo:
      return eloTo;
    case OC::EcoOpening:
      return eco;
    case OC::MovesFrom:
      return movesFrom;
    case OC::MovesTo:
      return movesTo;
    default:
      return none;
  }
}

// The item a typed text names, compared with case folded; -1 for none.
int32_t MatchingItem(OC field, std::u16string_view text) {
  const std::u16string folded = FoldCase(text);
  const Items& items = ItemsOf(field);
  for (size_t i = 0; i < items.size(); ++i)
    if (FoldCase(items[i]) == folded) return int32_t(i);
  return -1;
}

bool IsWord(std::u16string_view text, std::u16string_view word) { return FoldCase(text) == word; }

// A date key with one part replaced, the others kept.
int32_t WithYear(int32_t key, int64_t year) { return key % 416 + int32_t(year) * 416; }
int32_t WithMonth(int32_t key, int64_t month) { return key / 416 * 416 + int32_t(month) * 32 + key % 32; }
int32_t WithDay(int32_t key, int64_t day) { return key / 32 * 32 + int32_t(day); }

int32_t ItemNumber(OC field, int32_t index) {
  const std::u16string& item = ItemsOf(field)[size_t(index)];
  return int32_t(TypedNumber(item));
}

FieldOutcome Accept(int32_t index) { return {FieldVerdict::Accepted, index}; }
constexpr FieldOutcome Reject{FieldVerdict::Rejected, -1};

int32_t& EloBound(TProcessingOptions& o, OC field) {
  switch (field) {
    case OC::WhiteEloFrom:
      return o.whiteEloFrom;
    case OC::WhiteEloTo:
      return o.whiteEloTo;
    case OC::BlackEloFrom:
      return o.blackEloFrom;
    default:
      return o.blackEloTo;
  }
}

std::bitset<256> BasicNags() {
  std::bitset<256> nags;
  for (int n = 1; n <= 6; ++n) nags.set(size_t(n));
  return nags;
}

}  // namespace

const std::vector<OptionControl>& DropDownFields() {
  static const std::vector<OptionControl> fields{
      OC::Tags,         OC::Nags,          OC::SplitEco,     OC::SplitDate,  OC::SplitWhiteElo, OC::SplitBlackElo,
      OC::DateFromYear, OC::DateFromMonth, OC::DateFromDay,  OC::DateToYear, OC::DateToMonth,   OC::DateToDay,
      OC::WhitePlayer,  OC::BlackPlayer,   OC::WhiteEloFrom, OC::WhiteEloTo, OC::BlackEloFrom,  OC::BlackEloTo,
      OC::EcoOpening,   OC::MovesFrom,     OC::MovesTo};
  return fields;
}

bool IsDropDownField(OptionControl control) {
  const auto& fields = DropDownFields();
  return std::find(fields.begin(), fields.end(), control) != fields.end();
}

std::vector<std::u16string> FieldItems(OptionControl field) { return ItemsOf(field); }

bool FieldIsReadOnly(OptionControl field) {
  switch (field) {
    case OC::Tags:
    case OC::Nags:
    case OC::SplitEco:
    case OC::SplitDate:
    case OC::DateFromMonth:
    case OC::DateFromDay:
    case OC::DateToMonth:
    case OC::DateToDay:
      return true;
    default:
      return false;
  }
}

int64_t TypedNumber(std::u16string_view text) {
  int64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return -1;
    value = std::min<int64_t>(value * 10 + (c - u'0'), int64_t(1) << 40);
  }
  return value;
}

std::u16string FoldCase(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z')
      c = char16_t(c + 32);
    else if (c >= u'\u0410' && c <= u'\u042F')  // А..Я
      c = char16_t(c + 32);
    else if (c == u'\u0401')  // Ё
      c = u'\u0451';
  }
  return folded;
}

FieldOutcome ChooseFieldItem(TProcessingOptions& o, OptionControl field, int32_t index,
                             const std::vector<std::string>& playerNames) {
  const bool player = field == OC::WhitePlayer || field == OC::BlackPlayer;
  const size_t count = player ? std::max<size_t>(playerNames.size(), 1) : ItemsOf(field).size();
  if (index < 0 || size_t(index) >= count) return Reject;
  switch (field) {
    case OC::Tags:
      o.tagRemoval = TagRemoval(2 - index);  // the items: "No" tags removed, "Except seven tag roster", "All"
      break;
    case OC::Nags:
      if (index == 3) return {FieldVerdict::AskNagWindow, index};
      o.keptNags = index == 0 ? std::bitset<256>().set() : index == 1 ? BasicNags() : std::bitset<256>();
      break;
    case OC::SplitEco:
      o.splitEcoLevel = EcoSplit(index);
      break;
    case OC::SplitDate:
      o.splitDateLevel = DateSplit(index);
      break;
    case OC::SplitWhiteElo:
      o.splitWhiteEloParts = uint8_t(index == 0 ? 1 : ItemNumber(field, index));
      break;
    case OC::SplitBlackElo:
      o.splitBlackEloParts = uint8_t(index == 0 ? 1 : ItemNumber(field, index));
      break;
    case OC::DateFromYear:
      o.dateFrom = WithYear(o.dateFrom, index == 0 ? 0 : 1912 + index);
      break;
    case OC::DateFromMonth:
      o.dateFrom = WithMonth(o.dateFrom, index);
      break;
    case OC::DateFromDay:
      o.dateFrom = WithDay(o.dateFrom, index);
      break;
    case OC::DateToYear:
      o.dateTo = WithYear(o.dateTo, index == 0 ? 10000 : 1949 + index);
      break;
    case OC::DateToMonth:
      o.dateTo = WithMonth(o.dateTo, index == 0 ? 12 : index);
      break;
    case OC::DateToDay:
      o.dateTo = WithDay(o.dateTo, index == 0 ? 31 : index);
      break;
    case OC::WhitePlayer:
      o.whitePlayer = index == 0 ? std::string() : playerNames[size_t(index)];
      break;
    case OC::BlackPlayer:
      o.blackPlayer = index == 0 ? std::string() : playerNames[size_t(index)];
      break;
    case OC::WhiteEloFrom:
    case OC::BlackEloFrom:
      EloBound(o, field) = index == 0 ? 0 : 1600 + 100 * index;
      break;
    case OC::WhiteEloTo:
    case OC::BlackEloTo:
      EloBound(o, field) = index == 0 ? AnyElo : 1600 + 100 * index;
      break;
    case OC::EcoOpening:
      o.ecoOpening = index == 0 ? std::string() : Utf16ToBytes(ItemsOf(field)[size_t(index)]);
      break;
    case OC::MovesFrom:
      o.movesFrom = ItemNumber(field, index);
      break;
    case OC::MovesTo:
      o.movesTo = index == 0 ? AnyMoves : ItemNumber(field, index);
      break;
    default:
      return Reject;
  }
  return Accept(index);
}

namespace {

// A number within 0..limit, or the word "any" standing for `anyValue`, through `set`.
template <typename Set>
FieldOutcome NumberOrAny(std::u16string_view text, int64_t limit, Set set, std::optional<int64_t> anyValue) {
  if (anyValue && IsWord(text, u"any")) {
    set(*anyValue);
    return Accept(0);
  }
  const int64_t number = TypedNumber(text);
  if (number < 0 || number > limit) return Reject;
  set(number);
  return Accept(-1);
}

// An item's name typed: what choosing it does, the index kept (0 for "any" and "no").
FieldOutcome ItemNamed(TProcessingOptions& o, OptionControl field, std::u16string_view text, int32_t currentIndex) {
  const int32_t item = MatchingItem(field, text);
  if (item < 0) return Reject;
  const FieldOutcome chosen = ChooseFieldItem(o, field, item);
  if (chosen.verdict != FieldVerdict::Accepted) return Reject;
  const bool word = IsWord(text, u"any") || IsWord(text, u"no");
  return Accept(word ? 0 : currentIndex);
}

// The date range's fields: a year, a month (its number or its name), a day.
FieldOutcome TypeDateText(TProcessingOptions& o, OptionControl field, std::u16string_view text, int32_t currentIndex) {
  switch (field) {
    case OC::DateFromYear:
      return NumberOrAny(
          text, 9999, [&](int64_t year) { o.dateFrom = WithYear(o.dateFrom, year); }, 0);
    case OC::DateToYear:
      return NumberOrAny(
          text, 9999, [&](int64_t year) { o.dateTo = WithYear(o.dateTo, year); }, 10000);
    case OC::DateFromMonth:
    case OC::DateToMonth: {
      int32_t& key = field == OC::DateFromMonth ? o.dateFrom : o.dateTo;
      const int64_t number = TypedNumber(text);
      if (number >= 0 && number <= 12) {
        key = WithMonth(key, number);
        return Accept(-1);
      }
      return ItemNamed(o, field, text, currentIndex);
    }
    case OC::DateFromDay:
      return NumberOrAny(
          text, 31, [&](int64_t day) { o.dateFrom = WithDay(o.dateFrom, day); }, 0);
    case OC::DateToDay:
      return NumberOrAny(
          text, 31, [&](int64_t day) { o.dateTo = WithDay(o.dateTo, day); }, 31);
    default:
      return Reject;
  }
}

}  // namespace

FieldOutcome TypeFieldText(TProcessingOptions& o, OptionControl field, std::u16string_view text, int32_t currentIndex) {
  const bool any = IsWord(text, u"any");
  switch (field) {
    case OC::Tags:
    case OC::Nags:
    case OC::SplitEco:
    case OC::SplitDate:
    case OC::EcoOpening:
      return ItemNamed(o, field, text, currentIndex);
    case OC::SplitWhiteElo:
    case OC::SplitBlackElo: {
      uint8_t& parts = field == OC::SplitWhiteElo ? o.splitWhiteEloParts : o.splitBlackEloParts;
      if (IsWord(text, u"no")) {
        parts = 1;
        return Accept(0);
      }
      const int64_t number = TypedNumber(text);
      if (number < 1 || number > 255) return Reject;
      parts = uint8_t(number);
      return Accept(-1);
    }
    case OC::DateFromYear:
    case OC::DateToYear:
    case OC::DateFromMonth:
    case OC::DateToMonth:
    case OC::DateFromDay:
    case OC::DateToDay:
      return TypeDateText(o, field, text, currentIndex);
    case OC::WhitePlayer:
    case OC::BlackPlayer: {
      std::string& name = field == OC::WhitePlayer ? o.whitePlayer : o.blackPlayer;
      name = any ? std::string() : Utf16ToBytes(text);
      return Accept(any ? 0 : -1);
    }
    case OC::WhiteEloFrom:
    case OC::BlackEloFrom:
      return NumberOrAny(
          text, 9999, [&](int64_t elo) { EloBound(o, field) = int32_t(elo); }, std::nullopt);
    case OC::WhiteEloTo:
    case OC::BlackEloTo:
      return NumberOrAny(
          text, 9999, [&](int64_t elo) { EloBound(o, field) = int32_t(elo); }, AnyElo);
    case OC::MovesFrom:
      return NumberOrAny(
          text, 999, [&](int64_t moves) { o.movesFrom = int32_t(moves); }, std::nullopt);
    case OC::MovesTo:
      return NumberOrAny(
          text, 999, [&](int64_t moves) { o.movesTo = int32_t(moves); }, AnyMoves);
    default:
      return Reject;
  }
}

FieldShown ShownField(const TProcessingOptions& o, OptionControl field) {
  const Items& items = ItemsOf(field);
  const auto item = [&](size_t index) { return FieldShown{items[std::min(index, items.size() - 1)], int32_t(index)}; };
  const auto number = [](int64_t value) { return FieldShown{Number(value), -1}; };
  const auto anyOr = [&](bool isAny, int64_t value) { return isAny ? item(0) : number(value); };
  switch (field) {
    case OC::Tags:
      return item(o.tagRemoval == TagRemoval::None ? 0 : o.tagRemoval == TagRemoval::All ? 2 : 1);
    case OC::Nags:
      return item(o.keptNags.all() ? 0 : o.keptNags == BasicNags() ? 1 : o.keptNags.none() ? 2 : 3);
    case OC::SplitEco:
      return item(std::min<size_t>(size_t(o.splitEcoLevel), 3));
    case OC::SplitDate:
      return item(std::min<size_t>(size_t(o.splitDateLevel), 3));
    case OC::SplitWhiteElo:
      return anyOr(o.splitWhiteEloParts <= 1, o.splitWhiteEloParts);
    case OC::SplitBlackElo:
      return anyOr(o.splitBlackEloParts <= 1, o.splitBlackEloParts);
    case OC::DateFromYear:
      return anyOr(DateYear(o.dateFrom) == 0, DateYear(o.dateFrom));
    case OC::DateToYear:
      return anyOr(DateYear(o.dateTo) >= 10000, DateYear(o.dateTo));
    case OC::DateFromMonth:
      return item(size_t(DateMonth(o.dateFrom)));
    case OC::DateToMonth:
      return item(DateMonth(o.dateTo) == 12 ? 0 : size_t(DateMonth(o.dateTo)));
    case OC::DateFromDay:
      return item(size_t(DateDay(o.dateFrom)));
    case OC::DateToDay:
      return item(DateDay(o.dateTo) == 31 ? 0 : size_t(DateDay(o.dateTo)));
    case OC::WhitePlayer:
      return o.whitePlayer.empty() ? item(0) : FieldShown{BytesToUtf16(o.whitePlayer), -1};
    case OC::BlackPlayer:
      return o.blackPlayer.empty() ? item(0) : FieldShown{BytesToUtf16(o.blackPlayer), -1};
    case OC::WhiteEloFrom:
      return number(o.whiteEloFrom);
    case OC::BlackEloFrom:
      return number(o.blackEloFrom);
    case OC::WhiteEloTo:
      return anyOr(o.whiteEloTo >= AnyElo, o.whiteEloTo);
    case OC::BlackEloTo:
      return anyOr(o.blackEloTo >= AnyElo, o.blackEloTo);
    case OC::EcoOpening:
      return o.ecoOpening.empty() ? item(0) : FieldShown{BytesToUtf16(o.ecoOpening.substr(0, 3)), -1};
    case OC::MovesFrom:
      return number(o.movesFrom);
    case OC::MovesTo:
      return anyOr(o.movesTo >= AnyMoves, o.movesTo);
    default:
      return {};
  }
}

PlayerChoices PlayerItems(const TGameList& list, bool white, bool bothColours) {
  std::vector<std::string_view> names;
  for (int32_t index : list.displayOrder) {
    const TGame& entry = list.entries[size_t(index)];
    if (white || bothColours) names.push_back(TagAt(entry, WhiteSlot));
    if (!white || bothColours) names.push_back(TagAt(entry, BlackSlot));
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  PlayerChoices choices{{u"any"}, {std::string()}};
  for (std::string_view name : names) {
    if (name.empty()) continue;
    choices.items.push_back(BytesToUtf16(name));
    choices.names.emplace_back(name);
  }
  return choices;
}

int32_t DropDownHeight(size_t items, int32_t fontHeight) {
  if (items == 0) return fontHeight + 3;
  if (items < 10) return int32_t(items) * (fontHeight + 3);
  return 10 * fontHeight + 30;
}

int32_t DropDownTop(int32_t fieldTop, int32_t fieldBottom, int32_t height, int32_t workAreaBottom) {
  return fieldBottom + height < workAreaBottom ? fieldBottom : fieldTop - height;
}
