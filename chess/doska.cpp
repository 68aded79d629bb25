#include "chess/doska.h"

#include <cassert>
#include <cstdlib>
#include <cstring>

#include "chess/polyglot_keys.h"

namespace {

constexpr int White = 0;
constexpr int Black = 1;

constexpr uint8_t InitialBackRank[8] = {WhiteRook, WhiteKnight, WhiteBishop, WhiteQueen,
                                        WhiteKing, WhiteBishop, WhiteKnight, WhiteRook};

int ColorOf(uint8_t code) { return IsBlack(code) ? Black : White; }

// The first square of a set in the board's file-by-file, rank-by-rank scanning order.
int FirstFileMajor(Bitboard set) {
  if ((set & (set - 1)) == 0) return LowestSquare(set);
  for (int file = 1; file <= 8; ++file) {
    const Bitboard column = set & Attacks.file[file];
    if (column) return LowestSquare(column);
  }
  return -1;
}

// The pieces of one side as they stand after a trial move.
struct SideAfter {
  Bitboard pawns, knights, diagonal, straight, kings;
};

// Whether a square is attacked by the side described, with the given occupancy; the
// square holds a piece of the other side (the defended king).
bool AttackedAfter(int target, int attacker, const SideAfter& side, Bitboard occupied) {
  return (Attacks.pawn[attacker ^ 1][target] & side.pawns) || (Attacks.king[target] & side.kings) ||
         (Attacks.knight[target] & side.knights) || (BishopAttacks(target, occupied) & side.diagonal) ||
         (RookAttacks(target, occupied) & side.straight);
}

}  // namespace

doska::doska() { reset(); }

void doska::clear() {
  std::memset(squares, 0, sizeof squares);
  std::memset(byCode, 0, sizeof byCode);
  byCode[Empty] = ~Bitboard(0);
  byColor[White] = byColor[Black] = 0;
  wqueenlost = wkinglost = bqueenlost = bkinglost = 0;
  wkingmoved = bkingmoved = 0;
  epforblack = epforwhite = 0;
}

void doska::reset() {
  clear();
  for (int file = 1; file <= 8; ++file) {
    put(file, 1, InitialBackRank[file - 1]);
    put(file, 2, WhitePawn);
    put(file, 7, BlackPawn);
    put(file, 8, uint8_t(InitialBackRank[file - 1] + 6));
  }
}

void doska::assign(const doska& other) { *this = other; }

void doska::Place(int index, uint8_t code) {
  uint8_t& square = squares[FileOf(index) - 1][RankOf(index) - 1];
  const Bitboard bit = SquareBit(index);
  const uint8_t old = square;
  byCode[old] &= ~bit;
  if (old != Empty) byColor[ColorOf(old)] &= ~bit;
  square = code;
  byCode[code] |= bit;
  if (code != Empty) byColor[ColorOf(code)] |= bit;
}

void doska::put(int file, int rank, uint8_t code) {
  if (!OnBoard(file, rank) || code >= PieceCodeCount) return;
  Place(SquareIndex(file, rank), code);
}

bool doska::SamePosition(const doska& other) const {
  return std::memcmp(squares, other.squares, sizeof squares) == 0 && wqueenlost == other.wqueenlost &&
         wkinglost == other.wkinglost && bqueenlost == other.bqueenlost && bkinglost == other.bkinglost &&
         wkingmoved == other.wkingmoved && bkingmoved == other.bkingmoved &&
         epforblack == other.epforblack && epforwhite == other.epforwhite;
}

bool doska::IsConsistent() const {
  Bitboard seen = 0;
  for (int code = 0; code < PieceCodeCount; ++code) {
    if (seen & byCode[code]) return false;
    seen |= byCode[code];
  }
  if (seen != ~Bitboard(0)) return false;
  for (int index = 0; index < 64; ++index) {
    const uint8_t code = squares[FileOf(index) - 1][RankOf(index) - 1];
    if (code >= PieceCodeCount || !(byCode[code] & SquareBit(index))) return false;
    const bool white = byColor[White] & SquareBit(index), black = byColor[Black] & SquareBit(index);
    if (white != IsWhite(code) || black != IsBlack(code)) return false;
  }
  return true;
}

