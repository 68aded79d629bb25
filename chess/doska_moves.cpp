// Moves on the board: resolving a move text to the one legal move it names, playing it (and
// taking it back), describing it in SAN, and the memos that spare the work a second time.
#include "chess/doska.h"

#include <cassert>
#include <cstdlib>

#include "chess/doska_internal.h"

uint8_t doska::PlayLegal(const mov& m) {
  const bool moverBlack = IsBlack(m.piece);
  const bool opponentWasSafe = safeMemo == SafeMemoWord(stamp, !moverBlack);
  const bool usual = PlayUsual(m);
  if (!usual) ApplyOther(m);
  return StateAfterPlay(m.piece, SquareIndex(m.fromfile, m.fromrank), SquareIndex(m.tofile, m.torank), usual,
                        opponentWasSafe, false);
}

__attribute__((always_inline)) inline uint8_t doska::StateAfterPlay(uint8_t piece, int from, int to, bool usual,
                                                                    bool opponentWasSafe, bool moverKingAlone) {
  const bool moverBlack = IsBlack(piece);
  // A legal move leaves the mover's king out of check (when it has one king: with more, the
  // legality test looked at one of them only).
  if (moverKingAlone) {
    safeMemo = SafeMemoWord(stamp, moverBlack);
  } else {
    const Bitboard moverKings = byCode[moverBlack ? BlackKing : WhiteKing];
    safeMemo = moverKings && !(moverKings & (moverKings - 1)) ? SafeMemoWord(stamp, moverBlack) : 0;
  }
  const Bitboard kings = byCode[moverBlack ? WhiteKing : BlackKing];
  // Castling, en passant and promotion are rare: they take the full test.
  if (!usual || !opponentWasSafe || !kings || (kings & (kings - 1))) return CheckState(SideOf(!moverBlack));
  if (GivesCheck(piece, from, to, LowestSquare(kings)))
    return CheckState(SideOf(!moverBlack));              // then mate is looked for
  checkMemo = CheckMemoWord(stamp, !moverBlack, false);  // the opponent's one king, out of check
  return StateNormal;
}

__attribute__((always_inline)) inline bool doska::GivesCheck(uint8_t mover, int from, int to, int king) const {
  // Worked out without branching on the piece or on how squares line up (which no predictor
  // guesses from one move to the next): tables answer for every case, 0 where there is nothing.
  const Bitboard occupied = byColor[White] | byColor[Black];
  const uint8_t piece = mover & 15;
  // The moved piece itself: a pawn, knight or king by its steps, a slider along a line of its
  // kind with nothing between.
  const bool direct =
      (int((Reach[piece][size_t(to)] & SquareBit(king)) != 0) & int((Attacks.between[to][king] & occupied) == 0)) != 0;
  // A line it opened: the king was out of check before, so a slider of the mover's on the line
  // through the king and the origin, with nothing between, reaches it only now. (A piece moving
  // along that line still closes it.)
  const Bitboard line = Attacks.line[king][from];
  Bitboard opened = SlidersAlongLine(byCode, IsBlack(mover) ? 6 : 0, king, line);
  if (line & SquareBit(to)) opened = 0;
  bool discovered = false;
  while (opened)
    if (!(Attacks.between[king][PopLowest(opened)] & occupied)) discovered = true;
  return (int(direct) | int(discovered)) != 0;
}

namespace {

// Whether a promotion code suits a pawn of the given code: a knight to a queen of its colour.
bool PromotionFits(int pawn, int promotion) {
  if (pawn == WhitePawn) return promotion >= WhiteKnight && promotion <= WhiteQueen;
  if (pawn == BlackPawn) return promotion >= BlackKnight && promotion <= BlackQueen;
  return false;
}

}  // namespace

__attribute__((always_inline)) inline int doska::PawnPush(int side, int from, int to) const {
  const Bitboard toBit = SquareBit(to);
  const Bitboard occupied = byColor[White] | byColor[Black];
  const int ahead = side == White ? 8 : -8;
  if (to == from + ahead) return (occupied & toBit) ? 0 : 1;
  if (to == from + 2 * ahead)
    return (RankOf(from) != (side == White ? 2 : 7) || (occupied & (toBit | SquareBit(from + ahead)))) ? 0 : 1;
  return (Attacks.pawn[side][from] & toBit) && (byColor[side ^ 1] & toBit) ? 1 : -1;
}

__attribute__((always_inline)) inline bool doska::KeepsKingCovered(int king, int from, int to, int side) const {
  // A move exposes the king only by taking the one piece between it and an enemy slider of
  // that line's kind off the line. Found without branching on how the squares line up, which
  // no predictor guesses: the line table holds nothing for squares not in line.
  const Bitboard line = Attacks.line[king][from];
  const Bitboard sliders = SlidersAlongLine(byCode, side == White ? 6 : 0, king, line);
  const int open =
      int((line & SquareBit(to)) == 0) & int((Attacks.between[king][from] & (byColor[White] | byColor[Black])) == 0);
  if (int(sliders != 0) & open) return KingSafeAfter(from, to);
  return true;
}

