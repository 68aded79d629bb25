#include "cli/count_text.h"

std::string GroupedCount(int64_t value) {
  std::string digits = std::to_string(value < 0 ? 0 : value);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, ',');
  return digits;
}

std::string Counted(int64_t value, std::string_view one, std::string_view many) {
  return GroupedCount(value) + " " + std::string(value == 1 ? one : many);
}
