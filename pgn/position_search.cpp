#include "pgn/position_search.h"

#include <algorithm>
#include <bit>
#include <memory>

#include "chess/jurnal.h"
#include "pgn/read_codes.h"

namespace {

uint8_t CastlingOf(const doska& board) {
  return uint8_t((board.castleright(Side::White, false) ? 1 : 0) | (board.castleright(Side::White, true) ? 2 : 0) |
                 (board.castleright(Side::Black, false) ? 4 : 0) | (board.castleright(Side::Black, true) ? 8 : 0));
}

uint8_t EnPassantFileFor(const doska& board, Side toMove) {
  return toMove == Side::Black ? board.epforblack : board.epforwhite;
}

// The board with the colours swapped and the ranks mirrored: what the other side would have.
doska Mirrored(const doska& board) {
  doska mirror;
  mirror.clear();
  for (int file = 1; file <= 8; ++file)
    for (int rank = 1; rank <= 8; ++rank) {
      const uint8_t code = board.at(file, rank);
      if (code != Empty) mirror.put(file, 9 - rank, MakePiece(PieceType(code), IsWhite(code)));
    }
  mirror.wkingmoved = board.bkingmoved;
  mirror.bkingmoved = board.wkingmoved;
  mirror.wkinglost = board.bkinglost;
  mirror.bkinglost = board.wkinglost;
  mirror.wqueenlost = board.bqueenlost;
  mirror.bqueenlost = board.wqueenlost;
  mirror.epforblack = board.epforwhite;
  mirror.epforwhite = board.epforblack;
  return mirror;
}

// The fields of a FEN after its placement: side, castling, en passant (missing ones empty).
std::vector<std::string_view> FieldsOf(std::string_view fen) {
  std::vector<std::string_view> fields;
  size_t at = 0;
  while (at < fen.size()) {
    const size_t start = fen.find_first_not_of(' ', at);
    if (start == std::string_view::npos) break;
    const size_t end = std::min(fen.find(' ', start), fen.size());
    fields.push_back(fen.substr(start, end - start));
    at = end;
  }
  return fields;
}

}  // namespace

void PositionSearch::Add(const doska& board, Side toMove, bool castlingGiven, bool enPassantGiven, bool eitherColour) {
  PositionTarget target;
  target.placement = board.PlacementKey();
  target.toMove = toMove;
  target.castlingGiven = castlingGiven;
  target.castling = castlingGiven ? CastlingOf(board) : 0;
  target.enPassantGiven = enPassantGiven;
  target.enPassantFile = enPassantGiven ? EnPassantFileFor(board, toMove) : 0;
  target.whitePieces = uint8_t(std::popcount(board.PiecesOf(Side::White)));
  target.blackPieces = uint8_t(std::popcount(board.PiecesOf(Side::Black)));
  target.whitePawns = uint8_t(std::popcount(board.Pieces(WhitePawn)));
  target.blackPawns = uint8_t(std::popcount(board.Pieces(BlackPawn)));
  target.unmovedPawns = (board.Pieces(WhitePawn) & Attacks.rank[2]) | (board.Pieces(BlackPawn) & Attacks.rank[7]);
  targets.push_back(target);
  if (eitherColour) {
    const doska mirror = Mirrored(board);
    if (mirror.PlacementKey() != target.placement || toMove == Side::White)
      Add(mirror, Opponent(toMove), castlingGiven, enPassantGiven, false);
  }
}

bool PositionSearch::AddFen(std::string_view fen, bool eitherColour, std::string& error) {
  const std::vector<std::string_view> fields = FieldsOf(fen);
  if (fields.size() < 2) {
    error = "\"" + std::string(fen) + "\" is no FEN: it needs at least the placement and the side to move";
    return false;
  }
  int position = 1, code = 0;
  const std::unique_ptr<jurnal> record = jurnal::fromfen(fen, position, code);
  if (code || !record || !record->ownboard) {
    error = "\"" + std::string(fen) + "\" is no FEN this reader takes (" + DescribeFenError(code) + ")";
    return false;
  }
  const bool castlingGiven = fields.size() >= 3 && fields[2] != "-";
  const bool enPassantGiven = fields.size() >= 4 && fields[3] != "-";
  Add(*record->ownboard, SideOf(record->blackfirst), castlingGiven, enPassantGiven, eitherColour);
  return true;
}

void PositionSearch::AddReached(const doska& board, Side toMove, bool eitherColour) {
  Add(board, toMove, true, false, eitherColour);
}

void PositionSearch::AddPattern(const BoardPattern& pattern, bool eitherColour) {
  patterns.push_back(pattern);
  if (eitherColour) patterns.push_back(pattern.Mirrored());
}

void PositionSearch::AddMaterial(const MaterialBalance& balance, bool eitherColour) {
  balances.push_back(balance);
  if (eitherColour) balances.push_back(balance.Swapped());
}

bool PositionSearch::Holds(const doska& board, Side toMove) const {
  const uint64_t placement = board.PlacementKey();
  for (const PositionTarget& target : targets) {
    if (target.placement != placement || target.toMove != toMove) continue;
    if (target.castlingGiven && target.castling != CastlingOf(board)) continue;
    if (target.enPassantGiven && target.enPassantFile != EnPassantFileFor(board, toMove)) continue;
    return true;
  }
  for (const BoardPattern& pattern : patterns)
    if (pattern.Holds(board, toMove)) return true;
  return false;
}