bool doska::AttackedBy(int target, bool byblack) const {
  const int side = byblack ? Black : White;
  const uint8_t base = byblack ? 6 : 0;
  if (Attacks.pawn[side ^ 1][target] & byCode[base + WhitePawn]) return true;
  if (Attacks.king[target] & byCode[base + WhiteKing]) return true;
  // Knights and sliders never attack a square that holds a piece of their own side.
  if (byColor[side] & SquareBit(target)) return false;
  if (Attacks.knight[target] & byCode[base + WhiteKnight]) return true;
  const Bitboard occupied = byColor[White] | byColor[Black];
  const Bitboard queens = byCode[base + WhiteQueen];
  if (BishopAttacks(target, occupied) & (byCode[base + WhiteBishop] | queens)) return true;
  return RookAttacks(target, occupied) & (byCode[base + WhiteRook] | queens);
}

bool doska::attacked(int file, int rank, bool byblack) const {
  if (!OnBoard(file, rank)) return false;
  return AttackedBy(SquareIndex(file, rank), byblack);
}

bool doska::CanCastle(bool black, bool longside) const {
  const int rank = black ? 8 : 1;
  if (black ? bkingmoved : wkingmoved) return false;
  if (longside ? (black ? bqueenlost : wqueenlost) : (black ? bkinglost : wkinglost)) return false;
  const Bitboard occupied = byColor[White] | byColor[Black];
  const Bitboard between = longside ? SquareBit(SquareIndex(2, rank)) | SquareBit(SquareIndex(3, rank)) |
                                          SquareBit(SquareIndex(4, rank))
                                    : SquareBit(SquareIndex(6, rank)) | SquareBit(SquareIndex(7, rank));
  if (occupied & between) return false;
  // The king may not castle out of, through or into an attack; b1/b8 may be attacked.
  const int first = longside ? 3 : 5;
  for (int file = first; file <= first + 2; ++file)
    if (AttackedBy(SquareIndex(file, rank), !black)) return false;
  return true;
}

Bitboard doska::KingTargets(int from, uint8_t code) const {
  const bool black = IsBlack(code);
  Bitboard steps = Attacks.king[from] & ~byColor[black ? Black : White];
  Bitboard targets = 0;
  while (steps) {
    const int to = PopLowest(steps);
    if (!AttackedBy(to, !black)) targets |= SquareBit(to);
  }
  if (from == SquareIndex(5, black ? 8 : 1)) {
    if (CanCastle(black, true)) targets |= SquareBit(from - 2);
    if (CanCastle(black, false)) targets |= SquareBit(from + 2);
  }
  return targets;
}

Bitboard doska::Targets(int from) const {
  const uint8_t code = squares[FileOf(from) - 1][RankOf(from) - 1];
  if (code == Empty) return 0;
  const int side = ColorOf(code);
  const Bitboard own = byColor[side];
  const Bitboard occupied = byColor[White] | byColor[Black];
  switch (PieceType(code)) {
    case 1: {
      const int file = FileOf(from), rank = RankOf(from);
      Bitboard targets = Attacks.pawn[side][from] & byColor[side ^ 1];
      if (side == White) {
        if (rank < 8 && !(occupied & SquareBit(from + 8))) {
          targets |= SquareBit(from + 8);
          if (rank == 2 && !(occupied & SquareBit(from + 16))) targets |= SquareBit(from + 16);
        }
        // En passant needs no piece on the destination.
        if (rank == 5 && epforwhite >= 1 && epforwhite <= 8 && std::abs(epforwhite - file) == 1)
          targets |= SquareBit(SquareIndex(epforwhite, 6));
      } else {
        if (rank > 1 && !(occupied & SquareBit(from - 8))) {
          targets |= SquareBit(from - 8);
          if (rank == 7 && !(occupied & SquareBit(from - 16))) targets |= SquareBit(from - 16);
        }
        if (rank == 4 && epforblack >= 1 && epforblack <= 8 && std::abs(epforblack - file) == 1)
          targets |= SquareBit(SquareIndex(epforblack, 3));
      }
      return targets;
    }
    case 2:
      return Attacks.knight[from] & ~own;
    case 3:
      return BishopAttacks(from, occupied) & ~own;
    case 4:
      return RookAttacks(from, occupied) & ~own;
    case 5:
      return (BishopAttacks(from, occupied) | RookAttacks(from, occupied)) & ~own;
    default:
      return KingTargets(from, code);
  }
}

