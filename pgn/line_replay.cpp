#include "pgn/line_replay.h"

#include <cstring>

#include "chess/san_text.h"

LineReplay::LineReplay(const jurnal& line) {
  if (line.ownboard) board.assign(*line.ownboard);
  toMove = line.blackfirst ? Side::Black : Side::White;
  halfmoveClock = line.halfmoves;
  fullmoveNumber = line.movesbefore + 1;
}

void LineReplay::NextSide() {
  if (toMove == Side::Black) ++fullmoveNumber;
  toMove = Opponent(toMove);
  ++ply;
}

void LineReplay::Pass() {
  board.epforblack = board.epforwhite = 0;  // a double step is answered or not at once
  ++halfmoveClock;
  NextSide();
}

void LineReplay::Play(const mov& m) {
  if (PassesFirst(m)) Pass();
  const bool pawn = m.piece == WhitePawn || m.piece == BlackPawn;
  halfmoveClock = pawn || (IsCapture(m) && !IsCastling(m)) ? 0 : halfmoveClock + 1;
  board.apply(m);
  NextSide();
}

namespace {

void AppendSquare(std::string& out, int file, int rank) {
  out += char('a' + file - 1);
  out += char('0' + rank);
}

bool IsPromotion(const mov& m) {
  return (m.piece == WhitePawn || m.piece == BlackPawn) && m.extra != 0 && (m.torank == 1 || m.torank == 8);
}

}  // namespace

size_t UciMoveText(const mov& m, char* text) {
  if (!OnBoard(m.fromfile, m.fromrank) || !OnBoard(m.tofile, m.torank)) {
    std::memcpy(text, "0000", 4);
    return 4;
  }
  text[0] = char('a' + m.fromfile - 1);
  text[1] = char('0' + m.fromrank);
  text[2] = char('a' + m.tofile - 1);
  text[3] = char('0' + m.torank);
  if (!IsPromotion(m)) return 4;
  text[4] = "nbrq"[(PieceType(m.extra) - 2) & 3];
  return 5;
}

void AppendUciMove(std::string& out, const mov& m) {
  char text[8];
  out.append(text, UciMoveText(m, text));  // at once: this runs for every move of every game
}

std::string_view SanWithoutGlyph(const mov& m) {
  std::string_view san = m.san;
  if (m.nag)
    while (!san.empty() && (san.back() == '!' || san.back() == '?')) san.remove_suffix(1);
  return san;
}

void AppendLanMove(std::string& out, const mov& m) {
  const std::string_view san = SanWithoutGlyph(m);
  // The check or mate mark of the SAN text ends the long form too.
  std::string_view mark = san.substr(san.find_last_not_of("+#") + 1);
  if (IsCastling(m) || !OnBoard(m.fromfile, m.fromrank) || !OnBoard(m.tofile, m.torank)) {
    out.append(san);
    return;
  }
  const int type = PieceType(m.piece);
  if (type != 1) out += " NBRQK"[type - 1];
  AppendSquare(out, m.fromfile, m.fromrank);
  out += IsCapture(m) ? 'x' : '-';
  AppendSquare(out, m.tofile, m.torank);
  if (IsPromotion(m)) {
    out += '=';
    out += " PNBRQK"[PieceType(m.extra)];
  }
  out.append(mark);
}