bool PositionSearch::MayStillReach(const doska& board) const {
  const Bitboard unmoved = (board.Pieces(WhitePawn) & Attacks.rank[2]) | (board.Pieces(BlackPawn) & Attacks.rank[7]);
  const int whitePieces = std::popcount(board.PiecesOf(Side::White));
  const int blackPieces = std::popcount(board.PiecesOf(Side::Black));
  const int whitePawns = std::popcount(board.Pieces(WhitePawn));
  const int blackPawns = std::popcount(board.Pieces(BlackPawn));
  const uint8_t castling = CastlingOf(board);
  for (const PositionTarget& target : targets) {
    if ((unmoved & target.unmovedPawns) != target.unmovedPawns) continue;
    if (whitePieces < target.whitePieces || blackPieces < target.blackPieces) continue;
    if (whitePawns < target.whitePawns || blackPawns < target.blackPawns) continue;
    if (target.castlingGiven && (castling & target.castling) != target.castling) continue;
    return true;
  }
  return false;
}

bool PositionSearch::MaterialHolds(const doska& board) const {
  for (const MaterialBalance& balance : balances)
    if (balance.Holds(board)) return true;
  return false;
}

bool PositionSearch::EndHolds(const doska& board, Side toMove) const {
  switch (endsIn) {
    case GameEnd::Any:
      return true;
    case GameEnd::Checkmate:
      return board.gamestate(toMove) == StateCheckmate;
    case GameEnd::Stalemate:
      return board.gamestate(toMove) == StateStalemate;
    case GameEnd::InsufficientMaterial:
      return InsufficientMaterial(board);
  }
  return false;
}

bool InsufficientMaterial(const doska& board) {
  for (const uint8_t code : {WhitePawn, WhiteRook, WhiteQueen, BlackPawn, BlackRook, BlackQueen})
    if (board.Pieces(code)) return false;
  const Bitboard knights = board.Pieces(WhiteKnight) | board.Pieces(BlackKnight);
  const Bitboard bishops = board.Pieces(WhiteBishop) | board.Pieces(BlackBishop);
  const int minors = std::popcount(knights | bishops);
  if (minors <= 1) return true;
  // Bishops only, every one on squares of one colour.
  constexpr Bitboard DarkSquares = 0xAA55AA55AA55AA55ull;
  return !knights && ((bishops & DarkSquares) == 0 || (bishops & ~DarkSquares) == 0);
}

void PositionsSeen::Start(const PositionSearch& search, int halfMoveClock, bool watching) {
  found = ended = material = outOfReach = false;
  watchesReach = watching && search.LooksForExactPositionsOnly();
  reachStale = true;
  materialRun = 0;
  materialHeld = false;
  materialStale = true;
  events = 0;
  clock = halfMoveClock;
  ply = 0;
  placements.clear();
  sinceIrreversible.clear();
  (void)search;
}

void PositionsSeen::MainLinePosition(const PositionSearch& search, const doska& board, Side toMove) {
  if (!found && search.LooksForPositions()) {
    found = search.Holds(board, toMove);
    if (!found && watchesReach && reachStale) {
      outOfReach = !search.MayStillReach(board);
      reachStale = false;
    }
  }
  if (ply > 0 && size_t(ply) <= search.LongestLine()) placements.push_back(board.PlacementKey());
  ++ply;
  if (search.LooksForMaterial() && !search.materialAtEnd && !material) {
    if (materialStale) {
      materialHeld = search.MaterialHolds(board);
      materialStale = false;
    }
    materialRun = materialHeld ? materialRun + 1 : 0;
    material = materialRun >= search.materialPlies;
  }
  if (search.events & HasRepetition && !(events & HasRepetition)) {
    const uint64_t key = board.poskey(toMove);
    if (std::count(sinceIrreversible.begin(), sinceIrreversible.end(), key) >= 2) events |= HasRepetition;
    sinceIrreversible.push_back(key);
  }
}

void PositionsSeen::MainLineMove(const PositionSearch& search, const mov& played) {
  const bool pawn = PieceType(played.piece) == 1;
  // A Chess960 castling is written as the king taking its own rook: no capture.
  const bool capture = played.captured != Empty && played.extra != CastlingExtra;
  const bool irreversible = pawn || capture;
  if (pawn && played.extra) {
    const int becomes = PieceType(played.extra);
    if (played.torank == 1 || played.torank == 8) {
      if (becomes >= 2 && becomes <= 4) events |= HasUnderpromotion;
    } else {
      events |= HasEnPassant;  // a pawn's extra off the last ranks: the pawn it takes in passing
    }
  }
  if (capture || (pawn && played.extra)) materialStale = true;
  // Only these take what a position needs away for good: pawns, pieces, castling rights.
  if (irreversible || PieceType(played.piece) == 6 || PieceType(played.piece) == 4) reachStale = true;
  if (irreversible) {
    clock = 0;
    sinceIrreversible.clear();
  } else if (++clock >= 100) {
    events |= HasFiftyMoves;
  }
  (void)search;
}

void PositionsSeen::End(const PositionSearch& search, const doska& board, Side toMove) {
  ended = search.EndHolds(board, toMove);
  if (search.LooksForMaterial() && search.materialAtEnd) material = search.MaterialHolds(board);
}

uint8_t PositionsSeen::Held(const PositionSearch& search) const {
  uint8_t held = 0;
  if (found) held |= PositionCriterion;
  for (const std::vector<uint64_t>& line : search.Lines())
    if (line.size() <= placements.size() && std::equal(line.begin(), line.end(), placements.begin()))
      held |= LineCriterion;
  if (material) held |= MaterialCriterion;
  if (ended && search.endsIn != GameEnd::Any) held |= EndCriterion;
  if (search.events && (events & search.events) == search.events) held |= EventsCriterion;
  return uint8_t(held & search.Asked());
}