__attribute__((always_inline)) inline bool doska::LegalFromReacher(int from, int to, const KingSafety& safety) const {
  const uint8_t code = cells[from];
  const int type = PieceType(code);
  // The usual case first: a piece other than the king, its king not in check, no en passant.
  if (type >= 1 && type <= 5 && safety.king >= 0 && !safety.inCheck) {
    const int side = IsBlack(code) ? Black : White;
    if (type != 1) {
      // Reachers gave exactly the squares from which such a piece reaches the destination.
      if (byColor[side] & SquareBit(to)) return false;
    } else {
      const int push = PawnPush(side, from, to);
      if (push < 0) return LegalFromReacherSlowly(from, to, safety);  // en passant, or no pawn move at all
      if (push == 0) return false;
    }
    return KeepsKingCovered(safety.king, from, to, side);
  }
  return LegalFromReacherSlowly(from, to, safety);
}

bool doska::LegalFromReacherSlowly(int from, int to, const KingSafety& safety) const {
  const uint8_t code = cells[from];
  const int type = PieceType(code);
  const int side = ColorOf(code);
  const Bitboard toBit = SquareBit(to);
  const Bitboard occupied = byColor[White] | byColor[Black];
  bool enPassant = false;
  if (type >= 2 && type <= 5) {
    // Reachers gave exactly the squares from which such a piece reaches the destination.
    if (byColor[side] & toBit) return false;
  } else if (type == 1) {
    const int ahead = side == White ? 8 : -8;
    const int startRank = side == White ? 2 : 7;
    if (to == from + ahead) {
      if (occupied & toBit) return false;
    } else if (to == from + 2 * ahead) {
      if (RankOf(from) != startRank || (occupied & (toBit | SquareBit(from + ahead)))) return false;
    } else if (Attacks.pawn[side][from] & toBit) {
      if (!(byColor[side ^ 1] & toBit)) {
        // Onto an empty square only en passant, which canmove knows the rules of.
        if (!canmove({FileOf(from), RankOf(from)}, {FileOf(to), RankOf(to)})) return false;
        enPassant = true;
      }
    } else {
      return false;
    }
  } else if (type == 6 && IsCastling960(from, to)) {
    return CanCastle960(from, to);  // its test of attacks is the whole of the king's safety
  } else if (type == 6 && safety.king == from && (Attacks.king[from] & toBit)) {
    // The lone king's step: the test of the king after the move is the whole of its safety.
    if (byColor[side] & toBit) return false;
    return KingStepSafe(from, to, side == Black);
  } else if (!canmove({FileOf(from), RankOf(from)}, {FileOf(to), RankOf(to)})) {
    return false;
  }
  if (safety.king >= 0 && !safety.inCheck && type != 6 && !enPassant) {
    // With the king not in check, a move exposes it only by taking the one piece between it and
    // an enemy slider of that line's kind off the line.
    const Bitboard line = Attacks.line[safety.king][from];
    if (!line || (line & toBit) || (Attacks.between[safety.king][from] & occupied)) return true;
    const bool straight = FileOf(from) == FileOf(safety.king) || RankOf(from) == RankOf(safety.king);
    const uint8_t enemy = side == White ? 6 : 0;
    const Bitboard sliders = byCode[enemy + (straight ? WhiteRook : WhiteBishop)] | byCode[enemy + WhiteQueen];
    if (!(sliders & line)) return true;
  }
  return KingSafeAfter(from, to);
}

