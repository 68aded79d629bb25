// The chess position: 64 squares, castling state and en-passant state, with every rules
// question the library asks while it replays games.
#pragma once

#include <cstdint>

#include "chess/bitboard.h"
#include "chess/mov.h"
#include "chess/piece.h"

// Results of gamestate, and of resolve for the position after the move it found.
enum GameStateCode : uint8_t {
  StateNormal = 0,
  StateCheck = 1,
  StateCheckmate = 2,
  StateStalemate = 3,
  StateNoKing = 255,
};

// Further results of resolve.
enum ResolveCode : uint8_t {
  ResolveNoMove = 5,       // no legal move matches the text
  ResolveAmbiguous = 6,    // more than one legal move matches
  ResolveNoPiece = 7,      // the text gives no piece
  ResolveNoPromotion = 8,  // a pawn reaches the last rank without a promotion piece
};

// A move as its text gives it, for the board's search: the piece's code in the colour to move,
// the promotion's code (0 for none), the origin with its unknown parts 0, the destination (its
// rank 0 for a pawn capture written with files only, "exd").
struct MoveText {
  int piece = 0;
  int promotion = 0;
  Square from;
  Square to;
};

// What resolve learnt of the move it found, handed back to its caller for the calls that
// follow on the same board: the move's record, the opponent's state after it, the legal origins
// of its piece for its destination. It holds only while the board stays as resolve saw it; the
// board's questions that take one check that first, and answer without it otherwise.
struct ResolvedMove {
  bool found = false;
  uint32_t stamp = 0;       // the board's count of square changes then
  uint64_t stateBytes = 0;  // the board's castling and en-passant bytes then
  uint64_t move = 0;        // the first eight bytes of the move's record
  bool stateKnown = false;
  uint8_t state = 0;  // the opponent's game state after it
  bool originsKnown = false;
  Bitboard origins = 0;  // every legal origin of its piece code for its destination
};

// Squares are (file, rank), each 1..8. The side to move is not part of the board: every
// operation that needs it takes it as an argument.
//
// Besides the 8 x 8 squares the board keeps one bitboard per piece code and per colour,
// always in step with the squares; they make the attack and legality questions fast.
class doska {
 public:
  // The castling and en-passant state: with the squares, the whole position.
  uint8_t wqueenlost = 0;  // white may no longer castle long
  uint8_t wkinglost = 0;   // white may no longer castle short
  uint8_t bqueenlost = 0;
  uint8_t bkinglost = 0;
  uint8_t wkingmoved = 0;  // white may not castle at all
  uint8_t bkingmoved = 0;
  uint8_t epforblack = 0;  // file of a white pawn that just advanced two squares, 0 for none
  uint8_t epforwhite = 0;  // file of a black pawn that just advanced two squares, 0 for none
  // Chess960 rules: a side castles from wherever its king stands on its home rank, with the
  // rook of a file given by the start position; a castling move goes from the king's square to
  // that rook's square (mov::extra CastlingExtra). Standard boards leave this 0.
  uint8_t chess960 = 0;
  // The files of the castling rooks: [0] white long, [1] white short, [2] black long, [3] black
  // short. Always 1, 8, 1, 8 on a standard board, whose rooks castle from the corners.
  uint8_t castlingfiles[4] = {1, 8, 1, 8};

  doska();  // the initial position
  void reset();
  void assign(const doska& other);
  // An empty board with all state bytes 0, the start of a set-up position.
  void clear();

  // The piece code on a square; 0 for squares off the board.
  uint8_t at(int file, int rank) const { return OnBoard(file, rank) ? cells[SquareIndex(file, rank)] : uint8_t(Empty); }
  // Puts a piece code (0..12) on a square; squares off the board are ignored.
  void put(int file, int rank, uint8_t code);

  // Whether the piece on the origin may go to the destination by its way of moving
  // (own king safety is tested only for king steps and castling).
  bool canmove(Square from, Square to) const;
  // Whether a piece of the given side attacks the square (the piece on it never counts).
  bool attacked(Square square, Side by) const;
  // canmove, and the mover's king is not attacked after the move.
  bool legal(Square from, Square to) const;
  // For the side to move: normal, check, checkmate, stalemate, or no king.
  uint8_t gamestate(Side toMove) const;
  // gamestate without the search for a legal move when the side is not in check: normal
  // then stands for "normal or stalemate". Replaying a game needs the check and mate of every
  // position but can leave stalemate until a move or a result after it asks.
  uint8_t CheckState(Side toMove) const;
  // Finds the one legal move a move text means. Fills in the origin (and a pawn capture's
  // destination rank when the text gave files only) and replaces the promotion by the move's
  // `extra`. Returns the opponent's GameStateCode after the move, or a ResolveCode. Without
  // `findState` the state is not worked out (StateNormal stands for it): for a caller that
  // plays the move at once and asks the board itself. `found`, when given, receives what the
  // search learnt, for the calls that follow on this board (DescribeResolved, KnownOrigins,
  // KnownStateAfter).
  uint8_t resolve(MoveText& text, bool findState = true, ResolvedMove* found = nullptr) const;
  // resolve and PlayLegal in one pass over the board, for a reader replaying a game: finds the
  // one legal move the text's fields mean, fills `record` (its first eight bytes), `rivals` (for
  // a piece other than a pawn, the other squares from which a piece of its code may legally make
  // the move: what its SAN text must tell apart) and `state` (CheckState of the opponent, who
  // moves next), and plays it. Returns StateNormal, or a ResolveCode with the board untouched.
  uint8_t ResolveAndPlay(const MoveText& text, mov& record, Bitboard& rivals, uint8_t& state);
  // True when the side's king has not moved and the rook of that side has not been lost.
  bool castleright(Side side, bool longside) const;
  // The Polyglot position key, with `toMove` to move.
  uint64_t poskey(Side toMove) const;

