// A line of moves given as text ("e4 c5 Nf3 d6", move numbers optional), played from the start:
// what --line and --reaches look for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chess/doska.h"

struct PlayedLine {
  std::vector<uint64_t> placements;  // the board's placement key after each move
  doska board;                       // the position after the last move
  Side toMove = Side::White;
};

// False with the reason when the text holds no moves or a move that cannot be played.
bool PlayLine(std::string_view moves, PlayedLine& line, std::string& error);
