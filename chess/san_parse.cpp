#include "chess/san_parse.h"

uint8_t ReadGlyph(const char* bytes, size_t n, size_t& at) {
  if (at >= n || (bytes[at] != '!' && bytes[at] != '?')) return 0;
  const char first = bytes[at++];
  const char second = at < n && (bytes[at] == '!' || bytes[at] == '?') ? bytes[at] : 0;
  if (second) ++at;
  if (first == '!') return second == '!' ? 3 : second == '?' ? 5 : 1;
  return second == '?' ? 4 : second == '!' ? 6 : 2;
}