  // Fills the first eight bytes of a move record for a move on this board.
  void describe(mov& m, Square from, Square to, int promotion) const;
  // Plays a described move.
  void apply(const mov& m);
  // Plays a move that the last search on this board found legal (resolve), and
  // returns CheckState for the opponent, who moves next. When the opponent's king is known to
  // have been out of check before the move (the move before it was played so too), only the
  // moved piece and the line it opened can give check, and only they are looked at.
  uint8_t PlayLegal(const mov& m);
  // Undoes a played move; the en-passant files are the game record's to restore.
  void takeback(const mov& m);

  // The squares holding `code` from which `legal` allows the destination, leaving out the
  // squares of `skip` (such as the origin of the move whose rivals are wanted).
  Bitboard LegalOrigins(uint8_t code, Square to, Bitboard skip = 0) const;
  // The opponent's game state after a move, when `resolved` (null: nothing known) is what a
  // resolve on this board, unchanged since, learnt of exactly that move (so a caller need not
  // play it again to learn it).
  bool KnownStateAfter(const ResolvedMove* resolved, const mov& m, uint8_t& state) const;
  // Every square from which a piece of the move's code could legally have made it, when
  // `resolved` is what a resolve on this unchanged board learnt of exactly this move from a
  // text without origin hints (and so tried them all).
  bool KnownOrigins(const ResolvedMove* resolved, const mov& m, Bitboard& origins) const;
  // Fills a move record without recomputing it when `resolved` is what a resolve on this
  // unchanged board learnt of exactly this move (and so proved it legal); false otherwise,
  // leaving `m` untouched.
  bool DescribeResolved(const ResolvedMove* resolved, mov& m, Square from, Square to, int promotion) const;

  // Squares and state bytes equal.
  bool SamePosition(const doska& other) const;
  // The squares holding a piece code.
  Bitboard Pieces(uint8_t code) const { return byCode[code]; }
  // The squares of one side's pieces.
  Bitboard PiecesOf(Side side) const { return byColor[int(side)]; }
  // The pieces' part of the position key: equal for equal placements, whoever is to move.
  uint64_t PlacementKey() const { return pieceKey; }
  // Every destination canmove accepts for the piece on a square, as a set.
  Bitboard Destinations(Square from) const { return OnBoard(from) ? Targets(SquareIndex(from)) : 0; }
  // Debug check that the bitboards agree with the squares.
  bool IsConsistent() const;

