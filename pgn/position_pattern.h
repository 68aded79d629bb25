// Board patterns: a placement in FEN's order (rank 8 first, ranks split by "/") in which a square
// may stand for more than one thing. Besides FEN's piece letters and digits (empty squares):
//   ?       any square, empty or not        !       any piece
//   A / a   any white / any black piece     [..]    any of the letters inside (A and a too);
//   *       a run of zero or more squares,          [^..] anything but them (empty included)
//           whatever stands on them
// A pattern may end in " w" or " b" for the side to move; without it either side may be to move.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chess/doska.h"

class BoardPattern {
 public:
  // False with the reason when the text is no pattern (a rank of nine squares, an unknown letter).
  static bool Parse(std::string_view text, BoardPattern& pattern, std::string& error);
  // The pattern with the colours swapped and the ranks mirrored.
  BoardPattern Mirrored() const;
  bool Holds(const doska& board, Side toMove) const;

 private:
  // For each piece code (0 for an empty square), the squares it may stand on. A board fits when
  // no code stands outside its squares: one test a code, on the whole board at once.
  using Allowed = std::array<Bitboard, PieceCodeCount>;
  static bool FitsAll(const doska& board, const Allowed& allowed);
  Allowed fixed{};  // the ranks that can be read one way only
  // For a rank with a run before other squares ("*p?"), every way its squares can be read;
  // each allows anything outside that rank.
  std::vector<std::vector<Allowed>> choices;
  bool sideGiven = false;
  Side toMove = Side::White;
};
