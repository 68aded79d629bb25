// What the board's files share: the tables of squares and keys, and the small members that
// every part of the board inlines (placing a piece, moving one, the king's safety). For
// chess/doska_*.cpp only.
#pragma once

#include <array>

#include "chess/doska.h"
#include "chess/polyglot_keys.h"

namespace doska_tables {

inline constexpr int White = 0;
inline constexpr int Black = 1;

inline constexpr uint8_t InitialBackRank[8] = {WhiteRook, WhiteKnight, WhiteBishop, WhiteQueen,
                                               WhiteKing, WhiteBishop, WhiteKnight, WhiteRook};

inline int ColorOf(uint8_t code) { return IsBlack(code) ? Black : White; }

// The colour set a piece code belongs to; empty squares go to a third, unused set.
inline constexpr uint8_t ColorSlot[PieceCodeCount] = {2, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1};

// The Polyglot key of each piece code on each square (0 for an empty square), so that the key of
// the pieces can follow every change of a square.
struct PieceSquareKeyTable {
  uint64_t key[PieceCodeCount][64];
};
inline PieceSquareKeyTable BuildPieceSquareKeys() {
  PieceSquareKeyTable t{};
  for (int code = WhitePawn; code <= BlackKing; ++code) {
    const int kind = 2 * (PieceType(code) - 1) + (IsWhite(code) ? 1 : 0);
    for (int index = 0; index < 64; ++index) t.key[code][index] = PolyglotKeys[64 * kind + index];
  }
  return t;
}
// PolyglotKeys is constant-initialised, so it is ready before this table is built.
inline const PieceSquareKeyTable PieceSquareKeys = BuildPieceSquareKeys();

// The first square of a set in the board's file-by-file, rank-by-rank scanning order.
inline int FirstFileMajor(Bitboard set) {
  if ((set & (set - 1)) == 0) return LowestSquare(set);
  for (int file = 1; file <= 8; ++file) {
    const Bitboard column = set & Attacks.file[file];
    if (column) return LowestSquare(column);
  }
  return -1;
}

inline constexpr Bitboard BackRanks = Attacks.rank[1] | Attacks.rank[8];

// The squares a piece of each code reaches from each square on an empty board: a pawn's,
// knight's or king's steps (a pawn's captures), a slider's lines; nothing for codes of no piece
// (codes past 12, from a record made elsewhere, included). A piece of the code on one square
// attacks another exactly when this holds it and nothing stands between them (steps have
// nothing between).
struct ReachTable {
  std::array<std::array<Bitboard, 64>, 16> by{};
  constexpr const std::array<Bitboard, 64>& operator[](size_t code) const { return by[code]; }
};
constexpr ReachTable BuildReach() {
  ReachTable t;
  t.by[WhitePawn] = Attacks.pawn[0];
  t.by[BlackPawn] = Attacks.pawn[1];
  t.by[WhiteKnight] = t.by[BlackKnight] = Attacks.knight;
  t.by[WhiteKing] = t.by[BlackKing] = Attacks.king;
  for (int index = 0; index < 64; ++index) {
    const Bitboard diagonal = Attacks.ray[NorthEast][index] | Attacks.ray[NorthWest][index] |
                              Attacks.ray[SouthEast][index] | Attacks.ray[SouthWest][index];
    const Bitboard straight =
        Attacks.ray[North][index] | Attacks.ray[East][index] | Attacks.ray[South][index] | Attacks.ray[West][index];
    t.by[WhiteBishop][index] = t.by[BlackBishop][index] = diagonal;
    t.by[WhiteRook][index] = t.by[BlackRook][index] = straight;
    t.by[WhiteQueen][index] = t.by[BlackQueen][index] = diagonal | straight;
  }
  return t;
}
inline constexpr ReachTable Reach = BuildReach();

// The sliders of a side (`base` 0 white, 6 black) standing on a line through `king` that one of
// their kind moves along: for a line through the king, what could attack it along that line.
inline Bitboard SlidersAlongLine(const Bitboard* byCode, int base, int king, Bitboard line) {
  const Bitboard queens = byCode[base + WhiteQueen];
  return line & ((Reach[WhiteRook][size_t(king)] & (byCode[base + WhiteRook] | queens)) |
                 (Reach[WhiteBishop][size_t(king)] & (byCode[base + WhiteBishop] | queens)));
}

// The pieces of one side as they stand after a trial move.
struct SideAfter {
  Bitboard pawns, knights, diagonal, straight, kings;
};

// Whether a square is attacked by the side described, with the given occupancy; the
// square holds a piece of the other side (the defended king).
inline bool AttackedAfter(int target, int attacker, const SideAfter& side, Bitboard occupied) {
  return (Attacks.pawn[attacker ^ 1][target] & side.pawns) || (Attacks.king[target] & side.kings) ||
         (Attacks.knight[target] & side.knights) || (BishopAttacks(target, occupied) & side.diagonal) ||
         (RookAttacks(target, occupied) & side.straight);
}

}  // namespace doska_tables

// The board's own files name these tables throughout.
using namespace doska_tables;

__attribute__((always_inline)) inline void doska::Place(int index, uint8_t code) {
  uint8_t& square = cells[index];
  const Bitboard bit = SquareBit(index);
  const uint8_t old = square;
  ++stamp;
  pieceKey ^= PieceSquareKeys.key[old][index] ^ PieceSquareKeys.key[code][index];
  byCode[old] &= ~bit;
  byColor[ColorSlot[old]] &= ~bit;
  square = code;
  byCode[code] |= bit;
  byColor[ColorSlot[code]] |= bit;
}

__attribute__((always_inline)) inline void doska::MovePiece(int from, int to, uint8_t piece) {
  const uint8_t taken = cells[to];
  const Bitboard fromBit = SquareBit(from), toBit = SquareBit(to);
  ++stamp;
  pieceKey ^= PieceSquareKeys.key[piece][from] ^ PieceSquareKeys.key[piece][to] ^ PieceSquareKeys.key[taken][to];
  // Toggled: the mover's sets lose the origin and gain the destination, the taken piece's set
  // (the empty squares' when none) loses the destination, the empty squares gain the origin.
  byCode[piece] ^= fromBit | toBit;
  byCode[taken] ^= toBit;
  byCode[Empty] ^= fromBit;
  byColor[ColorSlot[piece]] ^= fromBit | toBit;
  byColor[ColorSlot[taken]] ^= toBit;
  byColor[2] ^= fromBit;
  cells[from] = Empty;
  cells[to] = piece;
}

__attribute__((always_inline)) inline doska::KingSafety doska::SafetyOf(bool black) const {
  KingSafety safety;
  const Bitboard kings = byCode[black ? BlackKing : WhiteKing];
  if (!kings || (kings & (kings - 1))) return safety;  // no king or several: the full test
  safety.king = LowestSquare(kings);
  if ((checkMemo | 1) == CheckMemoWord(stamp, black, true))
    safety.inCheck = checkMemo & 1;
  else
    safety.inCheck = AttackedBy(safety.king, !black);
  return safety;
}
