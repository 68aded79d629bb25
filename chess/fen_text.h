// A position written as FEN, as engines and databases read it.
#pragma once

#include <string>

#include "chess/doska.h"

// Appends the FEN of the board with `toMove` to move: placement, side, castling rights (KQkq;
// a Chess960 board names its rooks' files, Shredder-FEN style, when one is not in its corner),
// the en-passant square only when a pawn of the side to move stands beside the pawn that just
// stepped two squares (as X-FEN and the repetition rule count it), the half-move clock and the
// full-move number.
void AppendFen(std::string& out, const doska& board, Side toMove, int halfmoveClock, int fullmoveNumber);

// Only the first four fields (placement, side, castling, en passant): an EPD record's position.
void AppendEpdPosition(std::string& out, const doska& board, Side toMove);