 private:
  struct EmptyBoard {};
  explicit doska(EmptyBoard);
  // Every destination the piece on `from` may go to, exactly as canmove answers.
  Bitboard Targets(int from) const;
  Bitboard KingTargets(int from, uint8_t code) const;
  // The search of resolve and ResolveAndPlay: the text's fields are completed as resolve
  // completes them, `record` filled, and `legalOrigins` given every legal origin tried.
  uint8_t ResolveInto(MoveText& text, mov& record, Bitboard& legalOrigins) const;
  // describe, for two squares on the board given by bit index.
  void DescribeOnBoard(mov& m, int from, int to, int promotion) const;
  // The first eight bytes DescribeOnBoard gives a usual move (no promotion, en passant or
  // castling) of `piece`, worked out at once and stored in one go.
  uint64_t UsualMoveBytes(uint8_t piece, int from, int to) const;
  // The MoveFlag bits of a move that is not a Chess960 castling.
  uint8_t MoveFlags(uint8_t piece, int fromfile, int fromrank, int tofile, int torank) const;
  bool CanCastle(bool black, bool longside) const;
  // Chess960: whether the king on `king` may castle with its own rook on `rook`.
  bool CanCastle960(int king, int rook) const;
  // Chess960: whether a king move from `from` onto `to` is a castling, its own rook standing there.
  bool IsCastling960(int from, int to) const;
  // attacked, for a bit index.
  bool AttackedBy(int target, bool byblack) const;
  // The squares of the pieces of one side that attack `target`, by the rules AttackedBy follows.
  Bitboard AttackersOf(int target, bool byblack) const;
  // Whether the mover's king is safe after the (pseudo-legal) move, without touching the board.
  bool KingSafeAfter(int from, int to) const;
  // KingSafeAfter for a step of the side's one king onto a square without a piece of its own.
  bool KingStepSafe(int from, int to, bool black) const;
  bool HasLegalMove(bool black, bool inCheck) const;
  // What the legality test of a move needs to know of the mover's king, found once per move.
  struct KingSafety {
    int king = -1;  // its square; -1 when the side has no king or several (no shortcut then)
    bool inCheck = false;
  };
  KingSafety SafetyOf(bool black) const;
  // `legal`, for an origin taken from Reachers of its piece for the destination.
  bool LegalFromReacher(int from, int to, const KingSafety& safety) const;
  // The same for every case: kings, en passant, a king in check or more than one king.
  bool LegalFromReacherSlowly(int from, int to, const KingSafety& safety) const;
  // For a pawn of `side` going from `from` to `to`: 1 for a step ahead onto empty squares (two
  // from its first rank) or a capture of an enemy piece, 0 for a step that is blocked, -1 for
  // anything else (en passant, or no pawn move). The king's safety is not looked at.
  int PawnPush(int side, int from, int to) const;
  // Whether the king of `side` on `king`, out of check, stays so when the piece on `from` (not
  // the king) goes to `to`.
  bool KeepsKingCovered(int king, int from, int to, int side) const;
  void RememberCheck(bool black, Bitboard kings, bool check) const;
  void Place(int index, uint8_t code);
  // Plays the usual move (a piece from its square to another, no promotion, en passant or
  // castling); false, leaving the board as it was, for any other.
  bool PlayUsual(const mov& m);
  // apply for the others.
  void ApplyOther(const mov& m);
  // Moves the piece standing on `from` to another square `to`, taking what stands there.
  void MovePiece(int from, int to, uint8_t piece);
  // Sets the castling state bytes a move's flags name to `value` (1 playing it, 0 taking it back).
  void SetCastlingState(uint8_t flags, uint8_t value);
  // A superset of the squares from which a piece of `code` may reach `to`.
  Bitboard Reachers(uint8_t code, int to) const;
  // Whether `resolved` still holds for this board and names the move with these board bytes.
  bool StillHolds(const ResolvedMove* resolved) const;
  uint64_t PackedState() const;

  uint8_t cells[64];                // the piece code of each square, by bit index (a1, b1, ..., h8)
  Bitboard byCode[PieceCodeCount];  // byCode[0] holds the empty squares
  Bitboard byColor[3];              // [0] white, [1] black, [2] empty squares (kept for speed)
  uint64_t pieceKey = 0;            // the pieces' part of the position key, kept up to date by Place
  // The castling rights' part of the position key, and the castling bytes it holds for (packed
  // as poskey packs them; a value no bytes give while nothing is known).
  mutable uint64_t castlingKeyFor = ~uint64_t(0);
  mutable uint64_t castlingKey = 0;
  // Counts square changes, so a remembered answer can tell whether the board has moved on.
  uint32_t stamp = 0;
  // Whether a side's king was in check, as the last gamestate or CheckState found, in one word
  // (the board's stamp then, a bit for a word set at all, the side, the answer) so that asking
  // costs one comparison; 0 for nothing known.
  static uint64_t CheckMemoWord(uint32_t at, bool black, bool inCheck) {
    return uint64_t(at) << 3 | 4 | uint64_t(black) << 1 | uint64_t(inCheck);
  }
  mutable uint64_t checkMemo = 0;
  // A side whose king PlayLegal left out of check (the side that just moved), in one word the
  // same way: the stamp, a bit for a word set, the side; 0 for none.
  static uint64_t SafeMemoWord(uint32_t at, bool black) { return uint64_t(at) << 2 | 2 | uint64_t(black); }
  uint64_t safeMemo = 0;
  // Whether the move of `mover` just played from `from` to `to` (by PlayLegal or ResolveAndPlay)
  // gives check to the king on `king`, given that this king was out of check before it.
  bool GivesCheck(uint8_t mover, int from, int to, int king) const;
  // PlayLegal's answer once the move is on the board: `usual` when it was a piece going from one
  // square to another (no castling, en passant or promotion), `opponentWasSafe` when the
  // opponent's king was known to be out of check before it, `moverKingAlone` when the mover is
  // known to have exactly one king.
  uint8_t StateAfterPlay(uint8_t piece, int from, int to, bool usual, bool opponentWasSafe, bool moverKingAlone);
  // ResolveAndPlay's search for the usual move: a text that names one piece able to reach the
  // destination, the mover's one king known to be in or out of check (`safety` then), no en
  // passant, castling or promotion. 1 when the move found is legal, 0 when it is not (no other
  // move matches then), -1 when the text is not of this kind; `from` is its origin.
  int UsualMoveLegality(int piece, int fromfile, int fromrank, int to, int& from, KingSafety& safety) const;
};
