// The first of two or three bytes in a text, looked for sixteen bytes at a time where the
// processor compares that many at once (SSE2): comments are most of an annotated game's text,
// and each must be scanned for its end, its line ends and its braces in one pass.
#pragma once

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Where the build does not assume them, thirty-two bytes at a time (AVX2) on the processors that
// have them, asked once. Only in ELF builds: GCC does not align the stack for 32-byte values on
// Windows, where a spilled one would fault.
#if defined(__SSE2__) && !defined(__AVX2__) && defined(__ELF__) && (defined(__x86_64__) || defined(__i386__)) && \
    defined(__GNUC__)
#define PGN_BYTE_SCAN_AVX2 1
#include <immintrin.h>
#endif

namespace byte_scan_detail {

#if defined(__SSE2__)
inline __m128i Load(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
#endif

#if defined(PGN_BYTE_SCAN_AVX2)
inline bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

// From `from` while 32 bytes remain: the first of the three bytes (c may repeat a), or the
// first position with fewer than 32 bytes left.
__attribute__((target("avx2"))) inline size_t FindAnyOfThreeBytesAvx2(const char* text, size_t from, size_t n, char a,
                                                                      char b, char c) {
  const __m256i wantA = _mm256_set1_epi8(a), wantB = _mm256_set1_epi8(b), wantC = _mm256_set1_epi8(c);
  for (; from + 32 <= n; from += 32) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + from));
    const __m256i hits =
        _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(bytes, wantA), _mm256_cmpeq_epi8(bytes, wantB)),
                        _mm256_cmpeq_epi8(bytes, wantC));
    if (const unsigned found = unsigned(_mm256_movemask_epi8(hits))) return from + size_t(__builtin_ctz(found));
  }
  return from;
}
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
#if defined(PGN_BYTE_SCAN_AVX2)
  if (from + 32 <= n && byte_scan_detail::HasAvx2()) {
    from = byte_scan_detail::FindAnyOfThreeBytesAvx2(text, from, n, a, b, c);
    if (from + 32 <= n) return from;
  }
#endif
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