uint8_t doska::ResolveInto(MoveText& text, mov& record, Bitboard& legalOrigins) const {
  const int piece = text.piece;
  int& promotion = text.promotion;
  int& fromfile = text.from.file;
  int& fromrank = text.from.rank;
  const int tofile = text.to.file;
  int& torank = text.to.rank;
  // The usual text first: a destination, no promotion, and one piece of the kind able to reach
  // it at all (the rules below give the same answer, the long way).
  if (promotion == 0 && piece > Empty && piece < PieceCodeCount && OnBoard(tofile, torank) && fromfile >= 0 &&
      fromfile <= 8 && fromrank >= 0 && fromrank <= 8 &&
      !((piece == WhitePawn && torank == 8) || (piece == BlackPawn && torank == 1))) {
    const int to = SquareIndex(tofile, torank);
    Bitboard candidates = byCode[piece] & Reachers(uint8_t(piece), to);
    if (fromfile) candidates &= Attacks.file[fromfile];
    if (fromrank) candidates &= Attacks.rank[fromrank];
    if (candidates && !(candidates & (candidates - 1))) {
      const int from = LowestSquare(candidates);
      legalOrigins = 0;
      if (!LegalFromReacher(from, to, SafetyOf(IsBlack(uint8_t(piece))))) return ResolveNoMove;
      legalOrigins = candidates;
      DescribeOnBoard(record, from, to, 0);
      promotion = record.extra;
      fromfile = FileOf(from);
      fromrank = RankOf(from);
      return StateNormal;
    }
  }
  if (piece == Empty) return ResolveNoPiece;
  const bool pawn = piece == WhitePawn || piece == BlackPawn;
  const int lastRank = piece == WhitePawn ? 8 : 1;
  if (promotion == 0 && pawn && torank == lastRank) return ResolveNoPromotion;
  // A promotion piece only fits a pawn reaching the last rank; anything else matches no move.
  if (promotion != 0 && (!PromotionFits(piece, promotion) || (torank != 0 && torank != lastRank))) return ResolveNoMove;
  if (piece < 0 || piece >= PieceCodeCount || fromfile < 0 || fromfile > 8 || fromrank < 0 || fromrank > 8)
    return ResolveNoMove;

  Bitboard candidates = byCode[piece];
  if (fromfile) candidates &= Attacks.file[fromfile];
  if (fromrank) candidates &= Attacks.rank[fromrank];
  if (!(torank == 0 && pawn)) {
    if (!OnBoard(tofile, torank)) return ResolveNoMove;
    // Only pieces that could reach the destination at all are worth the full test.
    candidates &= Reachers(uint8_t(piece), SquareIndex(tofile, torank));
  }

  const KingSafety kingSafety = SafetyOf(IsBlack(uint8_t(piece)));
  legalOrigins = 0;
  int found = 0, foundFile = 0, foundRank = 0;
  // Candidates go file by file, and up each file; a capture written with files only takes
  // its destination rank from the first one.
  while (candidates) {
    const int from = FirstFileMajor(candidates);
    candidates &= ~SquareBit(from);
    const int file = FileOf(from), rank = RankOf(from);
    if (torank == 0 && pawn) {
      torank = piece == WhitePawn ? rank + 1 : rank - 1;
      if (promotion == 0 && torank == lastRank) return ResolveNoPromotion;
      if (promotion != 0 && torank != lastRank) return ResolveNoMove;
    }
    if (!OnBoard(tofile, torank)) continue;
    const int to = SquareIndex(tofile, torank);
    if (!LegalFromReacher(from, to, kingSafety)) continue;
    legalOrigins |= SquareBit(from);
    if (found) return ResolveAmbiguous;
    found = 1;
    foundFile = file;
    foundRank = rank;
    DescribeOnBoard(record, from, to, promotion);
    promotion = record.extra;
  }
  if (!found) return ResolveNoMove;
  fromfile = foundFile;
  fromrank = foundRank;
  return StateNormal;
}

uint8_t doska::resolve(MoveText& text, bool findState, ResolvedMove* found) const {
  // Without hints in the text every piece that may legally make the move is tried, which is
  // what the move's text needs to know about rivals: handed back in `found`.
  const bool allTried =
      text.from.file == 0 && text.from.rank == 0 && text.piece != WhitePawn && text.piece != BlackPawn;
  mov trial;
  Bitboard legalOrigins = 0;
  const uint8_t code = ResolveInto(text, trial, legalOrigins);
  if (code != StateNormal) return code;
  uint8_t state = StateNormal;
  if (findState) {
    doska after = *this;
    after.apply(trial);
    state = after.gamestate(SideOf(!IsBlack(text.piece)));
  }
  if (found) {
    *found = ResolvedMove{true, stamp, PackedState(), trial.BoardBytes(), findState, state, allTried, legalOrigins};
  }
  return state;
}

__attribute__((always_inline)) inline Bitboard doska::Reachers(uint8_t code, int to) const {
  const Bitboard occupied = byColor[White] | byColor[Black];
  switch (PieceType(code)) {
    case 1: {
      // Diagonally only onto a piece, or onto the square an en-passant capture goes to.
      const bool black = IsBlack(code);
      const bool enPassantSquare =
          black ? FileOf(to) == epforblack && RankOf(to) == 3 : FileOf(to) == epforwhite && RankOf(to) == 6;
      if (!(occupied & SquareBit(to)) && !enPassantSquare) return Attacks.file[FileOf(to)];
      return Attacks.file[FileOf(to)] | Attacks.pawn[black ? White : Black][to];
    }
    case 2:
      return Attacks.knight[to];
    case 3:
      return BishopAttacks(to, occupied);
    case 4:
      return RookAttacks(to, occupied);
    case 5:
      return BishopAttacks(to, occupied) | RookAttacks(to, occupied);
    case 6:
      // Chess960: a castling king goes onto its rook's square from anywhere on the home rank.
      if (chess960) return Attacks.king[to] | Attacks.rank[1] | Attacks.rank[8];
      return Attacks.king[to] | SquareBit(SquareIndex(5, 1)) | SquareBit(SquareIndex(5, 8));
    default:
      return 0;
  }
}

