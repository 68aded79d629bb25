#include "tests/chess/reference_board.h"

#include <cstdlib>
#include <cstring>

#include "chess/polyglot_keys.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

bool SameSide(uint8_t a, uint8_t b) { return a != 0 && b != 0 && IsWhite(a) == IsWhite(b); }
bool OtherSide(uint8_t a, uint8_t b) { return a != 0 && b != 0 && IsWhite(a) != IsWhite(b); }

}  // namespace

ReferenceBoard::ReferenceBoard() { reset(); }

ReferenceBoard::ReferenceBoard(const doska& board) {
  for (int file = 1; file <= 8; ++file)
    for (int rank = 1; rank <= 8; ++rank) squares[file][rank] = board.at(file, rank);
  wqueenlost = board.wqueenlost;
  wkinglost = board.wkinglost;
  bqueenlost = board.bqueenlost;
  bkinglost = board.bkinglost;
  wkingmoved = board.wkingmoved;
  bkingmoved = board.bkingmoved;
  epforblack = board.epforblack;
  epforwhite = board.epforwhite;
}

void ReferenceBoard::reset() {
  const uint8_t back[9] = {0, 4, 2, 3, 5, 6, 3, 2, 4};
  std::memset(squares, 0, sizeof squares);
  for (int file = 1; file <= 8; ++file) {
    squares[file][1] = back[file];
    squares[file][2] = 1;
    squares[file][7] = 7;
    squares[file][8] = uint8_t(back[file] + 6);
  }
  wqueenlost = wkinglost = bqueenlost = bkinglost = wkingmoved = bkingmoved = epforblack = epforwhite = 0;
}

bool ReferenceBoard::Matches(const doska& board) const {
  for (int file = 1; file <= 8; ++file)
    for (int rank = 1; rank <= 8; ++rank)
      if (squares[file][rank] != board.at(file, rank)) return false;
  return wqueenlost == board.wqueenlost && wkinglost == board.wkinglost && bqueenlost == board.bqueenlost &&
         bkinglost == board.bkinglost && wkingmoved == board.wkingmoved && bkingmoved == board.bkingmoved &&
         epforblack == board.epforblack && epforwhite == board.epforwhite;
}

bool ReferenceBoard::WalkRay(int fromfile, int fromrank, int tofile, int torank, int stepfile, int steprank) const {
  const uint8_t mover = squares[fromfile][fromrank];
  int file = fromfile + stepfile, rank = fromrank + steprank;
  while (OnBoard(file, rank)) {
    const uint8_t code = squares[file][rank];
    if (SameSide(mover, code)) return false;
    if (file == tofile && rank == torank) return true;
    if (OtherSide(mover, code)) return false;
    file += stepfile;
    rank += steprank;
  }
  return false;
}

