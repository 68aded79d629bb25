// Taking a SAN move text apart into what the board's search needs: the piece, the origin hints
// the text gives, the destination and the promotion, with the check marks and the glyph after
// it. The reader and the benchmarks read moves with it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chess/piece.h"

// A move text other than a castling, as written.
struct SanMoveText {
  uint8_t piece = 0;      // its code in the colour to move ("e4" a pawn)
  uint8_t promotion = 0;  // the code a pawn becomes ("e8=Q", "e8Q"), or 0
  uint8_t hintfile = 0;   // 1..8 when the text names the origin's file ("Nbd7", "exd5"), else 0
  uint8_t hintrank = 0;   // 1..8 when it names the origin's rank ("R1e2"), else 0
  uint8_t tofile = 0;
  uint8_t torank = 0;
  bool capture = false;  // written with "x"
  bool mate = false;     // marked "#"
  uint8_t nag = 0;       // the NAG of a glyph written after it ("!", "?!"...), or 0
};

// An optional "+" then an optional "#" after a move; false when both stand there.
inline bool StepOverCheckMarks(const char* bytes, size_t n, size_t& at, bool& mate) {
  const bool check = at < n && bytes[at] == '+';
  if (check) ++at;
  mate = at < n && bytes[at] == '#';
  if (mate) ++at;
  return !(check && mate);
}

// The NAG of the glyph at bytes[at] ("!" 1, "?" 2, "!!" 3, "??" 4, "!?" 5, "?!" 6), stepping
// over it; 0 when none stands there.
uint8_t ReadGlyph(const char* bytes, size_t n, size_t& at);

