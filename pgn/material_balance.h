// Material balances: the pieces each side has, "KQR:KR" (White's, then Black's). Letters Q R B
// N P (either case; the king may be left out), and L for a minor piece (a bishop or a knight).
// After a letter, how many: a digit (exactly, "P3"), "*" (any number), "+" (at least one), a
// digit and "+" (at least) or "-" (at most); a letter repeated counts again ("RR"). A kind not
// named is not on the board.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "chess/doska.h"

struct PieceCount {
  uint8_t least = 0;
  uint8_t most = 0;
  bool Holds(int count) const { return count >= least && count <= most; }
};

struct SideMaterial {
  // By piece type: 1 pawns, 2 knights, 3 bishops, 4 rooks, 5 queens; [0] the minor pieces.
  PieceCount counts[6];
};

struct MaterialBalance {
  SideMaterial white, black;
  // False with the reason when the text is no balance (two kings, an unknown letter, no ":").
  static bool Parse(std::string_view text, MaterialBalance& balance, std::string& error);
  MaterialBalance Swapped() const { return {black, white}; }
  bool Holds(const doska& board) const;
};
