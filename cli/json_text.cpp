#include "cli/json_text.h"

#include <cstdio>

namespace {

// The length of a valid UTF-8 sequence starting at `i`, or 0.
size_t Utf8Length(std::string_view s, size_t i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  size_t length;
  if (c >= 0xC2 && c <= 0xDF)
    length = 2;
  else if (c >= 0xE0 && c <= 0xEF)
    length = 3;
  else if (c >= 0xF0 && c <= 0xF4)
    length = 4;
  else
    return 0;
  if (i + length > s.size()) return 0;
  for (size_t k = 1; k < length; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  char escape[8];
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += char(c);
      ++i;
    } else if (c < 0x20) {
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
      ++i;
    } else if (c < 0x80) {
      out += char(c);
      ++i;
    } else if (const size_t length = Utf8Length(text, i)) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
      ++i;
    }
  }
  out += '"';
  return out;
}
