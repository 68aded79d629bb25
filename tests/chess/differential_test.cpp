// The fast board against the plain reference board on random queries of every operation,
// in positions reached by random play and in odd positions no game reaches.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "chess/doska.h"
#include "tests/chess/move_text.h"
#include "tests/chess/reference_board.h"

namespace {

#ifdef PGN_SANITIZE_BUILD
constexpr int QueriesPerOperation = 200000;
#else
constexpr int QueriesPerOperation = 1000000;
#endif

enum Operation {
  OpCanmove,
  OpAttacked,
  OpLegal,
  OpGamestate,
  OpResolve,
  OpCastleright,
  OpPoskey,
  OpDescribe,
  OpApply,
  OpTakeback,
  OpPlayLegal,
  OpResolveAndPlay,
  OpCount
};
const char* const OperationNames[OpCount] = {"canmove", "attacked",    "legal",     "gamestate",
                                             "resolve", "castleright", "poskey",    "describe",
                                             "apply",   "takeback",    "PlayLegal", "ResolveAndPlay"};

std::string Show(const doska& board) {
  std::ostringstream out;
  for (int rank = 8; rank >= 1; --rank) {
    for (int file = 1; file <= 8; ++file) out << " .PNBRQKpnbrqk"[board.at(file, rank) + 1];
    out << '\n';
  }
  out << "lost wq/wk/bq/bk " << int(board.wqueenlost) << int(board.wkinglost) << int(board.bqueenlost)
      << int(board.bkinglost) << " moved w/b " << int(board.wkingmoved) << int(board.bkingmoved) << " ep b/w "
      << int(board.epforblack) << '/' << int(board.epforwhite) << '\n';
  return out.str();
}

bool SameBytes(const mov& a, const mov& b) { return a.SameBoardMove(b); }

// A move text taken apart: piece, promotion, origin file and rank, destination file and rank.
using Text = std::array<int, 6>;

class Differential {
 public:
  explicit Differential(uint64_t seed) : rng(seed) {}

  std::array<long, OpCount> counts{};

  // Moves played come one a position at most: a quarter of the queries is enough of them.
  static long Wanted(int op) {
    return op == OpPlayLegal || op == OpResolveAndPlay ? QueriesPerOperation / 4 : QueriesPerOperation;
  }
  bool Done() const {
    for (int op = 0; op < OpCount; ++op)
      if (counts[op] < Wanted(op)) return false;
    return true;
  }

  // Runs a batch of queries of every operation on one position; false at the first disagreement.
  bool Check(const doska& board) {
    const ReferenceBoard reference(board);
    for (int i = 0; i < 4 && !failed; ++i) CheckCanmoveAndLegal(board, reference);
    for (int i = 0; i < 4 && !failed; ++i) CheckAttacked(board, reference);
    if (!failed) CheckGamestate(board, reference);
    for (int i = 0; i < 3 && !failed; ++i) CheckResolve(board, reference);
    if (!failed) CheckCastlerightAndPoskey(board, reference);
    for (int i = 0; i < 2 && !failed; ++i) CheckMove(board, reference);
    return !failed;
  }

  // Plays a legal move as the reader plays a move it found: the opponent's check state is
  // learnt from the moved piece and the line it opened, and must agree with the full test.
  bool PlayLegal(doska& board, const mov& m, bool black) {
    doska played = board;
    played.apply(m);
    const uint8_t expected = played.CheckState(SideOf(!black));
    const uint8_t state = board.PlayLegal(m);
    ++counts[OpPlayLegal];
    if (state != expected || !board.SamePosition(played)) {
      Fail(played, "PlayLegal: state " + std::to_string(state) + ", the full test " + std::to_string(expected));
      return false;
    }
    return true;
  }

