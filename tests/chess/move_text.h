// Takes a SAN move text apart into what the board's resolve needs, for tests and benchmarks.
#pragma once

#include <cstdint>
#include <string>

#include "chess/doska.h"

// Piece (in the colour to move), origin hints, destination and promotion of a text such as
// "Nbd2", "exd6", "e8=Q+" or "O-O"; false when the text names no destination.
bool ParseMoveText(const std::string& text, bool black, MoveText& m);

// resolve of a text given field by field, the fields it completes written back: for tests
// that change one field at a time between searches.
template <typename Board>
uint8_t ResolveFields(const Board& board, int piece, int& promotion, int& fromfile, int& fromrank, int& tofile,
                      int& torank) {
  MoveText text{piece, promotion, {fromfile, fromrank}, {tofile, torank}};
  const uint8_t code = board.resolve(text);
  promotion = text.promotion;
  fromfile = text.from.file;
  fromrank = text.from.rank;
  tofile = text.to.file;
  torank = text.to.rank;
  return code;
}
