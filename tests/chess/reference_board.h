// A plain, literal board: the rules written square by square, slow and obvious. The fast
// board is checked against it.
#pragma once

#include <cstdint>

#include "chess/doska.h"

class ReferenceBoard {
 public:
  uint8_t squares[9][9] = {};  // [file][rank], 1-based; index 0 unused
  uint8_t wqueenlost = 0, wkinglost = 0, bqueenlost = 0, bkinglost = 0;
  uint8_t wkingmoved = 0, bkingmoved = 0, epforblack = 0, epforwhite = 0;

  ReferenceBoard();
  explicit ReferenceBoard(const doska& board);
  void reset();
  // Same squares and state bytes as the fast board.
  bool Matches(const doska& board) const;

  bool canmove(Square from, Square to) const;
  bool attacked(Square square, bool byblack) const;
  bool legal(Square from, Square to) const;
  uint8_t gamestate(bool whitetomove) const;
  uint8_t resolve(MoveText& text) const;
  bool castleright(bool black, bool longside) const;
  uint64_t poskey(bool blacktomove) const;
  void describe(mov& m, Square from, Square to, int promotion) const;
  void apply(const mov& m);
  void takeback(const mov& m);

 private:
  uint8_t get(int file, int rank) const { return OnBoard(file, rank) ? squares[file][rank] : 0; }
  void set(int file, int rank, uint8_t code) {
    if (OnBoard(file, rank)) squares[file][rank] = code;
  }
  bool WalkRay(int fromfile, int fromrank, int tofile, int torank, int stepfile, int steprank) const;
};