Bitboard doska::LegalOrigins(uint8_t code, Square to, Bitboard skip) const {
  if (!OnBoard(to) || code == Empty || code >= PieceCodeCount) return 0;
  Bitboard candidates = byCode[code] & ~skip;
  if (!candidates) return 0;
  candidates &= Reachers(code, SquareIndex(to));
  Bitboard origins = 0;
  while (candidates) {
    const int from = PopLowest(candidates);
    if (legal({FileOf(from), RankOf(from)}, to)) origins |= SquareBit(from);
  }
  return origins;
}

__attribute__((always_inline)) inline int doska::UsualMoveLegality(int piece, int fromfile, int fromrank, int to,
                                                                   int& from, KingSafety& safety) const {
  const bool black = IsBlack(piece);
  // The mover's one king, known in or out of check (the check memo holds a lone king's only).
  const Bitboard kings = byCode[black ? BlackKing : WhiteKing];
  if ((checkMemo | 1) != CheckMemoWord(stamp, black, true) || !kings) return -1;
  safety.king = LowestSquare(kings);
  safety.inCheck = checkMemo & 1;
  const int type = PieceType(piece);
  Bitboard candidates = byCode[piece];
  if (fromfile) candidates &= Attacks.file[fromfile];
  if (fromrank) candidates &= Attacks.rank[fromrank];
  if (type == 1) {
    candidates &= Reachers(uint8_t(piece), to);
  } else {
    // A piece other than a pawn reaches the destination when it stands on one of the lines or
    // steps its kind reaches it by and nothing stands between (steps have nothing between): the
    // usual text names one such piece, looked at alone; with several the board's lines tell.
    candidates &= Reach[size_t(piece)][size_t(to)];
    if (candidates & (candidates - 1))
      candidates &= Reachers(uint8_t(piece), to);
    else if (candidates && (Attacks.between[LowestSquare(candidates)][to] & (byColor[White] | byColor[Black])))
      candidates = 0;
  }
  if (!candidates || (candidates & (candidates - 1))) return -1;
  from = LowestSquare(candidates);
  const int side = black ? Black : White;
  const Bitboard toBit = SquareBit(to);
  if (type == 1) {
    if (RankOf(to) == (black ? 1 : 8)) return -1;  // a promotion
    const int push = PawnPush(side, from, to);
    if (push <= 0) return push;  // blocked; or en passant, or no pawn move at all
  } else if (type == 6) {
    // A step onto a square without a piece of its own (a Chess960 king onto its rook castles).
    if (!(Attacks.king[from] & toBit) || (byColor[side] & toBit)) return -1;
    return KingStepSafe(from, to, black) ? 1 : 0;
  } else if (byColor[side] & toBit) {
    return 0;  // Reachers gave exactly the squares from which such a piece reaches the destination
  }
  // In check, the move must end it: the full test of the king after it.
  if (safety.inCheck) return KingSafeAfter(from, to) ? 1 : 0;
  return KeepsKingCovered(safety.king, from, to, side) ? 1 : 0;
}

namespace {

// The files of the castling rooks on a standard board (doska::castlingfiles).
constexpr uint8_t StandardCastlingFiles[4] = {1, 8, 1, 8};

// The castling right each corner stands for on a standard board; 0 for the other squares.
constexpr std::array<uint8_t, 64> CornerRights = [] {
  std::array<uint8_t, 64> rights{};
  rights[size_t(SquareIndex(1, 1))] = LosesWhiteLong;
  rights[size_t(SquareIndex(8, 1))] = LosesWhiteShort;
  rights[size_t(SquareIndex(1, 8))] = LosesBlackLong;
  rights[size_t(SquareIndex(8, 8))] = LosesBlackShort;
  return rights;
}();

// A square's file and rank (1..8) as two bytes, the way a move record keeps them.
constexpr std::array<uint16_t, 64> FileRankBytes = [] {
  std::array<uint16_t, 64> bytes{};
  for (int index = 0; index < 64; ++index) bytes[size_t(index)] = uint16_t(FileOf(index) | RankOf(index) << 8);
  return bytes;
}();

}  // namespace

