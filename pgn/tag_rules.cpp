#include "pgn/tag_rules.h"

#include <charconv>
#include <optional>

namespace {

bool IsNameByte(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number, all of the text: an optional sign, digits, an optional fraction.
std::optional<double> NumberOf(std::string_view text) {
  size_t at = 0;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
  size_t digits = 0;
  while (at < text.size() && IsDigit(text[at])) ++at, ++digits;
  if (at < text.size() && text[at] == '.') {
    ++at;
    while (at < text.size() && IsDigit(text[at])) ++at, ++digits;
  }
  if (digits == 0 || at != text.size()) return std::nullopt;
  const size_t sign = text[0] == '+' ? 1 : 0;  // from_chars takes no "+"
  double value = 0;
  const auto [end, failed] = std::from_chars(text.data() + sign, text.data() + text.size(), value);
  if (failed != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A date's parts: year, month, day; -1 for a part written with "?", 0 for one not written.
struct DateParts {
  int part[3] = {0, 0, 0};
  int count = 0;  // parts written: 1 to 3
};

// YYYY[.MM[.DD]], each part all digits or (with `unknownAllowed`) all "?".
std::optional<DateParts> DateOf(std::string_view text, bool unknownAllowed) {
  DateParts date;
  const size_t widths[3] = {4, 2, 2};
  size_t at = 0;
  for (int p = 0; p < 3; ++p) {
    if (p > 0) {
      if (at == text.size()) break;
      if (text[at] != '.') return std::nullopt;
      ++at;
    }
    if (at + widths[p] > text.size()) return std::nullopt;
    const std::string_view part = text.substr(at, widths[p]);
    if (part.find_first_not_of('?') == std::string_view::npos) {
      if (!unknownAllowed) return std::nullopt;
      date.part[p] = -1;
    } else {
      int value = 0;
      for (char c : part) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
      }
      date.part[p] = value;
    }
    at += widths[p];
    date.count = p + 1;
  }
  if (at != text.size()) return std::nullopt;
  return date;
}

// -1, 0 or 1 as `value` compares with `bound` over the bound's parts; nullopt when a part of the
// value the answer depends on is unknown.
std::optional<int> CompareDates(const DateParts& value, const DateParts& bound) {
  for (int p = 0; p < bound.count; ++p) {
    if (p >= value.count || value.part[p] < 0) return std::nullopt;
    if (value.part[p] != bound.part[p]) return value.part[p] < bound.part[p] ? -1 : 1;
  }
  return 0;
}

template <typename T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// -1, 0 or 1 as the game's value compares with the rule's; nullopt when it cannot be told: a
// rule's number or date against a value that is none ("", "?", "-": unknown), or a date's part
// the game does not know.
std::optional<int> CompareValues(std::string_view value, std::string_view bound) {
  const std::optional<double> boundNumber = NumberOf(bound);
  if (boundNumber)
    if (const std::optional<double> number = NumberOf(value)) return Order(*number, *boundNumber);
  const std::optional<DateParts> boundDate = DateOf(bound, false);
  if (boundDate)
    if (const std::optional<DateParts> date = DateOf(value, true)) return CompareDates(*date, *boundDate);
  if (boundNumber || boundDate) return std::nullopt;
  return Order(value, bound);
}

bool Holds(TagOperator op, int order) {
  switch (op) {
    case TagOperator::Equal:
      return order == 0;
    case TagOperator::NotEqual:
      return order != 0;
    case TagOperator::Less:
      return order < 0;
    case TagOperator::LessOrEqual:
      return order <= 0;
    case TagOperator::Greater:
      return order > 0;
    case TagOperator::GreaterOrEqual:
      return order >= 0;
    case TagOperator::Matches:
      break;
  }
  return false;
}

}  // namespace

bool ParseTagRule(std::string_view text, TagRule& rule, std::string& error) {
  size_t at = 0;
  while (at < text.size() && IsNameByte(text[at])) ++at;
  if (at == 0) {
    error = "\"" + std::string(text) + "\" does not begin with a tag name";
    return false;
  }
  rule = TagRule{};
  rule.name.assign(text.substr(0, at));
  const std::string_view rest = text.substr(at);
  // Two-byte operators first, so that "<=" is not read as "<" and a value "=...".
  static const std::pair<std::string_view, TagOperator> operators[] = {
      {"!=", TagOperator::NotEqual}, {"<=", TagOperator::LessOrEqual}, {">=", TagOperator::GreaterOrEqual},
      {"=", TagOperator::Equal},     {"~", TagOperator::Matches},      {"<", TagOperator::Less},
      {">", TagOperator::Greater}};
  for (const auto& [word, op] : operators) {
    if (rest.substr(0, word.size()) != word) continue;
    rule.op = op;
    rule.value.assign(rest.substr(word.size()));
    if (op == TagOperator::Matches) {
      try {
        rule.pattern = std::make_shared<const std::regex>(rule.value, std::regex::ECMAScript);
      } catch (const std::regex_error& e) {
        error = "\"" + std::string(text) + "\": the regular expression does not compile (" + e.what() + ")";
        return false;
      }
    }
    return true;
  }
  error = "\"" + std::string(text) + "\" has no operator after the tag name (=, !=, ~, <, <=, > or >=)";
  return false;
}

bool ParseTagRuleLines(std::string_view text, std::vector<TagRule>& rules, std::string& error) {
  size_t lineNumber = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    line = line.substr(first, line.find_last_not_of(" \t") - first + 1);
    TagRule rule;
    std::string problem;
    if (!ParseTagRule(line, rule, problem)) {
      error = "line " + std::to_string(lineNumber) + ": " + problem;
      return false;
    }
    rules.push_back(std::move(rule));
  }
  return true;
}

bool TagRuleHolds(const TagRule& rule, const TGamesTagArray& tags) {
  for (const TagView tag : tags) {
    if (tag.name != rule.name) continue;
    if (rule.op == TagOperator::Matches)
      return rule.pattern && std::regex_search(tag.value.begin(), tag.value.end(), *rule.pattern);
    const std::optional<int> order = CompareValues(tag.value, rule.value);
    return order && Holds(rule.op, *order);
  }
  return false;
}