bool doska::canmove(int fromfile, int fromrank, int tofile, int torank) const {
  if (!OnBoard(fromfile, fromrank) || !OnBoard(tofile, torank)) return false;
  const int from = SquareIndex(fromfile, fromrank), to = SquareIndex(tofile, torank);
  const uint8_t code = squares[fromfile - 1][fromrank - 1];
  if (PieceType(code) == 6) {
    const bool black = IsBlack(code);
    if (std::abs(fromfile - tofile) <= 1 && std::abs(fromrank - torank) <= 1)
      return !(byColor[black ? Black : White] & SquareBit(to)) && !AttackedBy(to, !black);
    if (from != SquareIndex(5, black ? 8 : 1) || torank != fromrank) return false;
    if (tofile == 3) return CanCastle(black, true);
    if (tofile == 7) return CanCastle(black, false);
    return false;
  }
  return Targets(from) & SquareBit(to);
}

bool doska::KingSafeAfter(int from, int to) const {
  const uint8_t code = squares[FileOf(from) - 1][RankOf(from) - 1];
  const int mover = ColorOf(code), enemy = mover ^ 1;
  const uint8_t moverKing = mover == White ? WhiteKing : BlackKing;
  const Bitboard toBit = SquareBit(to);

  // Squares whose old content disappears, and the squares the move fills.
  Bitboard removed = SquareBit(from) | toBit;
  Bitboard filled = toBit;
  const int type = PieceType(code);
  if (type == 1 && std::abs(FileOf(from) - FileOf(to)) == 1 && squares[FileOf(to) - 1][RankOf(to) - 1] == Empty) {
    // En passant: the square behind the destination is emptied, whatever stood there.
    const int behind = mover == White ? to - 8 : to + 8;
    if (behind >= 0 && behind < 64) removed |= SquareBit(behind);
  } else if (type == 6 && FileOf(from) == 5 && RankOf(from) == RankOf(to) &&
             RankOf(from) == (mover == White ? 1 : 8) && (FileOf(to) == 3 || FileOf(to) == 7)) {
    const bool longside = FileOf(to) == 3;
    removed |= SquareBit(longside ? from - 4 : from + 3);
    filled |= SquareBit(longside ? from - 1 : from + 1);
  }

  Bitboard kings = byCode[moverKing] & ~removed;
  if (code == moverKing) kings |= toBit;
  if (!kings) return true;
  const int king = FirstFileMajor(kings);

  const uint8_t base = enemy == Black ? 6 : 0;
  const Bitboard keep = ~removed;
  const Bitboard queens = byCode[base + WhiteQueen] & keep;
  const SideAfter attackers{byCode[base + WhitePawn] & keep, byCode[base + WhiteKnight] & keep,
                            (byCode[base + WhiteBishop] & keep) | queens,
                            (byCode[base + WhiteRook] & keep) | queens, byCode[base + WhiteKing] & keep};
  const Bitboard occupied = ((byColor[White] | byColor[Black]) & keep) | filled;
  return !AttackedAfter(king, enemy, attackers, occupied);
}