__attribute__((always_inline)) inline uint64_t doska::UsualMoveBytes(uint8_t piece, int from, int to) const {
  const uint8_t captured = cells[to];
  const int type = PieceType(piece);
  uint8_t flags;
  if (((SquareBit(from) | SquareBit(to)) & BackRanks) == 0 && type != 6) {
    // Off the back ranks no castling right changes; a pawn going two squares (from its first
    // rank: the only way a usual pawn move can) opens an en-passant capture.
    const bool doubleStep = type == 1 && (to - from == 16 || from - to == 16);
    flags = doubleStep ? (piece == WhitePawn ? WhiteDoubleStep : BlackDoubleStep) : 0;
  } else if (std::memcmp(castlingfiles, StandardCastlingFiles, sizeof castlingfiles) == 0) {
    // The rooks castle from the corners: a piece landing on a corner, or a rook of that corner's
    // side leaving it, loses the corner's right (when not lost already); a king's first step
    // loses both.
    flags = CornerRights[size_t(to)];
    if (piece == WhiteRook) flags |= CornerRights[size_t(from)] & (LosesWhiteLong | LosesWhiteShort);
    if (piece == BlackRook) flags |= CornerRights[size_t(from)] & (LosesBlackLong | LosesBlackShort);
    if (flags)
      flags &= uint8_t(~((wqueenlost ? LosesWhiteLong : 0) | (wkinglost ? LosesWhiteShort : 0) |
                         (bqueenlost ? LosesBlackLong : 0) | (bkinglost ? LosesBlackShort : 0)));
    if (piece == WhiteKing && !wkingmoved) flags |= MovesWhiteKing;
    if (piece == BlackKing && !bkingmoved) flags |= MovesBlackKing;
  } else {
    flags = MoveFlags(piece, FileOf(from), RankOf(from), FileOf(to), RankOf(to));
  }
  // piece, from-file, from-rank, to-file, to-rank, extra (none), captured, flags
  return uint64_t(piece) | uint64_t(FileRankBytes[size_t(from)]) << 8 | uint64_t(FileRankBytes[size_t(to)]) << 24 |
         uint64_t(captured) << 48 | uint64_t(flags) << 56;
}

uint8_t doska::ResolveAndPlay(const MoveText& text, mov& record, Bitboard& rivals, uint8_t& state) {
  const int piece = text.piece, promotion = text.promotion;
  const int fromfile = text.from.file, fromrank = text.from.rank, tofile = text.to.file, torank = text.to.rank;
  // The usual text, searched and played without the general search's bookkeeping; the general
  // search gives the same answers for it, the long way.
  if (promotion == 0 && unsigned(piece - WhitePawn) < unsigned(BlackKing) && unsigned(tofile - 1) < 8u &&
      unsigned(torank - 1) < 8u && unsigned(fromfile) <= 8u && unsigned(fromrank) <= 8u) {
    const int to = SquareIndex(tofile, torank);
    int from = 0;
    KingSafety safety;
    const int legality = UsualMoveLegality(piece, fromfile, fromrank, to, from, safety);
    if (legality == 0) return ResolveNoMove;
    if (legality == 1) {
      // With origin hints in the text, other pieces of the code may reach the destination too.
      rivals = 0;
      if ((fromfile | fromrank) != 0 && PieceType(piece) != 1) {
        Bitboard others = byCode[piece] & Reachers(uint8_t(piece), to) & ~SquareBit(from);
        while (others) {
          const int other = PopLowest(others);
          if (LegalFromReacher(other, to, safety)) rivals |= SquareBit(other);
        }
      }
      // The record's bytes stay at hand: read back through `record`, which might be anywhere,
      // they would be loaded again after every store to the board.
      const uint64_t bytes = UsualMoveBytes(uint8_t(piece), from, to);
      record.SetBoardBytes(bytes);
      const uint8_t flags = uint8_t(bytes >> 56);
      const bool opponentWasSafe = safeMemo == SafeMemoWord(stamp, !IsBlack(piece));
      MovePiece(from, to, uint8_t(piece));
      SetCastlingState(flags, 1);
      epforblack = (flags & WhiteDoubleStep) ? uint8_t(FileOf(from)) : 0;
      epforwhite = (flags & BlackDoubleStep) ? uint8_t(FileOf(from)) : 0;
      assert(IsConsistent());
      state = StateAfterPlay(uint8_t(piece), from, to, true, opponentWasSafe, true);  // its one king
      return StateNormal;
    }
  }
  // Castling on a standard board, written from the king's home square, the side's one king there
  // and the rook in its corner: the same answers without the general search and the full test
  // of the position after it. Only the rook can give check then: no line runs through the
  // corner it leaves, and the one line through the king's square with room on both sides (the
  // home rank) stays closed by the king and the rook.
  if (!chess960 && promotion == 0 && (piece == WhiteKing || piece == BlackKing) && fromfile == 5 &&
      (tofile == 3 || tofile == 7)) {
    const bool black = piece == BlackKing;
    const int home = black ? 8 : 1;
    const int from = SquareIndex(5, home);
    const bool longside = tofile == 3;
    const int rookFrom = SquareIndex(longside ? 1 : 8, home);
    const uint8_t rook = black ? BlackRook : WhiteRook;
    if (fromrank == home && torank == home && byCode[piece] == SquareBit(from) && cells[rookFrom] == rook) {
      if (!CanCastle(black, longside)) return ResolveNoMove;
      const int to = SquareIndex(tofile, home), rookTo = SquareIndex(longside ? 4 : 6, home);
      DescribeOnBoard(record, from, to, 0);
      rivals = 0;
      const bool opponentWasSafe = safeMemo == SafeMemoWord(stamp, !black);
      MovePiece(from, to, uint8_t(piece));
      MovePiece(rookFrom, rookTo, rook);
      SetCastlingState(record.flags, 1);
      epforblack = epforwhite = 0;
      assert(IsConsistent());
      state = StateAfterPlay(rook, rookFrom, rookTo, true, opponentWasSafe, true);
      return StateNormal;
    }
  }
  Bitboard origins = 0;
  const bool allOrigins = fromfile == 0 && fromrank == 0 && piece != WhitePawn && piece != BlackPawn;
  MoveText search = text;
  const uint8_t found = ResolveInto(search, record, origins);
  if (found != StateNormal) return found;
  rivals = 0;
  if (PieceType(record.piece) != 1) {
    const Bitboard own = SquareBit(SquareIndex(record.fromfile, record.fromrank));
    rivals = allOrigins ? origins & ~own : LegalOrigins(record.piece, {record.tofile, record.torank}, own);
  }
  state = PlayLegal(record);
  return StateNormal;
}