  // A move text found and played in one pass, as the reader plays it, on a copy of the board
  // (which keeps what the board remembers of the moves before): the answer, the move, the
  // position after it, the opponent's check state and the rivals must agree with the reference
  // board's search and the full tests. The position reached goes to `after` when given.
  bool CheckResolveAndPlay(const doska& board, const Text& text, doska* after = nullptr) {
    const auto [piece, promotion, fromfile, fromrank, tofile, torank] = text;
    const ReferenceBoard reference(board);
    int p = promotion, ff = fromfile, fr = fromrank, tf = tofile, tr = torank;
    const int expected = ResolveFields(reference, piece, p, ff, fr, tf, tr);
    doska played = board;
    mov record;
    Bitboard rivals = 0;
    uint8_t state = 0;
    const int found =
        played.ResolveAndPlay({piece, promotion, {fromfile, fromrank}, {tofile, torank}}, record, rivals, state);
    ++counts[OpResolveAndPlay];
    std::ostringstream what;
    what << "ResolveAndPlay piece " << piece << " promotion " << promotion << " from (" << fromfile << "," << fromrank
         << ") to (" << tofile << "," << torank << "): " << found << ", the reference " << expected;
    if (expected >= ResolveNoMove && expected <= ResolveNoPromotion) {
      if (found != expected || !played.SamePosition(board) || !played.IsConsistent()) Fail(board, what.str());
      return !failed;
    }
    mov wanted;
    board.describe(wanted, {ff, fr}, {tf, tr}, p);
    doska reached = board;
    reached.apply(wanted);
    const uint8_t wantedState = reached.CheckState(SideOf(!IsBlack(piece)));
    Bitboard wantedRivals = 0;
    for (int square = 0; square < 64 && PieceType(piece) != 1; ++square)
      if (square != SquareIndex(ff, fr) && board.at(FileOf(square), RankOf(square)) == piece &&
          reference.legal({FileOf(square), RankOf(square)}, {tf, tr}))
        wantedRivals |= SquareBit(square);
    if (found != StateNormal || !SameBytes(record, wanted) || !played.SamePosition(reached) || !played.IsConsistent() ||
        state != wantedState || rivals != wantedRivals) {
      what << "; state " << int(state) << " wanted " << int(wantedState) << ", rivals " << rivals << " wanted "
           << wantedRivals << ", same move " << SameBytes(record, wanted) << ", same position "
           << played.SamePosition(reached);
      Fail(board, what.str());
      return false;
    }
    if (after) *after = played;
    return true;
  }

  // A random text on a copy of the board.
  bool CheckResolveAndPlay(const doska& board) { return CheckResolveAndPlay(board, RandomText(board)); }

  // Plays a legal move from its text as the reader does: a pawn's capture names its file, a
  // piece's text names as much of its origin as it needs (found by asking the reference board).
  bool PlayByText(doska& board, const mov& m) {
    const bool pawn = PieceType(m.piece) == 1;
    const int promotion = pawn && (m.torank == 1 || m.torank == 8) ? m.extra : 0;
    Text text{m.piece, promotion, pawn && m.fromfile != m.tofile ? m.fromfile : 0, 0, m.tofile, m.torank};
    const bool castling = (m.piece == WhiteKing || m.piece == BlackKing) && std::abs(m.fromfile - m.tofile) == 2;
    if (castling) text = {m.piece, 0, m.fromfile, m.fromrank, m.tofile, m.torank};
    int p = text[1], ff = text[2], fr = text[3], tf = text[4], tr = text[5];
    if (ResolveFields(ReferenceBoard(board), text[0], p, ff, fr, tf, tr) == ResolveAmbiguous) {
      text[2] = m.fromfile;
      text[3] = m.fromrank;
    }
    return CheckResolveAndPlay(board, text, &board);
  }

  std::string failure;
  bool failed = false;
  std::mt19937_64 rng;

  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
  bool Chance(int percent) { return Uniform(1, 100) <= percent; }

 private:
  void Fail(const doska& board, const std::string& what) {
    failed = true;
    failure = what + "\n" + Show(board);
  }

  // A coordinate, now and then off the board.
  int Coordinate() { return Chance(3) ? (Chance(50) ? 0 : 9) : Uniform(1, 8); }

  // An origin square, usually one holding a piece.
  void Origin(const doska& board, int& file, int& rank) {
    for (int tries = 0; tries < 8; ++tries) {
      file = Coordinate();
      rank = Coordinate();
      if (board.at(file, rank) != Empty || Chance(10)) return;
    }
  }

