// The board: setting it up, placing pieces, comparing and checking positions, the castling
// rights and the position key.
#include "chess/doska.h"

#include <cstring>

#include "chess/doska_internal.h"

doska::doska() { reset(); }

doska::doska(EmptyBoard) { clear(); }

void doska::clear() {
  ++stamp;  // what was remembered of the old squares no longer holds
  std::memset(cells, 0, sizeof cells);
  pieceKey = 0;
  std::memset(byCode, 0, sizeof byCode);
  byCode[Empty] = ~Bitboard(0);
  byColor[White] = byColor[Black] = 0;
  byColor[2] = ~Bitboard(0);
  wqueenlost = wkinglost = bqueenlost = bkinglost = 0;
  wkingmoved = bkingmoved = 0;
  epforblack = epforwhite = 0;
  chess960 = 0;
  castlingfiles[0] = castlingfiles[2] = 1;
  castlingfiles[1] = castlingfiles[3] = 8;
}

void doska::reset() {
  // Set up square by square once; every later reset copies that board.
  static const doska initial = [] {
    doska board{EmptyBoard{}};
    for (int file = 1; file <= 8; ++file) {
      board.put(file, 1, InitialBackRank[file - 1]);
      board.put(file, 2, WhitePawn);
      board.put(file, 7, BlackPawn);
      board.put(file, 8, uint8_t(InitialBackRank[file - 1] + 6));
    }
    return board;
  }();
  const uint32_t next = stamp + 1;  // what was remembered of the old squares no longer holds
  *this = initial;
  stamp = next;
  // Neither king is in check: the first move takes the usual way.
  checkMemo = CheckMemoWord(stamp, false, false);
  safeMemo = SafeMemoWord(stamp, true);
}

void doska::assign(const doska& other) { *this = other; }

void doska::put(int file, int rank, uint8_t code) {
  if (!OnBoard(file, rank) || code >= PieceCodeCount) return;
  Place(SquareIndex(file, rank), code);
}

bool doska::SamePosition(const doska& other) const {
  return std::memcmp(cells, other.cells, sizeof cells) == 0 && wqueenlost == other.wqueenlost &&
         wkinglost == other.wkinglost && bqueenlost == other.bqueenlost && bkinglost == other.bkinglost &&
         wkingmoved == other.wkingmoved && bkingmoved == other.bkingmoved && epforblack == other.epforblack &&
         epforwhite == other.epforwhite && chess960 == other.chess960 &&
         std::memcmp(castlingfiles, other.castlingfiles, sizeof castlingfiles) == 0;
}

bool doska::IsConsistent() const {
  Bitboard seen = 0;
  for (int code = 0; code < PieceCodeCount; ++code) {
    if (seen & byCode[code]) return false;
    seen |= byCode[code];
  }
  if (seen != ~Bitboard(0)) return false;
  for (int index = 0; index < 64; ++index) {
    const uint8_t code = cells[index];
    if (code >= PieceCodeCount || !(byCode[code] & SquareBit(index))) return false;
    const bool white = byColor[White] & SquareBit(index), black = byColor[Black] & SquareBit(index);
    if (white != IsWhite(code) || black != IsBlack(code)) return false;
  }
  return true;
}

bool doska::castleright(Side side, bool longside) const {
  if (side == Side::Black) return !bkingmoved && !(longside ? bqueenlost : bkinglost);
  return !wkingmoved && !(longside ? wqueenlost : wkinglost);
}

uint64_t doska::poskey(Side toMove) const {
  const bool blacktomove = toMove == Side::Black;
  // The castling rights' part changes a few times a game: worked out again only when the six
  // castling bytes differ from those it was last worked out for.
  const uint64_t castling = uint64_t(wqueenlost) | uint64_t(wkinglost) << 8 | uint64_t(bqueenlost) << 16 |
                            uint64_t(bkinglost) << 24 | uint64_t(wkingmoved) << 32 | uint64_t(bkingmoved) << 40;
  if (castling != castlingKeyFor) {
    uint64_t part = 0;
    if (castleright(Side::White, false)) part ^= PolyglotKeys[PolyglotCastleBase + 0];
    if (castleright(Side::White, true)) part ^= PolyglotKeys[PolyglotCastleBase + 1];
    if (castleright(Side::Black, false)) part ^= PolyglotKeys[PolyglotCastleBase + 2];
    if (castleright(Side::Black, true)) part ^= PolyglotKeys[PolyglotCastleBase + 3];
    castlingKeyFor = castling;
    castlingKey = part;
  }
  uint64_t key = pieceKey ^ castlingKey;
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