bool ReferenceBoard::canmove(Square from, Square to) const {
  const int fromfile = from.file, fromrank = from.rank, tofile = to.file, torank = to.rank;
  if (!OnBoard(fromfile, fromrank) || !OnBoard(tofile, torank)) return false;
  const int dx = std::abs(fromfile - tofile), dy = std::abs(fromrank - torank);
  const uint8_t piece = squares[fromfile][fromrank];
  const uint8_t target = squares[tofile][torank];
  const int stepfile = Sign(tofile - fromfile), steprank = Sign(torank - fromrank);
  switch (piece) {
    case 0:
      return false;
    case 1:
      if (tofile == fromfile) {
        if (target != 0) return false;
        return torank == fromrank + 1 || (fromrank == 2 && torank == 4 && squares[fromfile][3] == 0);
      }
      if (dx == 1 && torank == fromrank + 1) return IsBlack(target) || (fromrank == 5 && tofile == epforwhite);
      return false;
    case 7:
      if (tofile == fromfile) {
        if (target != 0) return false;
        return torank == fromrank - 1 || (fromrank == 7 && torank == 5 && squares[fromfile][6] == 0);
      }
      if (dx == 1 && torank == fromrank - 1) return IsWhite(target) || (fromrank == 4 && tofile == epforblack);
      return false;
    case 2:
    case 8:
      return ((dx == 2 && dy == 1) || (dx == 1 && dy == 2)) && !SameSide(piece, target);
    case 3:
    case 9:
      return dx == dy && dx > 0 && WalkRay(fromfile, fromrank, tofile, torank, stepfile, steprank);
    case 4:
    case 10:
      return (dx == 0) != (dy == 0) && WalkRay(fromfile, fromrank, tofile, torank, stepfile, steprank);
    case 5:
    case 11:
      return ((dx == dy && dx > 0) || (dx == 0) != (dy == 0)) &&
             WalkRay(fromfile, fromrank, tofile, torank, stepfile, steprank);
    case 6:
      if (dx <= 1 && dy <= 1) return !SameSide(piece, target) && !attacked({tofile, torank}, true);
      if (wkingmoved == 0 && fromfile == 5 && fromrank == 1 && torank == 1) {
        if (tofile == 3)
          return squares[2][1] == 0 && squares[3][1] == 0 && squares[4][1] == 0 && wqueenlost == 0 &&
                 !attacked({3, 1}, true) && !attacked({4, 1}, true) && !attacked({5, 1}, true);
        if (tofile == 7)
          return squares[6][1] == 0 && squares[7][1] == 0 && wkinglost == 0 && !attacked({6, 1}, true) &&
                 !attacked({7, 1}, true) && !attacked({5, 1}, true);
      }
      return false;
    case 12:
      if (dx <= 1 && dy <= 1) return !SameSide(piece, target) && !attacked({tofile, torank}, false);
      if (bkingmoved == 0 && fromfile == 5 && fromrank == 8 && torank == 8) {
        if (tofile == 3)
          return squares[2][8] == 0 && squares[3][8] == 0 && squares[4][8] == 0 && bqueenlost == 0 &&
                 !attacked({3, 8}, false) && !attacked({4, 8}, false) && !attacked({5, 8}, false);
        if (tofile == 7)
          return squares[6][8] == 0 && squares[7][8] == 0 && bkinglost == 0 && !attacked({6, 8}, false) &&
                 !attacked({7, 8}, false) && !attacked({5, 8}, false);
      }
      return false;
  }
  return false;
}

bool ReferenceBoard::attacked(Square square, bool byblack) const {
  const int file = square.file, rank = square.rank;
  if (!OnBoard(file, rank)) return false;
  for (int pf = 1; pf <= 8; ++pf)
    for (int pr = 1; pr <= 8; ++pr) {
      if (pf == file && pr == rank) continue;
      const uint8_t piece = squares[pf][pr];
      if (piece == 0 || IsBlack(piece) != byblack) continue;
      bool hits;
      if (piece == 1)
        hits = std::abs(pf - file) == 1 && rank == pr + 1;
      else if (piece == 7)
        hits = std::abs(pf - file) == 1 && rank == pr - 1;
      else if (piece == 6 || piece == 12)
        hits = std::abs(pf - file) <= 1 && std::abs(pr - rank) <= 1;
      else
        hits = canmove({pf, pr}, {file, rank});
      if (hits) return true;
    }
  return false;
}

bool ReferenceBoard::legal(Square from, Square to) const {
  if (!canmove(from, to)) return false;
  ReferenceBoard trial = *this;
  mov m;
  trial.describe(m, from, to, 0);
  trial.apply(m);
  const uint8_t king = IsWhite(m.piece) ? 6 : 12;
  for (int file = 1; file <= 8; ++file)
    for (int rank = 1; rank <= 8; ++rank)
      if (trial.squares[file][rank] == king) return !trial.attacked({file, rank}, king == 6);
  return true;
}

uint8_t ReferenceBoard::gamestate(bool whitetomove) const {
  const uint8_t king = whitetomove ? 6 : 12;
  int kingfile = 0, kingrank = 0;
  for (int file = 1; file <= 8 && !kingfile; ++file)
    for (int rank = 1; rank <= 8; ++rank)
      if (squares[file][rank] == king) {
        kingfile = file;
        kingrank = rank;
        break;
      }
  if (!kingfile) return 255;
  const bool check = attacked({kingfile, kingrank}, whitetomove);
  bool hasMove = false;
  for (int ff = 1; ff <= 8 && !hasMove; ++ff)
    for (int fr = 1; fr <= 8 && !hasMove; ++fr) {
      const uint8_t piece = squares[ff][fr];
      if (piece == 0 || IsWhite(piece) != whitetomove) continue;
      for (int tf = 1; tf <= 8 && !hasMove; ++tf)
        for (int tr = 1; tr <= 8 && !hasMove; ++tr)
          if (canmove({ff, fr}, {tf, tr}) && legal({ff, fr}, {tf, tr})) hasMove = true;
    }
  if (check) return hasMove ? 1 : 2;
  return hasMove ? 0 : 3;
}

