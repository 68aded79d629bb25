#include "chess/fen_text.h"

#include "chess/decimal_text.h"

namespace {

constexpr char PieceLetters[PieceCodeCount] = {'1', 'P', 'N', 'B', 'R', 'Q', 'K', 'p', 'n', 'b', 'r', 'q', 'k'};

void AppendPlacement(std::string& out, const doska& board) {
  for (int rank = 8; rank >= 1; --rank) {
    int empty = 0;
    for (int file = 1; file <= 8; ++file) {
      const uint8_t code = board.at(file, rank);
      if (code == Empty || code >= PieceCodeCount) {
        ++empty;
        continue;
      }
      if (empty) out += char('0' + empty);
      empty = 0;
      out += PieceLetters[code];
    }
    if (empty) out += char('0' + empty);
    if (rank > 1) out += '/';
  }
}

// A castling right's letter: K/Q (k/q for black) for a rook in its corner, else the rook's
// file letter, which readers of Chess960 positions take.
char CastlingLetter(const doska& board, int slot, bool longside, bool black) {
  const int file = board.castlingfiles[slot];
  const bool corner = longside ? file == 1 : file == 8;
  char letter = corner || !board.chess960 ? (longside ? 'Q' : 'K') : char('A' + file - 1);
  if (black) letter = char(letter - 'A' + 'a');
  return letter;
}

void AppendCastling(std::string& out, const doska& board) {
  const size_t before = out.size();
  if (board.castleright(Side::White, false)) out += CastlingLetter(board, 1, false, false);
  if (board.castleright(Side::White, true)) out += CastlingLetter(board, 0, true, false);
  if (board.castleright(Side::Black, false)) out += CastlingLetter(board, 3, false, true);
  if (board.castleright(Side::Black, true)) out += CastlingLetter(board, 2, true, true);
  if (out.size() == before) out += '-';
}

// The en-passant square when a pawn of the side to move can take there.
void AppendEnPassant(std::string& out, const doska& board, Side toMove) {
  const bool black = toMove == Side::Black;
  const int file = black ? board.epforblack : board.epforwhite;
  const int pawnRank = black ? 4 : 5;  // where the capturing pawn stands
  const uint8_t capturer = black ? BlackPawn : WhitePawn;
  const bool ready = file >= 1 && file <= 8 &&
                     ((file > 1 && board.at(file - 1, pawnRank) == capturer) ||
                      (file < 8 && board.at(file + 1, pawnRank) == capturer));
  if (!ready) {
    out += '-';
    return;
  }
  out += char('a' + file - 1);
  out += black ? '3' : '6';
}

}  // namespace

void AppendEpdPosition(std::string& out, const doska& board, Side toMove) {
  AppendPlacement(out, board);
  out += toMove == Side::Black ? " b " : " w ";
  AppendCastling(out, board);
  out += ' ';
  AppendEnPassant(out, board, toMove);
}

void AppendFen(std::string& out, const doska& board, Side toMove, int halfmoveClock, int fullmoveNumber) {
  AppendEpdPosition(out, board, toMove);
  out += ' ';
  AppendDecimal(out, int64_t(halfmoveClock < 0 ? 0 : halfmoveClock));
  out += ' ';
  AppendDecimal(out, int64_t(fullmoveNumber < 1 ? 1 : fullmoveNumber));
}
