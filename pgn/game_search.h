// What a job looks for in the games beyond the panel's filters: positions and endings on the
// board, rules on any tag, games by their number, at most so many, or the games that do not match
// instead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pgn/pgn_types.h"
#include "pgn/position_search.h"
#include "pgn/tag_rules.h"

// Games `first` to `last` (1-based, inclusive) in input order.
struct GameNumberRange {
  int64_t first = 1;
  int64_t last = 1;
};

struct GameSearch {
  PositionSearch positions;             // asked by the reader as it reads each game
  std::vector<TagRule> tagRules;        // all must hold
  std::vector<GameNumberRange> ranges;  // any may hold; none: every number
  int64_t stopAfter = 0;                // at most this many games selected; 0: no limit
  bool invert = false;                  // select the games that do not match instead

  // Whether it selects anything other than every game.
  bool Active() const { return positions.Active() || !tagRules.empty() || !ranges.empty() || stopAfter > 0 || invert; }
  // Whether the game numbered `number` matches the rules and the ranges (before inverting).
  bool Matches(const TGame& entry, int64_t number) const;
  // Each criterion asked, by name ("tags", "games", "position", "line", "material", "ends_in",
  // "has"), and whether the game numbered `number` meets it.
  std::vector<std::pair<const char*, bool>> Verdicts(const TGame& entry, int64_t number) const;
};

// "1-100,250,300-" : numbers and ranges, a range open at its end with "N-". False with the
// reason in `error` for anything else (a range backwards, a number below 1).
bool ParseGameRanges(std::string_view text, std::vector<GameNumberRange>& ranges, std::string& error);
