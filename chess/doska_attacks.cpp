// Attacks and legality on the board: which squares a side attacks, where a piece can go,
// whether a move leaves its king safe, castling, and the state of the game (check, mate,
// stalemate).
#include "chess/doska.h"

#include "chess/doska_internal.h"

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
  // The slider attacks are worked out only when such a slider stands on one of the lines.
  const Bitboard diagonal = byCode[base + WhiteBishop] | queens;
  if ((diagonal & (detail::Sliders.diagonal[target] | detail::Sliders.antiDiagonal[target])) &&
      (BishopAttacks(target, occupied) & diagonal))
    return true;
  const Bitboard straight = byCode[base + WhiteRook] | queens;
  return (straight & (Attacks.file[FileOf(target)] | Attacks.rank[RankOf(target)])) &&
         (RookAttacks(target, occupied) & straight);
}

Bitboard doska::AttackersOf(int target, bool byblack) const {
  const int side = byblack ? Black : White;
  const uint8_t base = byblack ? 6 : 0;
  const Bitboard occupied = byColor[White] | byColor[Black];
  const Bitboard queens = byCode[base + WhiteQueen];
  Bitboard attackers =
      (Attacks.pawn[side ^ 1][target] & byCode[base + WhitePawn]) | (Attacks.king[target] & byCode[base + WhiteKing]);
  // Knights and sliders never attack a square that holds a piece of their own side.
  if (byColor[side] & SquareBit(target)) return attackers;
  return attackers | (Attacks.knight[target] & byCode[base + WhiteKnight]) |
         (BishopAttacks(target, occupied) & (byCode[base + WhiteBishop] | queens)) |
         (RookAttacks(target, occupied) & (byCode[base + WhiteRook] | queens));
}

bool doska::attacked(Square square, Side by) const {
  if (!OnBoard(square)) return false;
  return AttackedBy(SquareIndex(square), by == Side::Black);
}

bool doska::CanCastle(bool black, bool longside) const {
  const int rank = black ? 8 : 1;
  if (black ? bkingmoved : wkingmoved) return false;
  if (longside ? (black ? bqueenlost : wqueenlost) : (black ? bkinglost : wkinglost)) return false;
  const Bitboard occupied = byColor[White] | byColor[Black];
  const Bitboard between =
      longside ? SquareBit(SquareIndex(2, rank)) | SquareBit(SquareIndex(3, rank)) | SquareBit(SquareIndex(4, rank))
               : SquareBit(SquareIndex(6, rank)) | SquareBit(SquareIndex(7, rank));
  if (occupied & between) return false;
  // The king may not castle out of, through or into an attack; b1/b8 may be attacked.
  const int first = longside ? 3 : 5;
  for (int file = first; file <= first + 2; ++file)
    if (AttackedBy(SquareIndex(file, rank), !black)) return false;
  return true;
}

bool doska::IsCastling960(int from, int to) const {
  if (!chess960) return false;
  const uint8_t king = cells[from];
  return (king == WhiteKing || king == BlackKing) && cells[to] == (king == WhiteKing ? WhiteRook : BlackRook);
}

bool doska::CanCastle960(int king, int rook) const {
  const uint8_t code = cells[king];
  const bool black = code == BlackKing;
  const int home = black ? 8 : 1;
  if ((code != WhiteKing && code != BlackKing) || RankOf(king) != home || RankOf(rook) != home) return false;
  if (cells[rook] != (black ? BlackRook : WhiteRook)) return false;
  const bool longside = FileOf(rook) < FileOf(king);
  const int wing = (black ? 2 : 0) + (longside ? 0 : 1);
  if (castlingfiles[wing] != FileOf(rook) || !castleright(SideOf(black), longside)) return false;
  const int kingTo = SquareIndex(longside ? 3 : 7, home), rookTo = SquareIndex(longside ? 4 : 6, home);
  // Every square either piece crosses or lands on is empty but for the two of them.
  const Bitboard others = (byColor[White] | byColor[Black]) & ~SquareBit(king) & ~SquareBit(rook);
  const Bitboard kingPath = Attacks.between[king][kingTo] | SquareBit(kingTo) | SquareBit(king);
  const Bitboard rookPath = Attacks.between[rook][rookTo] | SquareBit(rookTo);
  if ((kingPath | rookPath) & others) return false;
  // The king may not castle out of, through or into an attack. The attacks are counted with king
  // and rook off the rank: a castling rook that stood between an enemy slider and the king's new
  // square shields it no more, nor does one landing between the slider and the king's old square.
  // (Where the rook lands it blocks nothing the king's path does not already show.)
  const uint8_t base = black ? 0 : 6;
  const Bitboard queens = byCode[base + WhiteQueen];
  const SideAfter enemy{byCode[base + WhitePawn], byCode[base + WhiteKnight], byCode[base + WhiteBishop] | queens,
                        byCode[base + WhiteRook] | queens, byCode[base + WhiteKing]};
  for (Bitboard path = kingPath; path;)
    if (AttackedAfter(PopLowest(path), black ? White : Black, enemy, others)) return false;
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
  if (chess960) {
    const int home = black ? 8 : 1;
    for (int wing = 0; wing < 2; ++wing) {
      const int rook = SquareIndex(castlingfiles[(black ? 2 : 0) + wing], home);
      if (CanCastle960(from, rook)) targets |= SquareBit(rook);
    }
    return targets;
  }
  if (from == SquareIndex(5, black ? 8 : 1)) {
    if (CanCastle(black, true)) targets |= SquareBit(from - 2);
    if (CanCastle(black, false)) targets |= SquareBit(from + 2);
  }
  return targets;
}

