// The record of one half-move as the game record stores it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "chess/compact.h"

class jurnal;

// State changes a move causes; each bit is set only when the move changes that state.
enum MoveFlag : uint8_t {
  LosesWhiteLong = 1,   // white may no longer castle queen side
  LosesWhiteShort = 2,  // white may no longer castle king side
  LosesBlackLong = 4,
  LosesBlackShort = 8,
  MovesWhiteKing = 16,  // the white king moves for the first time (or castles)
  MovesBlackKing = 32,
  WhiteDoubleStep = 64,  // a white pawn goes from rank 2 to rank 4
  BlackDoubleStep = 128,
};

// `extra` of a Chess960 castling, whose record goes from the king's square to its rook's: the
// king ends on the c or g file and the rook beside it on the inner side.
constexpr uint8_t CastlingExtra = 13;

// Nothing of a record points into the record itself (its texts and variations are held through
// pointers to the heap, or in place as plain bytes): records move as bytes, which is how their
// array (MoveList) grows and shrinks.
struct mov {
  uint8_t piece = 0;  // code of the moving piece, before promotion
  uint8_t fromfile = 0;
  uint8_t fromrank = 0;
  uint8_t tofile = 0;
  uint8_t torank = 0;
  // Promotion: the code the pawn becomes. En passant: 7 when a white pawn captures
  // (a black pawn disappears), 1 when a black pawn does. A Chess960 castling: CastlingExtra.
  // Otherwise 0.
  uint8_t extra = 0;
  uint8_t captured = 0;  // code on the destination before the move; 0 for en passant
  uint8_t flags = 0;     // MoveFlag bits

  SanString san;        // standard algebraic notation
  uint8_t nag = 0;      // 0..255
  CompactText comment;  // the comment after the move, braces included
  // Alternative lines replacing this move; the game record that holds the move owns them.
  CompactList<jurnal*> variations;

  // The first eight bytes, what the board needs to play and take back the move, as one number
  // (how a move is remembered or stored whole), and back.
  // The eight fields lie first, in this order (a test holds them to it).
  uint64_t BoardBytes() const {
    uint64_t packed;
    std::memcpy(&packed, static_cast<const void*>(this), sizeof packed);  // one load, not eight
    return packed;
  }
  void SetBoardBytes(uint64_t packed) { std::memcpy(static_cast<void*>(this), &packed, sizeof packed); }
  // The first eight bytes: what the board needs to play and take back the move.
  bool SameBoardMove(const mov& other) const {
    return piece == other.piece && fromfile == other.fromfile && fromrank == other.fromrank && tofile == other.tofile &&
           torank == other.torank && extra == other.extra && captured == other.captured && flags == other.flags;
  }
};
