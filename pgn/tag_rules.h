// Rules on any tag, as people write them on a command line: "WhiteElo>=2700", "Event~^Tata",
// "Date<1990.06", "Result!=*". A game passes a rule when it holds the tag and its value
// compares as the rule says; numbers compare as numbers, dates as dates, the rest as bytes.
#pragma once

#include <memory>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "pgn/tag_array.h"

enum class TagOperator { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual, Matches };

struct TagRule {
  std::string name;  // exact, as PGN spells it ("WhiteElo")
  TagOperator op = TagOperator::Equal;
  std::string value;
  std::shared_ptr<const std::regex> pattern;  // Matches: the value compiled (ECMAScript)
};

// A rule from its text: a tag name (letters, digits, "_"), an operator (=, !=, ~, <, <=, >, >=)
// and a value (may be empty). False with the reason in `error` for anything else: no name, no
// operator, a regex that does not compile.
bool ParseTagRule(std::string_view text, TagRule& rule, std::string& error);

// Rules from a file's text, one a line; blank lines and lines starting with "#" are passed over.
// False with the line's number and the reason in `error`.
bool ParseTagRuleLines(std::string_view text, std::vector<TagRule>& rules, std::string& error);

// Whether the tags hold the rule's tag with a value that compares as it says. A missing tag
// never passes. A rule's number ("2700", "-1.5") compares with the game's as a number, a rule's
// date (YYYY[.MM[.DD]]) with the game's as a date, part by part; a game's value that is no
// number or date then ("", "?"), or a date part it does not know ("????") where the answer
// depends on it, never passes, whatever the operator. Other values compare as bytes.
bool TagRuleHolds(const TagRule& rule, const TGamesTagArray& tags);