  void CheckCanmoveAndLegal(const doska& board, const ReferenceBoard& reference) {
    int ff, fr, tf, tr;
    Origin(board, ff, fr);
    if (Chance(60) && board.Destinations({ff, fr})) {
      Bitboard targets = board.Destinations({ff, fr});
      int skip = Uniform(0, std::popcount(targets) - 1);
      while (skip--) targets &= targets - 1;
      tf = FileOf(LowestSquare(targets));
      tr = RankOf(LowestSquare(targets));
    } else {
      tf = Coordinate();
      tr = Coordinate();
    }
    std::ostringstream where;
    where << "(" << ff << "," << fr << ")->(" << tf << "," << tr << ")";
    ++counts[OpCanmove];
    if (board.canmove({ff, fr}, {tf, tr}) != reference.canmove({ff, fr}, {tf, tr}))
      return Fail(board, "canmove " + where.str());
    ++counts[OpLegal];
    if (board.legal({ff, fr}, {tf, tr}) != reference.legal({ff, fr}, {tf, tr}))
      return Fail(board, "legal " + where.str());
  }

  void CheckAttacked(const doska& board, const ReferenceBoard& reference) {
    const int file = Coordinate(), rank = Coordinate();
    const bool byblack = Chance(50);
    ++counts[OpAttacked];
    if (board.attacked({file, rank}, SideOf(byblack)) != reference.attacked({file, rank}, byblack))
      Fail(board,
           "attacked (" + std::to_string(file) + "," + std::to_string(rank) + ") byblack " + std::to_string(byblack));
  }

  void CheckGamestate(const doska& board, const ReferenceBoard& reference) {
    for (bool white : {true, false}) {
      ++counts[OpGamestate];
      const int fast = board.gamestate(SideOf(!white)), plain = reference.gamestate(white);
      if (fast != plain)
        return Fail(board, "gamestate white=" + std::to_string(white) + ": " + std::to_string(fast) + " vs " +
                               std::to_string(plain));
    }
  }

  // A move text: often one that a legal move fits, with some of its origin hints, and sometimes pure noise.
  Text RandomText(const doska& board) {
    int piece = Uniform(0, 12), promotion = 0, fromfile = 0, fromrank = 0, tofile = Uniform(1, 8),
        torank = Uniform(1, 8);
    int ff, fr;
    Origin(board, ff, fr);
    const Bitboard targets = board.Destinations({ff, fr});
    if (Chance(80) && targets) {
      const int to = LowestSquare(targets);
      piece = board.at(ff, fr);
      tofile = FileOf(to);
      torank = RankOf(to);
      if (Chance(30)) fromfile = ff;
      if (Chance(15)) fromrank = fr;
      const bool pawn = PieceType(piece) == 1;
      if (pawn && tofile != ff && Chance(50)) torank = 0;
      if (pawn && (torank == 8 || torank == 1 || torank == 0) && Chance(85))
        promotion = MakePiece(Uniform(2, 5), IsBlack(piece));
    } else {
      if (Chance(30)) fromfile = Coordinate();
      if (Chance(20)) fromrank = Coordinate();
      if (Chance(10)) torank = 0;
      if (Chance(20)) tofile = Coordinate();
      if (Chance(20)) promotion = Uniform(0, 12);
    }
    return {piece, promotion, fromfile, fromrank, tofile, torank};
  }

