// One line of play: moves with a cursor, their comments and NAGs, and the variations that
// hang from each move. A game is the record of its main line; all records of one tree play on
// one shared board, which always shows the position at the cursor of the line being worked on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chess/doska.h"
#include "chess/mov.h"
#include "chess/move_list.h"
#include "chess/san_text.h"

class Host;

// Errors of fromfen.
enum FenError : int {
  FenOk = 0,
  FenTooShort = 10,          // the text ends too early
  FenRankTooLong = 11,       // too many squares in a rank
  FenBadPiece = 12,          // invalid placement character
  FenMissingSlash = 13,      // "/" missing between ranks
  FenMissingSpace = 14,      // space missing between fields
  FenBadSide = 15,           // side to move not "w" or "b"; "-" after castling letters
  FenBadCastling = 16,       // invalid castling character
  FenBadEnPassantFile = 17,  // invalid en-passant file
  FenBadEnPassantRank = 18,  // en-passant rank not "3" or "6"
  // Placements no game can reach, refused so that no move is read from them:
  FenKingCount = 19,           // a side without a king, or with more than one
  FenPawnOnEdgeRank = 20,      // a pawn on the first or the last rank
  FenTooManyPieces = 21,       // a side with more than eight pawns or sixteen pieces
  FenWaitingSideInCheck = 22,  // the side not to move is in check (its king could be taken)
  FenNoPawnForEnPassant = 23,  // an en-passant square behind no pawn that just moved two squares
};

// The rule a FenError names, in a few words ("a side without a king or with two").
const char* DescribeFenError(int error);

// The form a record keeps a comment in (setcomment): a ";" comment that is one line, its line end
// included, as it is; any other text between one pair of braces, the braces inside it taken
// out. Written at `out`, which has room for text.size() + 2 bytes; returns where it ends. Most
// comments are read as one "{...}" with no brace inside: copied whole after one scan.
char* PutStoredComment(char* out, std::string_view text);

class jurnal {
 public:
  std::unique_ptr<doska> ownboard;  // start position read from a FEN; null otherwise
  bool blackfirst = false;          // black moves first in this line
  jurnal* parent = nullptr;         // the line this record is a variation of
  MoveList moves;
  int32_t current = 0;      // moves now applied to the board; moves[current] is the next one
  doska* board = nullptr;   // the board the line is played on; not owned
  int32_t halfmoves = 0;    // half-move clock of a FEN
  int32_t movesbefore = 0;  // full moves completed before the line's first move
  uint8_t startep = 0;      // en-passant file at the line's start, for the side to move there
  std::string result = "*";
  std::string startcomment;  // comment before the first move, braces included
  std::string hostcomment;   // the host's second comment of the line

  jurnal(doska* board, jurnal* parent);
  // A record with its own start board read from a FEN. `position` is a 1-based index into the
  // text, advanced over what is read; `error` receives 0 or a FenError. On an error the
  // record has no usable board. A Chess960 position takes X-FEN or Shredder-FEN castling rights.
  static std::unique_ptr<jurnal> fromfen(std::string_view text, int& position, int& error, bool chess960 = false);
  virtual ~jurnal();
  jurnal(const jurnal&) = delete;
  jurnal& operator=(const jurnal&) = delete;

  // Appends a new variation to moves[current]; returns the number of variations there (the
  // 1-based index of the new one), or 0 when there is no move at the cursor.
  virtual int newvariation();
  // Records a move at the cursor: 0 when it is (or already was) the next move of this line,
  // k when it is (or already was) the first move of variation k, -1 when not pseudo-legal.
  // `resolved`: what the board's resolve of this move learnt, when the caller just did one (the
  // record is then taken from it, the move known legal).
  int32_t addmove(int fromfile, int fromrank, int tofile, int torank, int promotion, bool alwaysadd, uint8_t nag,
                  const ResolvedMove* resolved = nullptr);
  void forward();
  void back();
  void gotoply(int n);
  mov nextmove() const;
  mov lastmove() const;
  mov moveat(int i) const;
  int movecount() const { return int(moves.size()); }
  // The full-move number of the position at the cursor.
  int movenumber() const;
  // Sets the comment after the cursor's last move (before the first move at the line's start)
  // from the text met there, in the form PutStoredComment writes; "" takes it away.
  void setcomment(std::string_view text);
  void setnag(uint8_t n);
  // Writes the SAN text of moves[current], for the position on the board; `resolved` as for
  // addmove, saving the search for the move's rivals and the position after it.
  void makesan(const ResolvedMove* resolved = nullptr);
  // Writes the SAN text of moves[current] and plays it, learning the check, mate or stalemate
  // its text shows from the board after it; returns that GameStateCode. The same text as
  // makesan then forward, without playing the move twice. Without `stalemateWanted` a
  // stalemate is not looked for (StateNormal stands for it; the text never shows it).
  uint8_t forwardwithsan(bool stalemateWanted = true, const ResolvedMove* resolved = nullptr);
  // Appends a move that the board's ResolveAndPlay has just found and played to the end of the
  // line (the cursor must stand there, the board now after the move) and writes its SAN text:
  // the same record, text and position as addmove then forwardwithsan(false), without asking the
  // board again what its search found. `rivals` and `state` are what ResolveAndPlay gave.
  // Without `withText` the move keeps only the mark its SAN text is written again from (for a
  // game packed at once, which keeps no more). Returns that mark (SanMark). `written` is the
  // move's text as read, when it is a body alone (StoreSanText).
  uint8_t AppendPlayed(const mov& record, uint8_t nag, Bitboard rivals, uint8_t state, bool withText = true,
                       const WrittenBody& written = {});
  void setboard(doska* newBoard);
  // Fills the record from the host's current line, variations included, and leaves the host
  // showing move 0 of that line. `current`, `blackfirst` and `board` are the caller's to set.
  void fromhost(Host& host);
  // The ECO code of the main line: the code of the last of its positions found in the ECO table
  // (the start and every position but the final one), or "". Replays the main line on `board`,
  // which must stand at the start; the cursor ends at the end of the line.
  std::string ecocode();
  // Gives up the line's moves, their variations destroyed; the record is left without moves
  // (a reader reuses the array's memory for the next game).
  MoveList TakeMoves();
  // The same for a record known to hold no variation (one read without any): without the walk
  // over its moves that looks for them.
  MoveList TakeMovesWithoutVariations();
  // Keys for duplicate detection: the start position, and the main line's moves in any order
  // (the moves key is the XOR of MovesKeyPart over them).
  void gamekeys(uint64_t& startkey, uint64_t& moveskey) const;
  // The first of those keys alone.
  uint64_t startkey() const;

 private:
  // Whether black is to move at the cursor.
  bool BlackToMove() const;
  // The en-passant file open to the side to move before moves[index].
  uint8_t EnPassantBefore(int index, bool blackToMove) const;
  void DestroyVariations();

  // The move number at one cursor position, from which movenumber walks.
  struct NumberCache {
    int ply = -1;
    int number = 1;
    int32_t movesbefore = 0;
    bool blackfirst = false;
  };
  mutable NumberCache numberCache;
};

// The mark of the SAN text of a move a board has just played (SanMark): the part of its origin
// the rivals, other pieces of its code that could go to its square, call for, and the opponent's
// state after it.
uint8_t PlayedMoveMark(const mov& m, Bitboard rivals, uint8_t state);

// One move's share of the moves key gamekeys gives: the shares of a line's moves XOR together,
// so that a reader may add them up move by move.
uint64_t MovesKeyPart(const mov& m);
