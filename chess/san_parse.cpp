#include "chess/san_parse.h"

uint8_t ReadGlyph(const char* bytes, size_t n, size_t& at) {
  if (at >= n || (bytes[at] != '!' && bytes[at] != '?')) return 0;
  const char first = bytes[at++];
  const char second = at < n && (bytes[at] == '!' || bytes[at] == '?') ? bytes[at] : 0;
  if (second) ++at;
  if (first == '!') return second == '!' ? 3 : second == '?' ? 5 : 1;
  return second == '?' ? 4 : second == '!' ? 6 : 2;
}

namespace san_detail {

bool ReadMoveSlowly(const char* bytes, size_t n, size_t& at, bool black, SanMoveText& move) {
  // No move text with its marks and glyph is longer than "Qa1xh8=Q+#!!" and the byte after it.
  constexpr size_t Longest = 16;
  if (n - at > Longest) return ReadMoveBody<false>(bytes, n, at, black, move);
  return ReadMoveBody<true>(bytes, n, at, black, move);
}

}  // namespace san_detail
