// A game's main line played again on a board of its own, move by move, with what a FEN needs
// besides the squares: the side to move, the half-move clock and the move number. The game
// record is only read, so several threads may replay games at once.
#pragma once

#include "chess/doska.h"
#include "chess/jurnal.h"

class LineReplay {
 public:
  // At the line's start: the record's own board (a set-up position) or the initial one.
  explicit LineReplay(const jurnal& line);

  const doska& Board() const { return board; }
  Side ToMove() const { return toMove; }
  int HalfmoveClock() const { return halfmoveClock; }
  int FullmoveNumber() const { return fullmoveNumber; }
  int Ply() const { return ply; }

  // Whether the move is the other side's: the side to move passed before it (a null move).
  bool PassesFirst(const mov& m) const { return IsWhite(m.piece) != (toMove == Side::White); }
  // Plays the move; when it is the other side's, the side to move passes first (a ply of its
  // own, counted so).
  void Play(const mov& m);
  // The side to move passes (a null move).
  void Pass();

 private:
  void NextSide();

  doska board;
  Side toMove = Side::White;
  int halfmoveClock = 0;
  int fullmoveNumber = 1;
  int ply = 0;
};

// The move in UCI's coordinates ("e2e4", "e7e8q"; a Chess960 castling from the king's square
// to its rook's, as UCI_Chess960 writes it), appended to `out`.
void AppendUciMove(std::string& out, const mov& m);
// The same written at `text` (room for five characters); returns its length.
size_t UciMoveText(const mov& m, char* text);
// The move in long algebraic notation ("e2-e4", "Ng1-f3", "e4xd5", "e7-e8=Q+", "O-O"), from the
// record and its SAN text (for the castling and the check marks).
void AppendLanMove(std::string& out, const mov& m);
// The move's SAN text without the glyph ("!", "?!") a NAG put after it.
std::string_view SanWithoutGlyph(const mov& m);