uint8_t ReferenceBoard::resolve(MoveText& text) const {
  const int piece = text.piece, tofile = text.to.file;
  int &promotion = text.promotion, &fromfile = text.from.file, &fromrank = text.from.rank, &torank = text.to.rank;
  if (piece == 0) return 7;
  const bool pawn = piece == 1 || piece == 7;
  const int lastRank = piece == 1 ? 8 : 1;
  if (promotion == 0 && pawn && torank == lastRank) return 8;
  const bool fits =
      (piece == 1 && promotion >= 2 && promotion <= 5) || (piece == 7 && promotion >= 8 && promotion <= 11);
  if (promotion != 0 && (!fits || (torank != 0 && torank != lastRank))) return 5;
  if (piece < 0 || piece > 12 || fromfile < 0 || fromfile > 8 || fromrank < 0 || fromrank > 8) return 5;

  int found = 0, foundFile = 0, foundRank = 0;
  uint8_t result = 0;
  for (int file = fromfile ? fromfile : 1; file <= (fromfile ? fromfile : 8); ++file)
    for (int rank = fromrank ? fromrank : 1; rank <= (fromrank ? fromrank : 8); ++rank) {
      if (squares[file][rank] != piece) continue;
      if (torank == 0 && pawn) {
        torank = piece == 1 ? rank + 1 : rank - 1;
        if (promotion == 0 && torank == lastRank) return 8;
        if (promotion != 0 && torank != lastRank) return 5;
      }
      if (!legal({file, rank}, {tofile, torank})) continue;
      if (found) return 6;
      found = 1;
      foundFile = file;
      foundRank = rank;
      ReferenceBoard trial = *this;
      mov m;
      trial.describe(m, {file, rank}, {tofile, torank}, promotion);
      trial.apply(m);
      result = trial.gamestate(IsBlack(piece));
      promotion = m.extra;
    }
  if (!found) return 5;
  fromfile = foundFile;
  fromrank = foundRank;
  return result;
}

bool ReferenceBoard::castleright(bool black, bool longside) const {
  if (black) return bkingmoved == 0 && (longside ? bqueenlost : bkinglost) == 0;
  return wkingmoved == 0 && (longside ? wqueenlost : wkinglost) == 0;
}

uint64_t ReferenceBoard::poskey(bool blacktomove) const {
  uint64_t key = 0;
  for (int file = 1; file <= 8; ++file)
    for (int rank = 1; rank <= 8; ++rank) {
      const uint8_t piece = squares[file][rank];
      if (piece == 0) continue;
      const int type = PieceType(piece);
      const int kind = IsWhite(piece) ? 2 * (type - 1) + 1 : 2 * (type - 1);
      key ^= PolyglotKeys[64 * kind + 8 * (rank - 1) + (file - 1)];
    }
  if (castleright(false, false)) key ^= PolyglotKeys[768];
  if (castleright(false, true)) key ^= PolyglotKeys[769];
  if (castleright(true, false)) key ^= PolyglotKeys[770];
  if (castleright(true, true)) key ^= PolyglotKeys[771];
  const int file = blacktomove ? epforblack : epforwhite;
  const uint8_t pawn = blacktomove ? 7 : 1;
  const int rank = blacktomove ? 4 : 5;
  if (file >= 1 && file <= 8 && (get(file - 1, rank) == pawn || get(file + 1, rank) == pawn))
    key ^= PolyglotKeys[772 + file - 1];
  if (!blacktomove) key ^= PolyglotKeys[780];
  return key;
}