  void CheckResolve(const doska& board, const ReferenceBoard& reference) {
    const auto [piece, promotion, fromfile, fromrank, tofile, torank] = RandomText(board);
    int p1 = promotion, ff1 = fromfile, fr1 = fromrank, tf1 = tofile, tr1 = torank;
    int p2 = promotion, ff2 = fromfile, fr2 = fromrank, tf2 = tofile, tr2 = torank;
    ++counts[OpResolve];
    const int fast = ResolveFields(board, piece, p1, ff1, fr1, tf1, tr1);
    const int plain = ResolveFields(reference, piece, p2, ff2, fr2, tf2, tr2);
    if (fast != plain || p1 != p2 || ff1 != ff2 || fr1 != fr2 || tf1 != tf2 || tr1 != tr2) {
      std::ostringstream what;
      what << "resolve piece " << piece << " promotion " << promotion << " from (" << fromfile << "," << fromrank
           << ") to (" << tofile << "," << torank << "): fast " << fast << " p" << p1 << " (" << ff1 << "," << fr1
           << ")->(" << tf1 << "," << tr1 << "), plain " << plain << " p" << p2 << " (" << ff2 << "," << fr2 << ")->("
           << tf2 << "," << tr2 << ")";
      Fail(board, what.str());
    }
  }

  void CheckCastlerightAndPoskey(const doska& board, const ReferenceBoard& reference) {
    for (bool black : {false, true}) {
      for (bool longside : {false, true}) {
        ++counts[OpCastleright];
        if (board.castleright(SideOf(black), longside) != reference.castleright(black, longside))
          return Fail(board, "castleright");
      }
      ++counts[OpPoskey];
      if (board.poskey(SideOf(black)) != reference.poskey(black)) return Fail(board, "poskey");
    }
  }

