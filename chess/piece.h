// Piece codes and squares as the whole library uses them.
#pragma once

#include <cstdint>

// One byte a square: 0 empty, 1..6 white pawn..king, 7..12 black pawn..king.
enum PieceCode : uint8_t {
  Empty = 0,
  WhitePawn = 1,
  WhiteKnight = 2,
  WhiteBishop = 3,
  WhiteRook = 4,
  WhiteQueen = 5,
  WhiteKing = 6,
  BlackPawn = 7,
  BlackKnight = 8,
  BlackBishop = 9,
  BlackRook = 10,
  BlackQueen = 11,
  BlackKing = 12,
};

constexpr int PieceCodeCount = 13;

constexpr bool IsWhite(int code) { return code >= WhitePawn && code <= WhiteKing; }
constexpr bool IsBlack(int code) { return code >= BlackPawn && code <= BlackKing; }

// 1 pawn, 2 knight, 3 bishop, 4 rook, 5 queen, 6 king; 0 for an empty square.
// (Codes outside 0..12, from a record made elsewhere, follow the same rule of six.)
constexpr int PieceType(int code) {
  if (unsigned(code) <= unsigned(BlackKing)) return code <= WhiteKing ? code : code - 6;
  return (code - 1) % 6 + 1;
}

// The code of a piece type (1..6) in the given colour.
constexpr uint8_t MakePiece(int type, bool black) { return uint8_t(type + (black ? 6 : 0)); }

// A side of the board. The board's questions about a side take one, never a bool whose meaning
// ("white to move", "black to move", "by black") the reader has to look up.
enum class Side : uint8_t { White = 0, Black = 1 };
constexpr Side SideOf(bool black) { return black ? Side::Black : Side::White; }
constexpr Side Opponent(Side side) { return side == Side::White ? Side::Black : Side::White; }

constexpr bool OnBoard(int file, int rank) { return file >= 1 && file <= 8 && rank >= 1 && rank <= 8; }

// A square by file and rank, each 1..8 on the board. In a move's text 0 stands for a part the
// text does not give ("Nbd7": the origin's rank).
struct Square {
  int file = 0;
  int rank = 0;
  constexpr bool operator==(const Square&) const = default;
};
constexpr bool OnBoard(Square s) { return OnBoard(s.file, s.rank); }

// Bit index of a square: a1 = 0, b1 = 1, ..., h8 = 63 (rank-major, as the position key counts).
constexpr int SquareIndex(int file, int rank) { return (rank - 1) * 8 + (file - 1); }
constexpr int SquareIndex(Square s) { return SquareIndex(s.file, s.rank); }
constexpr int FileOf(int index) { return (index & 7) + 1; }
constexpr int RankOf(int index) { return (index >> 3) + 1; }
