#include "pgn/game_search.h"

#include <algorithm>

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
  const uint8_t asked = positions.Asked();
  if ((entry.summary.boardCriteriaHeld & asked) != asked) return false;
  for (const TagRule& rule : tagRules)
    if (!TagRuleHolds(rule, entry.tags)) return false;
  if (ranges.empty()) return true;
  for (const GameNumberRange& range : ranges)
    if (number >= range.first && number <= range.last) return true;
  return false;
}

std::vector<std::pair<const char*, bool>> GameSearch::Verdicts(const TGame& entry, int64_t number) const {
  std::vector<std::pair<const char*, bool>> verdicts;
  if (!tagRules.empty())
    verdicts.emplace_back("tags", std::all_of(tagRules.begin(), tagRules.end(),
                                              [&](const TagRule& rule) { return TagRuleHolds(rule, entry.tags); }));
  if (!ranges.empty())
    verdicts.emplace_back("games", std::any_of(ranges.begin(), ranges.end(), [&](const GameNumberRange& range) {
                            return number >= range.first && number <= range.last;
                          }));
  const uint8_t asked = positions.Asked();
  const std::pair<BoardCriterion, const char*> board[] = {{PositionCriterion, "position"},
                                                          {LineCriterion, "line"},
                                                          {MaterialCriterion, "material"},
                                                          {EndCriterion, "ends_in"},
                                                          {EventsCriterion, "has"}};
  for (const auto& [criterion, name] : board)
    if (asked & criterion) verdicts.emplace_back(name, (entry.summary.boardCriteriaHeld & criterion) != 0);
  return verdicts;
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