  // describe, apply and takeback of a move canmove accepts (or, now and then, of any pair).
  void CheckMove(const doska& board, const ReferenceBoard& reference) {
    int ff, fr, tf, tr;
    Origin(board, ff, fr);
    if (!OnBoard(ff, fr)) return;
    Bitboard targets = board.Destinations({ff, fr});
    if (targets && Chance(90)) {
      int skip = Uniform(0, std::popcount(targets) - 1);
      while (skip--) targets &= targets - 1;
      tf = FileOf(LowestSquare(targets));
      tr = RankOf(LowestSquare(targets));
    } else {
      tf = Uniform(1, 8);
      tr = Uniform(1, 8);
    }
    const int promotion = Chance(20) ? Uniform(0, 12) : 0;
    mov fast, plain;
    board.describe(fast, {ff, fr}, {tf, tr}, promotion);
    reference.describe(plain, {ff, fr}, {tf, tr}, promotion);
    ++counts[OpDescribe];
    if (!SameBytes(fast, plain)) return Fail(board, "describe");
    doska played = board;
    ReferenceBoard played2 = reference;
    played.apply(fast);
    played2.apply(plain);
    ++counts[OpApply];
    if (!played.IsConsistent() || !played2.Matches(played)) return Fail(board, "apply");
    played.takeback(fast);
    played2.takeback(plain);
    ++counts[OpTakeback];
    if (!played.IsConsistent() || !played2.Matches(played)) return Fail(board, "takeback");
  }
};

// A random legal move for the side, or false when it has none.
bool RandomLegalMove(const doska& board, bool black, std::mt19937_64& rng, mov& m) {
  std::vector<std::array<int, 4>> moves;
  for (int ff = 1; ff <= 8; ++ff)
    for (int fr = 1; fr <= 8; ++fr) {
      const uint8_t code = board.at(ff, fr);
      if (code == Empty || IsBlack(code) != black) continue;
      Bitboard targets = board.Destinations({ff, fr});
      while (targets) {
        const int to = PopLowest(targets);
        if (board.legal({ff, fr}, {FileOf(to), RankOf(to)})) moves.push_back({ff, fr, FileOf(to), RankOf(to)});
      }
    }
  if (moves.empty()) return false;
  const auto& pick = moves[std::uniform_int_distribution<size_t>(0, moves.size() - 1)(rng)];
  const uint8_t code = board.at(pick[0], pick[1]);
  int promotion = 0;
  if (PieceType(code) == 1 && (pick[3] == 8 || pick[3] == 1))
    promotion = MakePiece(std::uniform_int_distribution<int>(2, 5)(rng), black);
  board.describe(m, {pick[0], pick[1]}, {pick[2], pick[3]}, promotion);
  return true;
}

// A board with pieces scattered at random: missing and doubled kings, pawns on the first and
// last ranks, castling flags without rooks, en-passant files without pawns.
doska RandomPlacement(Differential& d) {
  doska board;
  board.clear();
  const int density = d.Uniform(5, 45);
  for (int file = 1; file <= 8; ++file)
    for (int rank = 1; rank <= 8; ++rank)
      if (d.Chance(density)) board.put(file, rank, uint8_t(d.Uniform(1, 12)));
  if (d.Chance(70)) board.put(d.Uniform(1, 8), d.Uniform(1, 8), WhiteKing);
  if (d.Chance(70)) board.put(d.Uniform(1, 8), d.Uniform(1, 8), BlackKing);
  if (d.Chance(40)) board.put(5, 1, WhiteKing);
  if (d.Chance(40)) board.put(5, 8, BlackKing);
  board.wqueenlost = d.Chance(40);
  board.wkinglost = d.Chance(40);
  board.bqueenlost = d.Chance(40);
  board.bkinglost = d.Chance(40);
  board.wkingmoved = d.Chance(30);
  board.bkingmoved = d.Chance(30);
  board.epforblack = uint8_t(d.Chance(30) ? d.Uniform(1, 8) : 0);
  board.epforwhite = uint8_t(d.Chance(30) ? d.Uniform(1, 8) : 0);
  return board;
}

// A position from play, bent a little out of shape.
void Perturb(doska& board, Differential& d) {
  const int changes = d.Uniform(1, 3);
  for (int i = 0; i < changes; ++i) {
    switch (d.Uniform(0, 5)) {
      case 0:  // a king goes missing
        for (int file = 1; file <= 8; ++file)
          for (int rank = 1; rank <= 8; ++rank)
            if (board.at(file, rank) == (d.Chance(50) ? WhiteKing : BlackKing)) board.put(file, rank, Empty);
        break;
      case 1:  // a second king
        board.put(d.Uniform(1, 8), d.Uniform(1, 8), d.Chance(50) ? WhiteKing : BlackKing);
        break;
      case 2:  // a pawn on the first or last rank
        board.put(d.Uniform(1, 8), d.Chance(50) ? 1 : 8, d.Chance(50) ? WhitePawn : BlackPawn);
        break;
      case 3:  // an en-passant file whether or not a pawn just moved
        board.epforwhite = uint8_t(d.Uniform(0, 8));
        board.epforblack = uint8_t(d.Uniform(0, 8));
        break;
      case 4:  // castling allowed again, rooks or not
        board.wqueenlost = board.wkinglost = board.bqueenlost = board.bkinglost = 0;
        board.wkingmoved = board.bkingmoved = 0;
        break;
      default:  // a rook vanishes from its corner
        board.put(d.Chance(50) ? 1 : 8, d.Chance(50) ? 1 : 8, Empty);
        break;
    }
  }
}

TEST(Differential, FastBoardAnswersAsTheReferenceOnRandomQueries) {
  Differential d(20261207);
  long games = 0, positions = 0;
  while (!d.Done()) {
    const int kind = int(games++ % 4);
    if (kind == 3) {
      for (int i = 0; i < 50 && !d.failed; ++i, ++positions) {
        const doska board = RandomPlacement(d);
        if (d.CheckResolveAndPlay(board)) d.Check(board);
      }
    } else {
      doska board;
      bool black = false;
      const int plies = d.Uniform(10, 160);
      for (int ply = 0; ply < plies && !d.failed; ++ply) {
        if (kind == 2 && d.Chance(5)) Perturb(board, d);
        for (int i = 0; i < 2 && !d.failed; ++i) d.CheckResolveAndPlay(board);
        d.Check(board);
        ++positions;
        mov m;
        if (!RandomLegalMove(board, black, d.rng, m)) break;
        // Half the games go on as the reader plays its moves.
        if (!(kind == 1 ? d.PlayByText(board, m) : d.PlayLegal(board, m, black))) break;
        black = !black;
      }
    }
    ASSERT_FALSE(d.failed) << d.failure;
  }
  for (int op = 0; op < OpCount; ++op) EXPECT_GE(d.counts[op], Differential::Wanted(op)) << OperationNames[op];
  RecordProperty("positions", std::to_string(positions));
}

}  // namespace
