#include "pgn/json_text.h"

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
  // No overlong form, no surrogate and nothing past U+10FFFF: what strict parsers refuse.
  const unsigned char next = static_cast<unsigned char>(s[i + 1]);
  if ((c == 0xE0 && next < 0xA0) || (c == 0xED && next > 0x9F) || (c == 0xF0 && next < 0x90) ||
      (c == 0xF4 && next > 0x8F))
    return 0;
  return length;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  AppendJsonString(out, text);
  return out;
}

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  char escape[8];
  for (size_t i = 0; i < text.size();) {
    // Plain printable ASCII goes out a run at a time.
    size_t run = i;
    while (run < text.size()) {
      const unsigned char r = static_cast<unsigned char>(text[run]);
      if (r < 0x20 || r >= 0x80 || r == '"' || r == '\\') break;
      ++run;
    }
    out.append(text.substr(i, run - i));
    i = run;
    if (i == text.size()) break;
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
}

std::string PathUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}