uint64_t doska::PackedState() const {
  const uint8_t bytes[8] = {wqueenlost, wkinglost,  bqueenlost, bkinglost,
                            wkingmoved, bkingmoved, epforblack, epforwhite};
  uint64_t packed;
  std::memcpy(&packed, bytes, 8);
  return packed;
}

bool doska::StillHolds(const ResolvedMove* resolved) const {
  return resolved && resolved->found && resolved->stamp == stamp && resolved->stateBytes == PackedState();
}

bool doska::DescribeResolved(const ResolvedMove* resolved, mov& m, Square from, Square to, int promotion) const {
  if (!StillHolds(resolved)) return false;
  uint8_t bytes[8];
  std::memcpy(bytes, &resolved->move, 8);
  // The move was described with the promotion resolve returned: its extra.
  if (bytes[1] != from.file || bytes[2] != from.rank || bytes[3] != to.file || bytes[4] != to.rank ||
      bytes[5] != promotion)
    return false;
  m.SetBoardBytes(resolved->move);
  return true;
}

bool doska::KnownOrigins(const ResolvedMove* resolved, const mov& m, Bitboard& origins) const {
  if (!StillHolds(resolved) || !resolved->originsKnown || resolved->move != m.BoardBytes()) return false;
  origins = resolved->origins;
  return true;
}

bool doska::KnownStateAfter(const ResolvedMove* resolved, const mov& m, uint8_t& state) const {
  if (!StillHolds(resolved) || !resolved->stateKnown || resolved->move != m.BoardBytes()) return false;
  state = resolved->state;
  return true;
}

__attribute__((always_inline)) inline uint8_t doska::MoveFlags(uint8_t piece, int fromfile, int fromrank, int tofile,
                                                               int torank) const {
  // Which castling right a rook's home square stands for: a1, h1, a8, h8 on a standard board.
  auto corner = [this](int file, int rank) -> uint8_t {
    uint8_t rights = 0;
    if (rank == 1) {
      if (file == castlingfiles[0]) rights |= LosesWhiteLong;
      if (file == castlingfiles[1]) rights |= LosesWhiteShort;
    } else if (rank == 8) {
      if (file == castlingfiles[2]) rights |= LosesBlackLong;
      if (file == castlingfiles[3]) rights |= LosesBlackShort;
    }
    return rights;
  };
  // Any piece landing on a corner, or a rook of that corner's side leaving it, loses the right.
  // Only moves from or to a back rank can.
  uint8_t flags = 0;
  if (torank == 1 || torank == 8) flags = corner(tofile, torank);
  if (piece == WhiteRook && fromrank == 1) flags |= corner(fromfile, fromrank) & (LosesWhiteLong | LosesWhiteShort);
  if (piece == BlackRook && fromrank == 8) flags |= corner(fromfile, fromrank) & (LosesBlackLong | LosesBlackShort);
  if (flags) {
    const uint8_t lost = uint8_t((wqueenlost ? LosesWhiteLong : 0) | (wkinglost ? LosesWhiteShort : 0) |
                                 (bqueenlost ? LosesBlackLong : 0) | (bkinglost ? LosesBlackShort : 0));
    flags &= uint8_t(~lost);
  }
  switch (piece) {
    case WhitePawn:
      if (fromrank == 2 && torank == 4) flags |= WhiteDoubleStep;
      break;
    case BlackPawn:
      if (fromrank == 7 && torank == 5) flags |= BlackDoubleStep;
      break;
    case WhiteKing:
      if (std::abs(fromfile - tofile) <= 1 && !wkingmoved) flags |= MovesWhiteKing;
      if (!chess960 && fromfile == 5 && fromrank == 1 && torank == 1 && (tofile == 3 || tofile == 7))
        flags = MovesWhiteKing | (tofile == 3 ? LosesWhiteLong : LosesWhiteShort);
      break;
    case BlackKing:
      if (std::abs(fromfile - tofile) <= 1 && !bkingmoved) flags |= MovesBlackKing;
      if (!chess960 && fromfile == 5 && fromrank == 8 && torank == 8 && (tofile == 3 || tofile == 7))
        flags = MovesBlackKing | (tofile == 3 ? LosesBlackLong : LosesBlackShort);
      break;
    default:
      break;
  }
  return flags;
}

