#include "pgn/game_search.h"

#include <charconv>
#include <limits>

namespace {

bool ReadCount(std::string_view text, int64_t& value) {
  if (text.empty()) return false;
  const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), value);
  return failed == std::errc() && end == text.data() + text.size();
}

}  // namespace

bool GameSearch::Matches(const TGame& entry, int64_t number) const {
  if (positions.Active() && !entry.summary.positionsMatched) return false;
  for (const TagRule& rule : tagRules)
    if (!TagRuleHolds(rule, entry.tags)) return false;
  if (ranges.empty()) return true;
  for (const GameNumberRange& range : ranges)
    if (number >= range.first && number <= range.last) return true;
  return false;
}

bool ParseGameRanges(std::string_view text, std::vector<GameNumberRange>& ranges, std::string& error) {
  const std::string whole(text);
  while (true) {
    const size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    GameNumberRange range;
    const size_t dash = item.find('-');
    bool read;
    if (dash == std::string_view::npos) {
      read = ReadCount(item, range.first);
      range.last = range.first;
    } else {
      read = ReadCount(item.substr(0, dash), range.first);
      const std::string_view last = item.substr(dash + 1);
      if (last.empty())
        range.last = std::numeric_limits<int64_t>::max();
      else
        read = read && ReadCount(last, range.last);
    }
    if (!read) {
      error = "\"" + whole + "\": \"" + std::string(item) + "\" is not a game number or a range FIRST-LAST";
      return false;
    }
    if (range.first < 1) {
      error = "\"" + whole + "\": games are numbered from 1";
      return false;
    }
    if (range.last < range.first) {
      error = "\"" + whole + "\": the range " + std::string(item) + " runs backwards";
      return false;
    }
    ranges.push_back(range);
    if (comma == std::string_view::npos) return true;
    text = text.substr(comma + 1);
  }
}
