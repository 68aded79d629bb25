// Takes a SAN move text apart into what the board's resolve needs, for tests and benchmarks.
#pragma once

#include <string>

struct MoveText {
  int piece = 0, promotion = 0, fromfile = 0, fromrank = 0, tofile = 0, torank = 0;
};

// Piece (in the colour to move), origin hints, destination and promotion of a text such as
// "Nbd2", "exd6", "e8=Q+" or "O-O"; false when the text names no destination.
bool ParseMoveText(const std::string& text, bool black, MoveText& m);
