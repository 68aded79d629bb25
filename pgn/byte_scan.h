// The first of two or three bytes in a text, looked for sixteen bytes at a time where the
// processor compares that many at once (SSE2): comments are most of an annotated game's text,
// and each must be scanned for its end, its line ends and its braces in one pass.
#pragma once

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace byte_scan_detail {

#if defined(__SSE2__)
inline __m128i Load(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
#endif

}  // namespace byte_scan_detail

// The index of the first byte of text[from, n) that is `a` or `b`; n when none is.
inline size_t FindEitherByte(const char* text, size_t from, size_t n, char a, char b) {
#if defined(__SSE2__)
  const __m128i wantA = _mm_set1_epi8(a), wantB = _mm_set1_epi8(b);
  for (; from + 16 <= n; from += 16) {
    const __m128i bytes = byte_scan_detail::Load(text + from);
    const int found = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, wantA), _mm_cmpeq_epi8(bytes, wantB)));
    if (found) return from + size_t(__builtin_ctz(unsigned(found)));
  }
#endif
  for (; from < n; ++from)
    if (text[from] == a || text[from] == b) return from;
  return n;
}

// The same for `a`, `b` or `c`.
inline size_t FindAnyOfThreeBytes(const char* text, size_t from, size_t n, char a, char b, char c) {
#if defined(__SSE2__)
  const __m128i wantA = _mm_set1_epi8(a), wantB = _mm_set1_epi8(b), wantC = _mm_set1_epi8(c);
  for (; from + 16 <= n; from += 16) {
    const __m128i bytes = byte_scan_detail::Load(text + from);
    const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, wantA), _mm_cmpeq_epi8(bytes, wantB)),
                                      _mm_cmpeq_epi8(bytes, wantC));
    if (const int found = _mm_movemask_epi8(hits)) return from + size_t(__builtin_ctz(unsigned(found)));
  }
#endif
  for (; from < n; ++from)
    if (text[from] == a || text[from] == b || text[from] == c) return from;
  return n;
}