void doska::describe(mov& m, Square from, Square to, int promotion) const {
  const int fromfile = from.file, fromrank = from.rank, tofile = to.file, torank = to.rank;
  if (OnBoard(fromfile, fromrank) && OnBoard(tofile, torank)) {
    DescribeOnBoard(m, SquareIndex(fromfile, fromrank), SquareIndex(tofile, torank), promotion);
    return;
  }
  // A move from or to outside the board (a record made elsewhere): what the squares say.
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
  m.flags = MoveFlags(m.piece, fromfile, fromrank, tofile, torank);
}

__attribute__((always_inline)) inline void doska::DescribeOnBoard(mov& m, int from, int to, int promotion) const {
  const uint8_t piece = cells[from];
  const int fromfile = FileOf(from), fromrank = RankOf(from), tofile = FileOf(to), torank = RankOf(to);
  m.piece = piece;
  m.fromfile = uint8_t(fromfile);
  m.fromrank = uint8_t(fromrank);
  m.tofile = uint8_t(tofile);
  m.torank = uint8_t(torank);
  m.captured = cells[to];
  m.extra = uint8_t(promotion);
  if (chess960 && IsCastling960(from, to)) {
    const bool longside = tofile < fromfile;
    m.captured = Empty;
    m.extra = CastlingExtra;
    if (piece == WhiteKing)
      m.flags = MovesWhiteKing | (longside ? LosesWhiteLong : LosesWhiteShort);
    else
      m.flags = MovesBlackKing | (longside ? LosesBlackLong : LosesBlackShort);
    return;
  }
  const int type = PieceType(piece);
  if (type == 1) {
    if ((promotion == 0 || promotion == WhitePawn || promotion == BlackPawn) && std::abs(fromfile - tofile) == 1 &&
        m.captured == Empty)
      m.extra = IsWhite(piece) ? BlackPawn : WhitePawn;
    // Off the back ranks a pawn changes no castling right; it may open an en-passant capture.
    if (((SquareBit(from) | SquareBit(to)) & BackRanks) == 0) {
      if (piece == WhitePawn)
        m.flags = fromrank == 2 && torank == 4 ? WhiteDoubleStep : 0;
      else
        m.flags = fromrank == 7 && torank == 5 ? BlackDoubleStep : 0;
      return;
    }
  } else if (type != 6 && ((SquareBit(from) | SquareBit(to)) & BackRanks) == 0) {
    m.flags = 0;  // nor does a piece that neither leaves nor reaches a back rank
    return;
  }
  m.flags = MoveFlags(piece, fromfile, fromrank, tofile, torank);
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
  if (m.extra == CastlingExtra) return c;  // Chess960's, played on its own
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

inline void doska::SetCastlingState(uint8_t flags, uint8_t value) {
  // Most moves change none of it.
  if (!(flags &
        (LosesWhiteLong | LosesWhiteShort | LosesBlackLong | LosesBlackShort | MovesWhiteKing | MovesBlackKing)))
    return;
  if (flags & LosesWhiteLong) wqueenlost = value;
  if (flags & LosesWhiteShort) wkinglost = value;
  if (flags & LosesBlackLong) bqueenlost = value;
  if (flags & LosesBlackShort) bkinglost = value;
  if (flags & MovesWhiteKing) wkingmoved = value;
  if (flags & MovesBlackKing) bkingmoved = value;
}

__attribute__((always_inline)) inline bool doska::PlayUsual(const mov& m) {
  // Squares on the board, no promotion, en passant or Chess960 castling.
  if (m.extra != 0 || ((m.fromfile - 1) | (m.fromrank - 1) | (m.tofile - 1) | (m.torank - 1)) & ~7) return false;
  const int from = SquareIndex(m.fromfile, m.fromrank), to = SquareIndex(m.tofile, m.torank);
  const uint8_t piece = m.piece;
  // The piece on the origin goes to another square, taking what stood there (a standard
  // castling's king move, two files along, is left to apply for its rook).
  if (from == to || piece == Empty || cells[from] != piece ||
      ((piece == WhiteKing || piece == BlackKing) && std::abs(from - to) == 2))
    return false;
  MovePiece(from, to, piece);
  SetCastlingState(m.flags, 1);
  epforblack = (m.flags & WhiteDoubleStep) ? m.fromfile : 0;
  epforwhite = (m.flags & BlackDoubleStep) ? m.fromfile : 0;
  assert(IsConsistent());
  return true;
}

void doska::apply(const mov& m) {
  if (!PlayUsual(m)) ApplyOther(m);
}

void doska::ApplyOther(const mov& m) {
  if (m.extra == CastlingExtra && (m.piece == WhiteKing || m.piece == BlackKing) && OnBoard(m.fromfile, m.fromrank) &&
      OnBoard(m.tofile, m.torank) && m.fromrank == m.torank) {
    // Both leave their squares first: the king may land where the rook stood, or the other way.
    const bool longside = m.tofile < m.fromfile;
    Place(SquareIndex(m.fromfile, m.fromrank), Empty);
    Place(SquareIndex(m.tofile, m.torank), Empty);
    Place(SquareIndex(longside ? 3 : 7, m.torank), m.piece);
    Place(SquareIndex(longside ? 4 : 6, m.torank), IsWhite(m.piece) ? WhiteRook : BlackRook);
    SetCastlingState(m.flags, 1);
    epforblack = epforwhite = 0;
    assert(IsConsistent());
    return;
  }
  if (OnBoard(m.fromfile, m.fromrank) && OnBoard(m.tofile, m.torank) && m.piece < PieceCodeCount &&
      m.extra < PieceCodeCount) {
    // The usual case, one square change each way (a record from elsewhere may hold anything).
    const int to = SquareIndex(m.tofile, m.torank);
    Place(SquareIndex(m.fromfile, m.fromrank), Empty);
    Place(to, m.extra != 0 && (m.torank == 1 || m.torank == 8) ? m.extra : m.piece);
    if (m.extra == BlackPawn && m.torank > 1) Place(to - 8, Empty);
    if (m.extra == WhitePawn && m.torank < 8) Place(to + 8, Empty);
  } else {
    put(m.fromfile, m.fromrank, Empty);
    put(m.tofile, m.torank, m.piece);
    if (m.extra != 0) {
      if (m.torank == 1 || m.torank == 8) put(m.tofile, m.torank, m.extra);
      if (m.extra == BlackPawn) put(m.tofile, m.torank - 1, Empty);
      if (m.extra == WhitePawn) put(m.tofile, m.torank + 1, Empty);
    }
  }
  if (PieceType(m.piece) == 6) {
    const CastlingRook c = RookOfCastling(m);
    if (c.castles) {
      Place(SquareIndex(c.fromfile, c.rank), Empty);
      Place(SquareIndex(c.tofile, c.rank), c.rook);
    }
  }
  SetCastlingState(m.flags, 1);
  epforblack = (m.flags & WhiteDoubleStep) ? m.fromfile : 0;
  epforwhite = (m.flags & BlackDoubleStep) ? m.fromfile : 0;
  assert(IsConsistent());
}

void doska::takeback(const mov& m) {
  if (m.extra == CastlingExtra && (m.piece == WhiteKing || m.piece == BlackKing) && OnBoard(m.fromfile, m.fromrank) &&
      OnBoard(m.tofile, m.torank) && m.fromrank == m.torank) {
    const bool longside = m.tofile < m.fromfile;
    Place(SquareIndex(longside ? 3 : 7, m.torank), Empty);
    Place(SquareIndex(longside ? 4 : 6, m.torank), Empty);
    Place(SquareIndex(m.fromfile, m.fromrank), m.piece);
    Place(SquareIndex(m.tofile, m.torank), IsWhite(m.piece) ? WhiteRook : BlackRook);
    SetCastlingState(m.flags, 0);
    assert(IsConsistent());
    return;
  }
  put(m.fromfile, m.fromrank, m.piece);
  put(m.tofile, m.torank, m.captured);
  if (m.extra == BlackPawn) put(m.tofile, m.torank - 1, BlackPawn);
  if (m.extra == WhitePawn) put(m.tofile, m.torank + 1, WhitePawn);
  const CastlingRook c = RookOfCastling(m);
  if (c.castles) {
    put(c.tofile, c.rank, Empty);
    put(c.fromfile, c.rank, c.rook);
  }
  SetCastlingState(m.flags, 0);
  assert(IsConsistent());
}