bool doska::legal(int fromfile, int fromrank, int tofile, int torank) const {
  if (!canmove(fromfile, fromrank, tofile, torank)) return false;
  return KingSafeAfter(SquareIndex(fromfile, fromrank), SquareIndex(tofile, torank));
}

bool doska::HasLegalMove(bool black, bool inCheck) const {
  const uint8_t base = black ? 6 : 0;
  const Bitboard kings = byCode[base + WhiteKing];
  auto tryPieces = [&](Bitboard pieces) {
    while (pieces) {
      const int from = PopLowest(pieces);
      Bitboard targets = Targets(from);
      while (targets)
        if (KingSafeAfter(from, PopLowest(targets))) return true;
    }
    return false;
  };
  // In check the king's own steps are the likeliest way out; otherwise almost any other
  // piece has a legal move, and king steps cost an attack test each.
  if (inCheck && tryPieces(kings)) return true;
  if (tryPieces(byColor[black ? Black : White] & ~kings)) return true;
  return !inCheck && tryPieces(kings);
}

uint8_t doska::gamestate(bool whitetomove) const {
  const Bitboard kings = byCode[whitetomove ? WhiteKing : BlackKing];
  if (!kings) return StateNoKing;
  const bool check = AttackedBy(FirstFileMajor(kings), whitetomove);
  const bool hasMove = HasLegalMove(!whitetomove, check);
  if (check) return hasMove ? StateCheck : StateCheckmate;
  return hasMove ? StateNormal : StateStalemate;
}

namespace {

// Whether a promotion code suits a pawn of the given code: a knight to a queen of its colour.
bool PromotionFits(int pawn, int promotion) {
  if (pawn == WhitePawn) return promotion >= WhiteKnight && promotion <= WhiteQueen;
  if (pawn == BlackPawn) return promotion >= BlackKnight && promotion <= BlackQueen;
  return false;
}

}  // namespace

uint8_t doska::resolve(int piece, int& promotion, int& fromfile, int& fromrank, int& tofile,
                       int& torank) const {
  if (piece == Empty) return ResolveNoPiece;
  const bool pawn = piece == WhitePawn || piece == BlackPawn;
  const int lastRank = piece == WhitePawn ? 8 : 1;
  if (promotion == 0 && pawn && torank == lastRank) return ResolveNoPromotion;
  // A promotion piece only fits a pawn reaching the last rank; anything else matches no move.
  if (promotion != 0 && (!PromotionFits(piece, promotion) || (torank != 0 && torank != lastRank)))
    return ResolveNoMove;
  if (piece < 0 || piece >= PieceCodeCount || fromfile < 0 || fromfile > 8 || fromrank < 0 || fromrank > 8)
    return ResolveNoMove;

  Bitboard ranks = 0;
  for (int rank = fromrank ? fromrank : 1; rank <= (fromrank ? fromrank : 8); ++rank) ranks |= Attacks.rank[rank];

  int found = 0, foundFile = 0, foundRank = 0;
  mov trial;
  for (int file = fromfile ? fromfile : 1; file <= (fromfile ? fromfile : 8); ++file) {
    Bitboard candidates = byCode[piece] & Attacks.file[file] & ranks;
    while (candidates) {
      const int rank = RankOf(PopLowest(candidates));
      if (torank == 0 && pawn) {
        // A capture written with files only: the first pawn found fixes the rank.
        torank = piece == WhitePawn ? rank + 1 : rank - 1;
        if (promotion == 0 && torank == lastRank) return ResolveNoPromotion;
        if (promotion != 0 && torank != lastRank) return ResolveNoMove;
      }
      if (!legal(file, rank, tofile, torank)) continue;
      if (found) return ResolveAmbiguous;
      found = 1;
      foundFile = file;
      foundRank = rank;
      describe(trial, file, rank, tofile, torank, promotion);
      promotion = trial.extra;
    }
  }
  if (!found) return ResolveNoMove;
  fromfile = foundFile;
  fromrank = foundRank;
  doska after = *this;
  after.apply(trial);
  return after.gamestate(IsBlack(piece));
}