void ReferenceBoard::describe(mov& m, Square from, Square to, int promotion) const {
  const int fromfile = from.file, fromrank = from.rank, tofile = to.file, torank = to.rank;
  m.piece = get(fromfile, fromrank);
  m.fromfile = uint8_t(fromfile);
  m.fromrank = uint8_t(fromrank);
  m.tofile = uint8_t(tofile);
  m.torank = uint8_t(torank);
  m.captured = get(tofile, torank);
  m.extra = uint8_t(promotion);
  if ((promotion == 0 || promotion == 1 || promotion == 7) && (m.piece == 1 || m.piece == 7) &&
      std::abs(fromfile - tofile) == 1 && m.captured == 0)
    m.extra = m.piece == 1 ? 7 : 1;
  const bool whiteCastles =
      m.piece == 6 && fromfile == 5 && fromrank == 1 && torank == 1 && (tofile == 3 || tofile == 7);
  const bool blackCastles =
      m.piece == 12 && fromfile == 5 && fromrank == 8 && torank == 8 && (tofile == 3 || tofile == 7);
  uint8_t flags = 0;
  if ((whiteCastles && tofile == 3) ||
      (wqueenlost == 0 && ((m.piece == 4 && fromfile == 1 && fromrank == 1) || (tofile == 1 && torank == 1))))
    flags |= 1;
  if ((whiteCastles && tofile == 7) ||
      (wkinglost == 0 && ((m.piece == 4 && fromfile == 8 && fromrank == 1) || (tofile == 8 && torank == 1))))
    flags |= 2;
  if ((blackCastles && tofile == 3) ||
      (bqueenlost == 0 && ((m.piece == 10 && fromfile == 1 && fromrank == 8) || (tofile == 1 && torank == 8))))
    flags |= 4;
  if ((blackCastles && tofile == 7) ||
      (bkinglost == 0 && ((m.piece == 10 && fromfile == 8 && fromrank == 8) || (tofile == 8 && torank == 8))))
    flags |= 8;
  if (whiteCastles || (m.piece == 6 && std::abs(fromfile - tofile) <= 1 && wkingmoved == 0)) flags |= 16;
  if (blackCastles || (m.piece == 12 && std::abs(fromfile - tofile) <= 1 && bkingmoved == 0)) flags |= 32;
  if (m.piece == 1 && fromrank == 2 && torank == 4) flags |= 64;
  if (m.piece == 7 && fromrank == 7 && torank == 5) flags |= 128;
  m.flags = flags;
}

void ReferenceBoard::apply(const mov& m) {
  set(m.fromfile, m.fromrank, 0);
  set(m.tofile, m.torank, m.piece);
  if (m.extra != 0) {
    if (m.torank == 1 || m.torank == 8) set(m.tofile, m.torank, m.extra);
    if (m.extra == 7) set(m.tofile, m.torank - 1, 0);
    if (m.extra == 1) set(m.tofile, m.torank + 1, 0);
  }
  if (m.piece == 6 && m.fromfile == 5 && m.fromrank == 1 && m.torank == 1) {
    if (m.tofile == 3) set(1, 1, 0), set(4, 1, 4);
    if (m.tofile == 7) set(8, 1, 0), set(6, 1, 4);
  }
  if (m.piece == 12 && m.fromfile == 5 && m.fromrank == 8 && m.torank == 8) {
    if (m.tofile == 3) set(1, 8, 0), set(4, 8, 10);
    if (m.tofile == 7) set(8, 8, 0), set(6, 8, 10);
  }
  if (m.flags & 1) wqueenlost = 1;
  if (m.flags & 2) wkinglost = 1;
  if (m.flags & 4) bqueenlost = 1;
  if (m.flags & 8) bkinglost = 1;
  if (m.flags & 16) wkingmoved = 1;
  if (m.flags & 32) bkingmoved = 1;
  epforblack = (m.flags & 64) ? m.fromfile : 0;
  epforwhite = (m.flags & 128) ? m.fromfile : 0;
}

void ReferenceBoard::takeback(const mov& m) {
  set(m.fromfile, m.fromrank, m.piece);
  set(m.tofile, m.torank, m.captured);
  if (m.extra == 7) set(m.tofile, m.torank - 1, 7);
  if (m.extra == 1) set(m.tofile, m.torank + 1, 1);
  if (m.piece == 6 && m.fromfile == 5 && m.fromrank == 1 && m.torank == 1) {
    if (m.tofile == 3) set(4, 1, 0), set(1, 1, 4);
    if (m.tofile == 7) set(6, 1, 0), set(8, 1, 4);
  }
  if (m.piece == 12 && m.fromfile == 5 && m.fromrank == 8 && m.torank == 8) {
    if (m.tofile == 3) set(4, 8, 0), set(1, 8, 10);
    if (m.tofile == 7) set(6, 8, 0), set(8, 8, 10);
  }
  if (m.flags & 1) wqueenlost = 0;
  if (m.flags & 2) wkinglost = 0;
  if (m.flags & 4) bqueenlost = 0;
  if (m.flags & 8) bkinglost = 0;
  if (m.flags & 16) wkingmoved = 0;
  if (m.flags & 32) bkingmoved = 0;
}
