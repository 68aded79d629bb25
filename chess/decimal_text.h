// Numbers appended to a text in decimal, without a locale or a temporary string: the writers of
// positions and games do it for every move.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>

inline void AppendDecimal(std::string& out, int64_t value) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, end);
}

inline void AppendDecimal(std::string& out, int value) { AppendDecimal(out, int64_t(value)); }

// The shortest text that reads back as the same number.
inline void AppendDecimal(std::string& out, double value) {
  char digits[32];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, end);
}