namespace san_detail {

// What each byte may be in a move text.
enum ByteKind : uint8_t {
  Other = 0,
  FileLetter = 1,  // a..h
  RankDigit = 2,   // 1..8
  PieceLetter = 3,
};

struct ByteTable {
  uint8_t kind[256];
  uint8_t pieceType[256];  // P 1 .. K 6, for piece letters
  bool symbol[256];        // bytes a move may not be followed by directly
};

constexpr ByteTable BuildByteTable() {
  ByteTable t{};
  for (int c = 'a'; c <= 'h'; ++c) t.kind[c] = FileLetter;
  for (int c = '1'; c <= '8'; ++c) t.kind[c] = RankDigit;
  const char letters[] = "PNBRQK";
  for (int type = 1; type <= 6; ++type) {
    t.kind[static_cast<unsigned char>(letters[type - 1])] = PieceLetter;
    t.pieceType[static_cast<unsigned char>(letters[type - 1])] = uint8_t(type);
  }
  for (int c = 0; c < 256; ++c)
    t.symbol[c] = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '+' ||
                  c == '#' || c == '=' || c == ':' || c == '-';
  return t;
}
inline constexpr ByteTable Bytes = BuildByteTable();

inline uint8_t KindOf(char c) { return Bytes.kind[static_cast<unsigned char>(c)]; }

// The reading itself; `Near` is true when the text may end within the move, so that every
// byte is checked against the end (far from it, no move text is long enough to reach it).
template <bool Near>
__attribute__((always_inline)) inline bool ReadMoveBody(const char* bytes, size_t n, size_t& at, bool black,
                                                        SanMoveText& move) {
  const auto kindAt = [&](size_t i) -> uint8_t { return (!Near || i < n) ? KindOf(bytes[i]) : uint8_t(Other); };
  const auto byteAt = [&](size_t i) -> char { return (!Near || i < n) ? bytes[i] : '\0'; };
  int type = Bytes.pieceType[static_cast<unsigned char>(bytes[at])];
  if (type)
    ++at;
  else
    type = 1;  // a file letter: a pawn, and the letter is read again as a square
  move = SanMoveText{};
  move.piece = MakePiece(type, black);

  int hintFile = 0, hintRank = 0, toFile = 0, toRank = 0;
  if (kindAt(at) == FileLetter) hintFile = bytes[at++] - 'a' + 1;
  if (kindAt(at) == RankDigit) hintRank = bytes[at++] - '0';
  // The hints were the destination when nothing square-like follows them; at the very end of
  // the text too, so that a game whose last bytes are "e5" is complete.
  const uint8_t next = kindAt(at);
  if (next != FileLetter && byteAt(at) != 'x') {
    if (next == RankDigit) return false;
    toFile = hintFile;
    toRank = hintRank;
    hintFile = hintRank = 0;
  } else {
    if (bytes[at] == 'x') {
      move.capture = true;
      ++at;
    }
    if (kindAt(at) == FileLetter) toFile = bytes[at++] - 'a' + 1;
    if (kindAt(at) == RankDigit) toRank = bytes[at++] - '0';
  }
  if (!toFile || !toRank) return false;
  move.hintfile = uint8_t(hintFile);
  move.hintrank = uint8_t(hintRank);
  move.tofile = uint8_t(toFile);
  move.torank = uint8_t(toRank);

  if (!Near || at < n) {
    const bool equals = bytes[at] == '=';
    const size_t letter = equals ? at + 1 : at;
    const int promoted = (!Near || letter < n) ? Bytes.pieceType[static_cast<unsigned char>(bytes[letter])] : 0;
    if (promoted >= 2 && promoted <= 5) {
      move.promotion = MakePiece(promoted, black);
      at = letter + 1;
    } else if (equals) {
      return false;
    }
  }
  if (!StepOverCheckMarks(bytes, n, at, move.mate)) return false;
  // A glyph is recorded as the NAG it stands for. Most moves have none: the test stays here.
  const char after = byteAt(at);
  if (after == '!' || after == '?') move.nag = ReadGlyph(bytes, n, at);
  return !((!Near || at < n) && Bytes.symbol[static_cast<unsigned char>(bytes[at])]);
}

// The usual move texts by table: the kinds of the four bytes after the piece letter (if any)
// tell where the origin hints, the capture mark and the destination stand, and the byte after
// them whether the text ends there. Anything else is read byte by byte.
enum FastKind : uint8_t { FastOther = 0, FastFile = 1, FastRank = 2, FastTake = 3 };

struct FastLayout {
  // Offsets from the first byte after the piece letter, plus one (0: not in the text).
  uint8_t hintfile = 0, hintrank = 0, tofile = 0;
  uint8_t length = 0;  // 0: not a usual text
  bool capture = false;
};

struct FastTable {
  uint8_t kind[256];
  bool plainEnd[256];      // a byte a move ends before with nothing more of it to read
  FastLayout layout[256];  // by the four bytes' kinds, two bits each, the first lowest
};

constexpr FastTable BuildFastTable() {
  FastTable t{};
  for (int c = 'a'; c <= 'h'; ++c) t.kind[c] = FastFile;
  for (int c = '1'; c <= '8'; ++c) t.kind[c] = FastRank;
  t.kind[static_cast<unsigned char>('x')] = FastTake;
  for (int c = 0; c < 256; ++c) t.plainEnd[c] = !Bytes.symbol[c] && c != '!' && c != '?';
  constexpr int Any = -1;
  struct Pattern {
    int kinds[4];
    FastLayout layout;
  };
  const Pattern patterns[] = {
      {{FastFile, FastRank, FastOther, Any}, {0, 0, 1, 2, false}},      // e4, Nf3
      {{FastFile, FastRank, FastFile, FastRank}, {1, 2, 3, 4, false}},  // e2e4
      {{FastFile, FastFile, FastRank, Any}, {1, 0, 2, 3, false}},       // Nbd2
      {{FastRank, FastFile, FastRank, Any}, {0, 1, 2, 3, false}},       // R1e2
      {{FastTake, FastFile, FastRank, Any}, {0, 0, 2, 3, true}},        // Nxf3
      {{FastFile, FastTake, FastFile, FastRank}, {1, 0, 3, 4, true}},   // exd5, Nbxd2
      {{FastRank, FastTake, FastFile, FastRank}, {0, 1, 3, 4, true}},   // R1xe2
  };
  for (int key = 0; key < 256; ++key)
    for (const Pattern& pattern : patterns) {
      bool fits = true;
      for (int i = 0; i < 4; ++i)
        fits = fits && (pattern.kinds[i] == Any || pattern.kinds[i] == ((key >> (2 * i)) & 3));
      if (fits) t.layout[key] = pattern.layout;
    }
  return t;
}
inline constexpr FastTable Fast = BuildFastTable();

// ReadMoveBody for the usual texts far from the text's end; false, having changed nothing,
// for any other.
__attribute__((always_inline)) inline bool ReadUsualMove(const char* bytes, size_t& at, bool black, SanMoveText& move) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes) + at;
  const int type = Bytes.pieceType[b[0]];
  const unsigned char* s = b + (type != 0);
  const FastLayout& layout =
      Fast.layout[Fast.kind[s[0]] | Fast.kind[s[1]] << 2 | Fast.kind[s[2]] << 4 | Fast.kind[s[3]] << 6];
  if (!layout.length || !Fast.plainEnd[s[layout.length]]) return false;
  move = SanMoveText{};
  move.piece = MakePiece(type ? type : 1, black);
  move.hintfile = uint8_t(layout.hintfile ? s[layout.hintfile - 1] - 'a' + 1 : 0);
  move.hintrank = uint8_t(layout.hintrank ? s[layout.hintrank - 1] - '0' : 0);
  move.tofile = uint8_t(s[layout.tofile - 1] - 'a' + 1);
  move.torank = uint8_t(s[layout.tofile] - '0');
  move.capture = layout.capture;
  at = size_t(s + layout.length - reinterpret_cast<const unsigned char*>(bytes));
  return true;
}

// ReadMoveBody, for the texts ReadUsualMove leaves: out of line, so that the usual path stays
// small enough to be inlined where moves are read.
bool ReadMoveSlowly(const char* bytes, size_t n, size_t& at, bool black, SanMoveText& move);

}  // namespace san_detail

// Reads a move text (not a castling) at bytes[at], which holds a piece letter or a file letter,
// up to its end: its marks ("+", "#") and glyph included, and followed by no byte a move could
// go on with (a letter, a digit, "_", "+", "#", "=", ":", "-"). On success `at` is past it;
// otherwise false, with `at` where the text stopped making sense.
// (Inlined: the reader reads every move with it.)
__attribute__((always_inline)) inline bool ReadSanMove(const char* bytes, size_t n, size_t& at, bool black,
                                                       SanMoveText& move) {
  // No move text with its marks and glyph is longer than "Qa1xh8=Q+#!!" and the byte after it.
  constexpr size_t Longest = 16;
  if (n - at > Longest && san_detail::ReadUsualMove(bytes, at, black, move)) return true;
  return san_detail::ReadMoveSlowly(bytes, n, at, black, move);
}