Bitboard doska::Targets(int from) const {
  const uint8_t code = cells[from];
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

bool doska::canmove(Square fromSquare, Square toSquare) const {
  if (!OnBoard(fromSquare) || !OnBoard(toSquare)) return false;
  const int from = SquareIndex(fromSquare), to = SquareIndex(toSquare);
  const int fromfile = fromSquare.file, fromrank = fromSquare.rank, tofile = toSquare.file, torank = toSquare.rank;
  const uint8_t code = cells[from];
  if (code == Empty) return false;
  const bool black = IsBlack(code);
  const Bitboard toBit = SquareBit(to);
  const Bitboard own = byColor[black ? Black : White];
  const bool straight = fromfile == tofile || fromrank == torank;
  const Bitboard occupied = byColor[White] | byColor[Black];
  switch (PieceType(code)) {
    case 1:
      return Targets(from) & toBit;
    case 2:
      return (Attacks.knight[from] & toBit) && !(own & toBit);
    case 3:
      return !straight && Attacks.line[from][to] && !(Attacks.between[from][to] & occupied) && !(own & toBit);
    case 4:
      return straight && Attacks.line[from][to] && !(Attacks.between[from][to] & occupied) && !(own & toBit);
    case 5:
      return Attacks.line[from][to] && !(Attacks.between[from][to] & occupied) && !(own & toBit);
    default:
      if (chess960 && IsCastling960(from, to)) return CanCastle960(from, to);
      if (std::abs(fromfile - tofile) <= 1 && std::abs(fromrank - torank) <= 1)
        return !(own & toBit) && !AttackedBy(to, !black);
      if (chess960) return false;
      if (from != SquareIndex(5, black ? 8 : 1) || torank != fromrank) return false;
      if (tofile == 3) return CanCastle(black, true);
      if (tofile == 7) return CanCastle(black, false);
      return false;
  }
}

bool doska::KingSafeAfter(int from, int to) const {
  const uint8_t code = cells[from];
  const int mover = ColorOf(code), enemy = mover ^ 1;
  const uint8_t moverKing = mover == White ? WhiteKing : BlackKing;
  const Bitboard toBit = SquareBit(to);

  // Squares whose old content disappears, and the squares the move fills.
  Bitboard removed = SquareBit(from) | toBit;
  Bitboard filled = toBit;
  const int type = PieceType(code);
  Bitboard kingTo = toBit;
  if (IsCastling960(from, to)) {
    // The king and its rook leave their squares for the c and d, or g and f, files.
    const bool longside = FileOf(to) < FileOf(from);
    const int home = mover == White ? 1 : 8;
    kingTo = SquareBit(SquareIndex(longside ? 3 : 7, home));
    filled = kingTo | SquareBit(SquareIndex(longside ? 4 : 6, home));
  } else if (type == 1 && std::abs(FileOf(from) - FileOf(to)) == 1 && cells[to] == Empty) {
    // En passant: the square behind the destination is emptied, whatever stood there.
    const int behind = mover == White ? to - 8 : to + 8;
    if (behind >= 0 && behind < 64) removed |= SquareBit(behind);
  } else if (type == 6 && !chess960 && FileOf(from) == 5 && RankOf(from) == RankOf(to) &&
             RankOf(from) == (mover == White ? 1 : 8) && (FileOf(to) == 3 || FileOf(to) == 7)) {
    const bool longside = FileOf(to) == 3;
    removed |= SquareBit(longside ? from - 4 : from + 3);
    filled |= SquareBit(longside ? from - 1 : from + 1);
  }

  Bitboard kings = byCode[moverKing] & ~removed;
  if (code == moverKing) kings |= kingTo;
  if (!kings) return true;
  const int king = FirstFileMajor(kings);

  const uint8_t base = enemy == Black ? 6 : 0;
  const Bitboard keep = ~removed;
  const Bitboard queens = byCode[base + WhiteQueen] & keep;
  const SideAfter attackers{byCode[base + WhitePawn] & keep, byCode[base + WhiteKnight] & keep,
                            (byCode[base + WhiteBishop] & keep) | queens, (byCode[base + WhiteRook] & keep) | queens,
                            byCode[base + WhiteKing] & keep};
  const Bitboard occupied = ((byColor[White] | byColor[Black]) & keep) | filled;
  return !AttackedAfter(king, enemy, attackers, occupied);
}

bool doska::KingStepSafe(int from, int to, bool black) const {
  const uint8_t enemy = black ? 0 : 6;
  // The king leaves its square (no longer blocking a line to the new one); whatever stood on
  // the new square is taken, and attacks nothing there.
  const Bitboard occupied = ((byColor[White] | byColor[Black]) & ~SquareBit(from)) | SquareBit(to);
  const Bitboard queens = byCode[enemy + WhiteQueen];
  const SideAfter attackers{byCode[enemy + WhitePawn], byCode[enemy + WhiteKnight],
                            byCode[enemy + WhiteBishop] | queens, byCode[enemy + WhiteRook] | queens,
                            byCode[enemy + WhiteKing]};
  return !AttackedAfter(to, black ? White : Black, attackers, occupied);
}

bool doska::legal(Square from, Square to) const {
  if (!canmove(from, to)) return false;
  return KingSafeAfter(SquareIndex(from), SquareIndex(to));
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
  if (inCheck) {
    // The king's own steps are the likeliest way out of check. A lone king's step is safe
    // exactly when the king is safe on the square it reaches (castling is no way out).
    if (kings && !(kings & (kings - 1))) {
      const int king = LowestSquare(kings);
      Bitboard steps = Attacks.king[king] & ~byColor[black ? Black : White];
      while (steps)
        if (KingStepSafe(king, PopLowest(steps), black)) return true;
      // Another piece ends a check only by taking the one checker or standing between it and
      // the king: two checkers leave it nothing (but an en-passant capture, tried whatever
      // its square).
      const Bitboard checkers = AttackersOf(king, !black);
      if (!checkers) return tryPieces(byColor[black ? Black : White] & ~kings);
      const Bitboard evasions =
          (checkers & (checkers - 1)) ? 0 : checkers | Attacks.between[king][LowestSquare(checkers)];
      Bitboard pieces = byColor[black ? Black : White] & ~kings;
      while (pieces) {
        const int from = PopLowest(pieces);
        Bitboard targets = Targets(from);
        Bitboard wanted = evasions;
        if (PieceType(cells[from]) == 1) wanted |= targets & byCode[Empty] & ~Attacks.file[FileOf(from)];
        targets &= wanted;
        while (targets)
          if (KingSafeAfter(from, PopLowest(targets))) return true;
      }
      return false;
    }
    return tryPieces(kings) || tryPieces(byColor[black ? Black : White] & ~kings);
  }
  if (kings && !(kings & (kings - 1))) {
    // One king, not in check: a move of another piece can expose it only by opening a line
    // through its origin, when it is the one piece between the king and an enemy slider
    // (or, en passant, through the captured pawn's square). Any other piece with a plain
    // destination therefore has a legal move.
    const int king = LowestSquare(kings);
    const Bitboard own = byColor[black ? Black : White];
    const uint8_t enemy = black ? 0 : 6;
    const Bitboard occupied = byColor[White] | byColor[Black];
    const Bitboard queens = byCode[enemy + WhiteQueen];
    Bitboard snipers = (RookAttacks(king, 0) & (byCode[enemy + WhiteRook] | queens)) |
                       (BishopAttacks(king, 0) & (byCode[enemy + WhiteBishop] | queens));
    Bitboard pinned = 0;
    while (snipers) {
      const Bitboard between = Attacks.between[king][PopLowest(snipers)] & occupied;
      if (between && !(between & (between - 1))) pinned |= between & own;
    }
    const Bitboard knights = byCode[base + WhiteKnight] & ~pinned;
    Bitboard pieces = own & ~kings & ~pinned & ~knights;
    for (Bitboard k = knights; k;)
      if (Attacks.knight[PopLowest(k)] & ~own) return true;
    while (pieces) {
      const int from = PopLowest(pieces);
      Bitboard targets = Targets(from);
      if (PieceType(cells[from]) == 1) {
        // Diagonal steps onto empty squares are en-passant captures: those get the full test.
        Bitboard enPassant = targets & byCode[Empty] & ~Attacks.file[FileOf(from)];
        targets &= ~enPassant;
        while (enPassant)
          if (KingSafeAfter(from, PopLowest(enPassant))) return true;
      }
      if (targets) return true;
    }
    return tryPieces(pinned) || tryPieces(kings);
  }
  return tryPieces(byColor[black ? Black : White] & ~kings) || tryPieces(kings);
}

void doska::RememberCheck(bool black, Bitboard kings, bool check) const {
  // Only a lone king's check is worth remembering: SafetyOf asks nothing else.
  if (kings & (kings - 1)) return;
  checkMemo = CheckMemoWord(stamp, black, check);
}

uint8_t doska::gamestate(Side toMove) const {
  const uint8_t state = CheckState(toMove);
  if (state != StateNormal) return state;
  return HasLegalMove(toMove == Side::Black, false) ? StateNormal : StateStalemate;
}

uint8_t doska::CheckState(Side toMove) const {
  const bool whitetomove = toMove == Side::White;
  const Bitboard kings = byCode[whitetomove ? WhiteKing : BlackKing];
  if (!kings) return StateNoKing;
  const bool check = AttackedBy(FirstFileMajor(kings), whitetomove);
  RememberCheck(!whitetomove, kings, check);
  if (!check) return StateNormal;
  return HasLegalMove(!whitetomove, true) ? StateCheck : StateCheckmate;
}