bool doska::castleright(bool black, bool longside) const {
  if (black) return !bkingmoved && !(longside ? bqueenlost : bkinglost);
  return !wkingmoved && !(longside ? wqueenlost : wkinglost);
}

uint64_t doska::poskey(bool blacktomove) const {
  uint64_t key = 0;
  Bitboard occupied = byColor[White] | byColor[Black];
  while (occupied) {
    const int index = PopLowest(occupied);
    const uint8_t code = squares[FileOf(index) - 1][RankOf(index) - 1];
    const int kind = 2 * (PieceType(code) - 1) + (IsWhite(code) ? 1 : 0);
    key ^= PolyglotKeys[64 * kind + index];
  }
  if (castleright(false, false)) key ^= PolyglotKeys[PolyglotCastleBase + 0];
  if (castleright(false, true)) key ^= PolyglotKeys[PolyglotCastleBase + 1];
  if (castleright(true, false)) key ^= PolyglotKeys[PolyglotCastleBase + 2];
  if (castleright(true, true)) key ^= PolyglotKeys[PolyglotCastleBase + 3];
  // The en-passant file counts only when a pawn of the side to move stands ready to capture.
  const int file = blacktomove ? epforblack : epforwhite;
  if (file >= 1 && file <= 8) {
    const Bitboard capturers = blacktomove ? byCode[BlackPawn] & Attacks.rank[4] : byCode[WhitePawn] & Attacks.rank[5];
    Bitboard neighbours = 0;
    if (file > 1) neighbours |= Attacks.file[file - 1];
    if (file < 8) neighbours |= Attacks.file[file + 1];
    if (capturers & neighbours) key ^= PolyglotKeys[PolyglotEnPassantBase + file - 1];
  }
  if (!blacktomove) key ^= PolyglotKeys[PolyglotWhiteToMove];
  return key;
}

void doska::describe(mov& m, int fromfile, int fromrank, int tofile, int torank, int promotion) const {
  m.piece = at(fromfile, fromrank);
  m.fromfile = uint8_t(fromfile);
  m.fromrank = uint8_t(fromrank);
  m.tofile = uint8_t(tofile);
  m.torank = uint8_t(torank);
  m.captured = at(tofile, torank);
  m.extra = uint8_t(promotion);
  if ((promotion == 0 || promotion == WhitePawn || promotion == BlackPawn) && PieceType(m.piece) == 1 &&
      std::abs(fromfile - tofile) == 1 && m.captured == Empty)
    m.extra = IsWhite(m.piece) ? BlackPawn : WhitePawn;

  uint8_t flags = 0;
  const bool from11 = fromfile == 1 && fromrank == 1, to11 = tofile == 1 && torank == 1;
  const bool from81 = fromfile == 8 && fromrank == 1, to81 = tofile == 8 && torank == 1;
  const bool from18 = fromfile == 1 && fromrank == 8, to18 = tofile == 1 && torank == 8;
  const bool from88 = fromfile == 8 && fromrank == 8, to88 = tofile == 8 && torank == 8;
  if (!wqueenlost && ((m.piece == WhiteRook && from11) || to11)) flags |= LosesWhiteLong;
  if (!wkinglost && ((m.piece == WhiteRook && from81) || to81)) flags |= LosesWhiteShort;
  if (!bqueenlost && ((m.piece == BlackRook && from18) || to18)) flags |= LosesBlackLong;
  if (!bkinglost && ((m.piece == BlackRook && from88) || to88)) flags |= LosesBlackShort;
  const bool step = std::abs(fromfile - tofile) <= 1;
  if (m.piece == WhiteKing && step && !wkingmoved) flags |= MovesWhiteKing;
  if (m.piece == BlackKing && step && !bkingmoved) flags |= MovesBlackKing;
  if (m.piece == WhitePawn && fromrank == 2 && torank == 4) flags |= WhiteDoubleStep;
  if (m.piece == BlackPawn && fromrank == 7 && torank == 5) flags |= BlackDoubleStep;
  if (m.piece == WhiteKing && fromfile == 5 && fromrank == 1 && torank == 1) {
    if (tofile == 3) flags = MovesWhiteKing | LosesWhiteLong;
    if (tofile == 7) flags = MovesWhiteKing | LosesWhiteShort;
  }
  if (m.piece == BlackKing && fromfile == 5 && fromrank == 8 && torank == 8) {
    if (tofile == 3) flags = MovesBlackKing | LosesBlackLong;
    if (tofile == 7) flags = MovesBlackKing | LosesBlackShort;
  }
  m.flags = flags;
}

