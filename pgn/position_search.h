// Games by what happens on their board: positions (exact, or patterns) a line reaches, the moves
// the main line begins with, material balances, how the game ends and what it holds on the way
// (a threefold repetition, fifty moves without a capture or pawn move, an underpromotion, an
// en-passant capture). The reader asks as it replays each game: an exact position costs a
// comparison of keys and a pattern a few tests of bitboards, never a second replay.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chess/doska.h"
#include "chess/mov.h"
#include "pgn/material_balance.h"
#include "pgn/position_pattern.h"

// How a game's final position stands, for --ends-in.
enum class GameEnd : uint8_t { Any, Checkmate, Stalemate, InsufficientMaterial };

// What a game must hold on the way, for --has: bits, all of them asked must hold.
enum GameEvent : uint8_t {
  HasRepetition = 1,      // a position stands for the third time
  HasFiftyMoves = 2,      // fifty moves by each side with no capture and no pawn move
  HasUnderpromotion = 4,  // a pawn becomes a rook, bishop or knight
  HasEnPassant = 8,       // a pawn takes en passant
};

// The kinds of criterion a PositionSearch may ask, as bits: what it asks, and what a game held.
enum BoardCriterion : uint8_t {
  PositionCriterion = 1,  // a position or pattern reached
  LineCriterion = 2,      // the main line's first moves
  MaterialCriterion = 4,  // a material balance
  EndCriterion = 8,       // how the game ends
  EventsCriterion = 16,   // what it holds on the way
};
constexpr uint8_t AllBoardCriteria = 31;

// A position a game is looked for in: its placement and side to move and, where the text gave
// them, its castling rights and en-passant file.
struct PositionTarget {
  uint64_t placement = 0;  // the board's placement key
  Side toMove = Side::White;
  bool castlingGiven = false;
  uint8_t castling = 0;  // bits: 1 White short, 2 White long, 4 Black short, 8 Black long
  bool enPassantGiven = false;
  uint8_t enPassantFile = 0;  // the file a pawn of the side to move may take on; 0 for none
  // What a later position must still have for this one to be reached: pieces are never added
  // (a promotion trades a pawn for a piece), a pawn on its first square has never moved, and
  // castling rights once lost stay lost.
  uint8_t whitePieces = 0, blackPieces = 0, whitePawns = 0, blackPawns = 0;
  Bitboard unmovedPawns = 0;  // White's pawns on rank 2 and Black's on rank 7
};

// Whether the final position is one no sequence of legal moves can mate from by either side:
// kings alone, a king and one minor piece against a king, or kings and bishops all on squares
// of one colour.
bool InsufficientMaterial(const doska& board);

class PositionSearch {
 public:
  // A position as a FEN: placement and side to move always count; castling rights and the
  // en-passant square when the FEN gives them other than "-". With `eitherColour` the position
  // with the colours swapped and the board mirrored is looked for too. False with the reason.
  bool AddFen(std::string_view fen, bool eitherColour, std::string& error);
  // A position reached by moves from the start, by any move order: placement, side to move
  // and castling rights.
  void AddReached(const doska& board, Side toMove, bool eitherColour);
  void AddPattern(const BoardPattern& pattern, bool eitherColour);
  // The moves a main line must begin with, as the placement after each of them.
  void AddLine(std::vector<uint64_t> placements) {
    longestLine = std::max(longestLine, placements.size());
    lines.push_back(std::move(placements));
  }
  void AddMaterial(const MaterialBalance& balance, bool eitherColour);

  GameEnd endsIn = GameEnd::Any;
  uint8_t events = 0;          // GameEvent bits
  bool inVariations = false;   // positions and patterns count in every line, not only the main one
  int materialPlies = 1;       // positions in a row a balance must hold for
  bool materialAtEnd = false;  // a balance counts only in the final position

  bool Active() const { return Asked() != 0; }
  // The BoardCriterion bits of what is looked for.
  uint8_t Asked() const {
    return uint8_t((LooksForPositions() ? PositionCriterion : 0) | (lines.empty() ? 0 : LineCriterion) |
                   (balances.empty() ? 0 : MaterialCriterion) | (endsIn != GameEnd::Any ? EndCriterion : 0) |
                   (events ? EventsCriterion : 0));
  }
  bool LooksForPositions() const { return !targets.empty() || !patterns.empty(); }
  bool LooksForMaterial() const { return !balances.empty(); }
  // Whether the board, `toMove` to move, is one of the positions or patterns looked for.
  bool Holds(const doska& board, Side toMove) const;
  bool MaterialHolds(const doska& board) const;
  // False when no position looked for can follow from the board any more (see PositionTarget).
  bool MayStillReach(const doska& board) const;
  // Whether the search asks for nothing but exact positions in the main line: a game none of
  // them can be reached in any more cannot match, whatever follows.
  bool LooksForExactPositionsOnly() const { return Asked() == PositionCriterion && patterns.empty() && !inVariations; }
  // Whether a final position ends the game as looked for.
  bool EndHolds(const doska& board, Side toMove) const;
  const std::vector<PositionTarget>& Targets() const { return targets; }
  const std::vector<std::vector<uint64_t>>& Lines() const { return lines; }
  size_t LongestLine() const { return longestLine; }

 private:
  void Add(const doska& board, Side toMove, bool castlingGiven, bool enPassantGiven, bool eitherColour);
  std::vector<PositionTarget> targets;
  std::vector<BoardPattern> patterns;
  std::vector<std::vector<uint64_t>> lines;
  size_t longestLine = 0;
  std::vector<MaterialBalance> balances;
};

// What the reader finds while it reads one game, for a PositionSearch: it tells each position
// of the main line (before each move and at the end), each move of the main line as played and,
// with inVariations, each position of the other lines.
class PositionsSeen {
 public:
  // `watchesReach`: whether OutOfReach is wanted (it costs a little at each irreversible move).
  void Start(const PositionSearch& search, int halfMoveClock, bool watchesReach = false);
  void MainLinePosition(const PositionSearch& search, const doska& board, Side toMove);
  void MainLineMove(const PositionSearch& search, const mov& played);
  void VariationPosition(const PositionSearch& search, const doska& board, Side toMove) {
    if (!found && search.inVariations) found = search.Holds(board, toMove);
  }
  // The main line's final position, after MainLinePosition was told it.
  void End(const PositionSearch& search, const doska& board, Side toMove);
  // The BoardCriterion bits of what the search asks that the game held.
  uint8_t Held(const PositionSearch& search) const;
  bool Matches(const PositionSearch& search) const { return Held(search) == search.Asked(); }
  // Whether the game cannot match any more, whatever its moves from here (exact positions only).
  bool OutOfReach() const { return outOfReach; }

 private:
  bool found = false;       // a position looked for was reached
  bool outOfReach = false;  // no position looked for can be reached any more
  bool watchesReach = false;
  bool reachStale = true;  // a move since the last look may have put a position out of reach
  bool ended = false;      // the final position ends the game as looked for
  bool material = false;   // a balance held as long as asked
  int materialRun = 0;     // positions in a row the balance holds in, up to the last
  // Whether the balance held in the last position looked at, and whether a capture or a
  // promotion since may have changed that: the material changes a few times a game.
  bool materialHeld = false;
  bool materialStale = true;
  uint8_t events = 0;                       // GameEvent bits seen
  int clock = 0;                            // half-moves since the last capture or pawn move
  int ply = 0;                              // positions of the main line told so far
  std::vector<uint64_t> placements;         // after each of the first moves, as far as the longest line
  std::vector<uint64_t> sinceIrreversible;  // position keys since the last capture or pawn move
};
