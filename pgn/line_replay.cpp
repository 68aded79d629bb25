#include "pgn/line_replay.h"

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

void AppendUciMove(std::string& out, const mov& m) {
  if (!OnBoard(m.fromfile, m.fromrank) || !OnBoard(m.tofile, m.torank)) {
    out += "0000";
    return;
  }
  // Written at once: this runs for every move of every game.
  char text[5] = {char('a' + m.fromfile - 1), char('0' + m.fromrank), char('a' + m.tofile - 1), char('0' + m.torank),
                  0};
  const bool promotion = IsPromotion(m);
  if (promotion) text[4] = "nbrq"[(PieceType(m.extra) - 2) & 3];
  out.append(text, promotion ? 5 : 4);
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