namespace {

// The rook move that goes with a castling king move, if the move is one.
struct CastlingRook {
  bool castles = false;
  int rank = 0, fromfile = 0, tofile = 0;
  uint8_t rook = 0;
};

CastlingRook RookOfCastling(const mov& m) {
  CastlingRook c;
  const int home = m.piece == WhiteKing ? 1 : m.piece == BlackKing ? 8 : 0;
  if (home == 0 || m.fromfile != 5 || m.fromrank != home || m.torank != home) return c;
  if (m.tofile != 3 && m.tofile != 7) return c;
  c.castles = true;
  c.rank = home;
  c.fromfile = m.tofile == 3 ? 1 : 8;
  c.tofile = m.tofile == 3 ? 4 : 6;
  c.rook = home == 1 ? WhiteRook : BlackRook;
  return c;
}

}  // namespace

void doska::apply(const mov& m) {
  put(m.fromfile, m.fromrank, Empty);
  put(m.tofile, m.torank, m.piece);
  if (m.extra != 0) {
    if (m.torank == 1 || m.torank == 8) put(m.tofile, m.torank, m.extra);
    if (m.extra == BlackPawn) put(m.tofile, m.torank - 1, Empty);
    if (m.extra == WhitePawn) put(m.tofile, m.torank + 1, Empty);
  }
  const CastlingRook c = RookOfCastling(m);
  if (c.castles) {
    put(c.fromfile, c.rank, Empty);
    put(c.tofile, c.rank, c.rook);
  }
  if (m.flags & LosesWhiteLong) wqueenlost = 1;
  if (m.flags & LosesWhiteShort) wkinglost = 1;
  if (m.flags & LosesBlackLong) bqueenlost = 1;
  if (m.flags & LosesBlackShort) bkinglost = 1;
  if (m.flags & MovesWhiteKing) wkingmoved = 1;
  if (m.flags & MovesBlackKing) bkingmoved = 1;
  epforblack = (m.flags & WhiteDoubleStep) ? m.fromfile : 0;
  epforwhite = (m.flags & BlackDoubleStep) ? m.fromfile : 0;
  assert(IsConsistent());
}

void doska::takeback(const mov& m) {
  put(m.fromfile, m.fromrank, m.piece);
  put(m.tofile, m.torank, m.captured);
  if (m.extra == BlackPawn) put(m.tofile, m.torank - 1, BlackPawn);
  if (m.extra == WhitePawn) put(m.tofile, m.torank + 1, WhitePawn);
  const CastlingRook c = RookOfCastling(m);
  if (c.castles) {
    put(c.tofile, c.rank, Empty);
    put(c.fromfile, c.rank, c.rook);
  }
  if (m.flags & LosesWhiteLong) wqueenlost = 0;
  if (m.flags & LosesWhiteShort) wkinglost = 0;
  if (m.flags & LosesBlackLong) bqueenlost = 0;
  if (m.flags & LosesBlackShort) bkinglost = 0;
  if (m.flags & MovesWhiteKing) wkingmoved = 0;
  if (m.flags & MovesBlackKing) bkingmoved = 0;
  assert(IsConsistent());
}
