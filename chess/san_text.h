// Writing a move's SAN text from its fields: what a board must decide (which rival pieces call
// for a file or rank, and whether the move gives check or mate) comes in as arguments, so the
// same text is made while a game is replayed and when a packed game is unpacked without one.
#pragma once

#include <cstdint>
#include <string_view>

#include "chess/mov.h"
#include "chess/piece.h"

// A SAN text being written: never longer than "Qa1xc3=Q+!!", so it lives on the stack.
struct SanText {
  char text[24];
  int length = 0;
  SanText& operator+=(char c) {
    text[length++] = c;
    return *this;
  }
  SanText& operator+=(const char* s) {
    while (*s) text[length++] = *s++;
    return *this;
  }
  std::string_view view() const { return std::string_view(text, size_t(length)); }
};

// What names the origin of a piece move that another piece of its kind could make too.
enum class Origin : uint8_t { Implied = 0, File = 1, Rank = 2, Square = 3 };

// The text up to the check mark: castling, piece letter, origin, capture, destination and
// promotion. A pawn's capture names its file whatever `origin` says.
SanText SanBody(const mov& m, Origin origin);

// The check or mate mark the opponent's state calls for (StateCheck, StateCheckmate; none for
// another), then the glyph of the move's NAG 1..6.
void FinishSan(const mov& m, SanText& san, uint8_t state);

// The text SanBody and FinishSan write, stored in `m.san` with its mark (SanMark): what the
// reader does for every move it reads.
void StoreSanText(mov& m, Origin origin, uint8_t state);

// The body of a move's text as a game wrote it, when it may be the body SanBody writes: a piece
// letter (none for a pawn), the origin it names, "x", the destination; nothing after it.
struct WrittenBody {
  uint64_t word = 0;                // its bytes, the first lowest
  uint8_t length = 0;               // 1..7; 0 when none was given
  Origin origin = Origin::Implied;  // what of the origin the text names
};

// What a text written by SanBody and FinishSan was written from, as a mark of 1..12 a SanString
// keeps beside it (StateNormal for a state that writes no mark).
constexpr uint8_t SanMark(Origin origin, uint8_t state) {
  return uint8_t(1 + uint8_t(origin) * 3 + (state == 1 || state == 2 ? state : 0));
}
constexpr Origin OriginOfMark(uint8_t mark) { return Origin((mark - 1) / 3); }
constexpr uint8_t StateOfMark(uint8_t mark) { return uint8_t((mark - 1) % 3); }

// A king's move written as castling: marked so (Chess960), or two files from e to c or g.
inline bool IsCastling(const mov& m) {
  const bool king = m.piece == WhiteKing || m.piece == BlackKing;
  return king && (m.extra == CastlingExtra || (m.fromfile == 5 && (m.tofile == 3 || m.tofile == 7)));
}

// A move that takes: a piece on its destination, or a pawn en passant.
inline bool IsCapture(const mov& m) { return m.captured != Empty || m.extra == WhitePawn || m.extra == BlackPawn; }

// StoreSanText for a move whose text was written as a body alone: when that body is the text
// StoreSanText would store (most games are written in standard notation), it is stored as it
// stands; false, with nothing stored, when it is not.
inline bool StoreWrittenSanText(mov& m, Origin origin, uint8_t state, const WrittenBody& written) {
  if (!written.length || unsigned(state - 1) < 2u || m.nag != 0) return false;  // a mark or glyph to add
  const bool pawn = m.piece == WhitePawn || m.piece == BlackPawn;
  // The letters and the capture mark are the move's (it was read from them): the text is the
  // standard one when it names the origin the rivals call for (a pawn's capture names its file)
  // and the move is no castling.
  const Origin named = pawn && IsCapture(m) && origin == Origin::Implied ? Origin::File : origin;
  if (written.origin != named || IsCastling(m)) return false;
  m.san.AssignWords(written.word, 0, written.length, SanMark(origin, state));
  return true;
}

// The origin and state a text written by SanBody and FinishSan was written with; false for a
// text they could not have written for this move (a host's own, or one with another mark).
bool SanParts(const mov& m, std::string_view san, Origin& origin, uint8_t& state);
