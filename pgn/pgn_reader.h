// The scanner that turns PGN text into tag lists and game records: blanks and comments, tag
// pairs and sections, movetext with full legality checking, and resynchronisation.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "chess/doska.h"
#include "chess/eco.h"
#include "chess/jurnal.h"
#include "chess/packed_game.h"
#include "pgn/opening_positions.h"
#include "pgn/pgn_types.h"
#include "pgn/position_search.h"
#include "pgn/read_codes.h"

// The comments met since the last move, in their file form: a view of the text while there is
// one (the comment after most moves, copied only where it is kept), joined into a text of their
// own from the second on, a space between two where their words would run together.
class PendingComments {
 public:
  bool empty() const { return view.empty(); }
  void clear() { view = {}; }
  std::string_view View() const { return view; }
  // Whether the text is one comment in the form a record keeps it (a "{...}" with no brace
  // inside): kept as it stands, without a look for braces.
  bool StoredAsRead() const { return storedAsRead; }
  // A comment of the text being read (which outlives the pending comments); `keptAsRead` as
  // StoredAsRead says of it alone.
  void Add(std::string_view comment, bool keptAsRead);
  // A comment made apart from the text: copied.
  void AddCopy(std::string_view comment);

 private:
  std::string_view view;
  std::string joined;  // what `view` shows once two were met
  bool storedAsRead = false;
};

class PgnReader {
 public:
  // The text is scanned in place; it must outlive the reader.
  explicit PgnReader(std::string_view text);

  // 0-based offset of the next byte to read.
  size_t position = 0;
  // Comments met since the last recorded move, in their file form.
  PendingComments pending;
  // When cleared, comments are stepped over and kept nowhere: a reader for output that writes
  // none reads a comment at the speed of the scan for its end.
  bool keepsComments = true;
  // Where a comment opened that ran into the next game (an empty line, then a line opening with
  // "["): the comment ends there and `position` is left at that line; npos when none did.
  size_t openComment = std::string_view::npos;
  // Where the game being read (or the damage being stepped over) began.
  size_t gameStart = 0;
  // Where a tag line of the last tag section that could not be read began; npos when none.
  size_t droppedTagLine = std::string_view::npos;
  // The last tag section names the Chess960 variant ("Chess960", "fischerandom"...): its game is
  // played by Chess960's castling rules, its FEN read with X-FEN or Shredder-FEN castling rights.
  bool chess960 = false;

  bool AtEnd() const { return position >= text.size(); }
  char Peek() const { return text[position]; }

  // Steps over a UTF-8 byte-order mark at the very start of the text.
  void SkipByteOrderMark();
  // Steps over blanks, "%" escape lines and comments; appends the comments to `comments`
  // when it is given. A comment without its "}" before the next game stops there (openComment).
  void SkipBlanks(PendingComments* comments = nullptr);
  // Advances to the next "[" (or the end), stepping over comments and escape lines.
  void SkipToNextGame();
  // Past text damaged beyond one game, to the next line that surely begins one (or the end): a
  // "[Event " line, or a line opening with "[" after an empty line or after a line of text that
  // is no tag line (movetext, damage). Nothing on the way counts, braces included, so that an
  // unclosed comment cannot hide the games after it. `from` is where the damaged game or stray
  // text began: a line is judged by its text from there on, as a window of the text beginning
  // there judges it.
  void SkipToGameAfterDamage(size_t from);

  // Reads a tag section at a "[" into `tags` (normalised) and reports the FEN text found.
  int ReadTagSection(TGamesTagArray& tags, std::string& fen);
  // Reads the movetext into a game record, replaying every move on a working board. The record
  // is left with no board (its cursors at the start), ready for whoever plays it next.
  int ReadMovetext(jurnal& game);
  // Set by a caller that packs each game as soon as it is read, and gives the main line's array
  // back with TakeBackLine once the game is packed (its memory serves the next game): the main
  // line then grows in that array, not in one the game keeps at its exact size, and its moves
  // keep only the marks their SAN texts are written again from (what a packed game keeps), not
  // the texts.
  bool packsAtOnce = false;
  void TakeBackLine(MoveList&& line);
  // For such a caller: the main line of the game just read, packed as its moves were played,
  // when that is all the game holds (no variation, no NAG given apart; comments after its moves go with them);
  // null otherwise. For PackedGame's second constructor.
  const PlainLine* PlainMainLine() const { return plainLineKept ? &plainLine : nullptr; }
  // Whether the record of the movetext last read, begun empty, holds no variation.
  bool ReadNoVariation() const { return noVariationRead; }
  // Set, with packsAtOnce, by a caller that needs of a game whose main line stays plain only
  // that packed line, its summary and its proven result: the reader then keeps such a line's
  // moves only packed, and the record gets move records only when the line stops being plain.
  // Of a game so read, the record holds no moves (MainLineOnlyPacked): PackedGame's second
  // constructor takes them from the packed line, and the summary's length is its count.
  bool keepsPlainLineOnlyPacked = false;
  bool MainLineOnlyPacked() const { return recordsDeferred; }

  // When set (to a finder of the loaded table), the reader looks up each position of the main line before its
  // move, as it passes, and keeps the code of the last one the table holds: the game's ECO
  // code, without replaying the game afterwards.
  const EcoFinder* eco = nullptr;
  std::string_view MainLineEco() const {
    const std::string* code = mainLineEco;
    if (ecoKeyPending)
      if (const std::string* last = eco->Find(int64_t(pendingEcoKey))) code = last;
    return code ? std::string_view(*code) : std::string_view();
  }
  // When set, the reader looks up each position of the main line in these named positions as it
  // passes them (while a named one may still follow) and keeps the index of the last one named:
  // the game's opening name, without replaying the game afterwards.
  const OpeningPositions* openings = nullptr;
  // That index for the game just read, its final position included; -1 when none is named,
  // TGameSummary::OpeningNotLookedFor when the movetext did not end as it should.
  int32_t MainLineOpening() const { return mainLineOpening; }
  // When set, the reader tells the search's PositionsSeen each position and move of the game it
  // replays: PositionsFound holds what was found, for the game just read.
  const PositionSearch* positions = nullptr;
  const PositionsSeen& PositionsFound() const { return seen; }
  // Set when a game the search cannot select is not wanted: the reading of a game stops
  // (PositionsOutOfReach) as soon as none of the positions looked for can follow.
  bool stopsOutOfReach = false;
  // Set by a caller that summarises each game read: the reader then adds up the moves key of the
  // main line as its moves go in.
  bool addsUpMovesKey = false;
  // That key (as jurnal::gamekeys gives it); false when the reader cannot vouch for it (not asked
  // to add it up, the record held moves before, or a move went into the main line elsewhere than
  // at its end) and gamekeys must be asked.
  bool MainLineMovesKey(uint64_t& key) const {
    key = movesKey;
    return movesKeyKnown;
  }

  // The result the final position of a game just read decides ("1-0" or "0-1" after a mate,
  // "1/2-1/2" after a stalemate), or "" when it decides none. `tagResult` is the Result tag: the
  // test for stalemate, which costs a search, is made only when a decisive result is claimed.
  std::string_view ProvenResult(const jurnal& game, std::string_view tagResult) const;

 private:
  int ReadTagPair(TagView& tag);
  int ReadMovetextOnBoard(jurnal& game);
  int NormaliseTags(std::vector<TagView>& tags, std::string& fen);

  struct Scan;  // the per-game state of the movetext reader
  // A move or castling, refused as coming after the end when the game is over. It, ReadMove and
  // PlayResolved are inlined where the movetext reader reads a move: their calls, with ten
  // arguments passed and registers saved at each, cost a tenth of a move's reading.
  inline int ReadPlayedMove(Scan& s, bool castling);
  inline int ReadMove(Scan& s);
  int ReadCastling(Scan& s);
  // Whether the side to move is stalemated, testing it now if the last move left it open.
  bool Stalemated(Scan& s);
  // An optional "+" then an optional "#" (which claims mate); false when both stand there.
  int ReadMoveNumber(Scan& s);
  int ReadResult(Scan& s, std::string_view token, bool& ended);
  // A token that is neither a move nor a move number from 2 up: a NAG, a variation's bracket, a
  // null move, a result, castling, or the next game's tag; `ended` when the movetext ends there.
  int ReadOtherToken(Scan& s, char c, bool& ended);
  int ReadNag(Scan& s);
  int OpenVariation(Scan& s);
  int CloseVariation(Scan& s);
  int ReadNullMove(Scan& s, std::string_view token);
  // Resolves a move text on the working board, records the move on the current line (as a new
  // variation when one was just opened), writes its SAN and plays it.
  // `castling` stands for the text O-O (destination file 7) or O-O-O (file 3), the king on the
  // e-file.
  inline int PlayResolved(Scan& s, MoveText move, uint8_t nag, bool captureMark, bool castling);
  // The text of the move just read (from moveStart to `position`) as a body alone, when it is
  // one: a piece letter for a piece, the hints given (`fromfile`, `fromrank`), "x", the
  // destination.
  WrittenBody WrittenMoveBody(int fromfile, int fromrank) const;
  size_t moveStart = 0;  // where the move text being read starts
  // PlayResolved anywhere in a line (an opened variation, a line gone back into): the move is
  // added where the cursor stands. `state` receives the opponent's state after it.
  int PlayAtCursor(Scan& s, MoveText move, uint8_t nag, bool captureMark, bool castling, uint8_t& state);
  // Attaches the comments met since the last move to it (to the line's start before its first).
  void AttachPending(jurnal& line) {
    if (!pending.empty()) AttachComments(line);  // most moves have none
  }
  void AttachComments(jurnal& line);
  // Looks up the position before a main line move in the ECO table and the opening names.
  void NoteMainLinePosition(const jurnal& line);
  // The side to move at the main line's cursor, as a replay of the record would take it: the
  // other colour than the last move's, whatever a null move said.
  Side MainLineSideToMove(const jurnal& line) const;
  // Where the game's text surely ends (just after its result) when the rest of it, from the
  // reading position, is plain enough that reading it move by move would end there too; npos
  // when it is not.
  size_t PlainRestOfGame();
  // PlainRestOfGame for a rest with comments, variations or escapes.
  size_t WholeRestOfGame();
  // Once a game is out of the search's reach: moves the reading position past its result and
  // returns true when the rest is plain; false (once a game) to read on move by move.
  bool PassOverRest() {
    if (restTried) return false;
    restTried = true;
    const size_t end = PlainRestOfGame();
    if (end == std::string_view::npos) return false;
    position = end;
    return true;
  }
  bool restTried = false;  // PassOverRest looked at this game's rest
  // Tells the search the main line's position at the cursor.
  void WatchPosition(const jurnal& line) { seen.MainLinePosition(*positions, board, MainLineSideToMove(line)); }
  PositionsSeen seen;
  // Where a comment opened at `brace` must end: the "}" closing it, or the start of a line that
  // surely begins a game when such a line comes first (openComment is then set).
  size_t CommentEnd(size_t brace);
  // Whether the comment CommentEnd last found is "{...}" with no brace or line end inside.
  bool commentKeptAsRead = false;
  bool Next(std::string_view token) const { return text.substr(position, token.size()) == token; }
  // Where the run of bytes from `from` that `keeps` accepts ends. The text is read through local
  // copies: a loop on `position` itself would store it, and reload the text, at every byte.
  template <typename Keeps>
  size_t SkipWhile(size_t from, Keeps keeps) const {
    const char* const bytes = text.data();
    const size_t n = text.size();
    while (from < n && keeps(bytes[from])) ++from;
    return from;
  }

  std::string_view text;
  doska board;  // the working board of the movetext being read
  // The board's record of the move being played at a line's end (its first eight bytes): kept
  // here, so that no record is built and torn down a move.
  mov playedRecord;
  // Where main lines of games packed at once grow while read, kept from game to game.
  MoveList mainLine;
  // The room a game read whole starts with: more half-moves than nearly every game has (more
  // grow the array as usual).
  static constexpr size_t RoomForMainLine = 256;
  // The tag section being read, kept from game to game: views of the text, of the names and
  // values normalising supplies, or of `unescapedValues` for a value whose escapes had to be
  // taken out (a deque, whose strings stay where they are as it grows).
  std::vector<TagView> tagScratch;
  std::deque<std::string> unescapedValues;
  const std::string* mainLineEco = nullptr;  // in the finder's table
  // The key of the last position passed, looked up one move later: the table's memory is
  // fetched meanwhile (a lookup at once waits for it on most positions).
  uint64_t pendingEcoKey = 0;
  bool ecoKeyPending = false;
  int32_t mainLineOpening = -1;  // the index of the last named position passed
  bool openingsInReach = false;  // a named position may still follow
  uint32_t openingPly = 0;       // main line positions looked up so far
  bool endedOnMainLine = true;   // the last movetext read ended on its main line (its board there)
  uint64_t movesKey = 0;
  bool movesKeyKnown = false;
  // The main line packed as it is played (packsAtOnce), while nothing but plain moves went into it.
  PlainLine plainLine;
  bool plainLineKept = false;
  jurnal* mainLineRecord = nullptr;  // the record of the game being read
  // The main line's moves so far alternate in colour from its first, each played at its end: its
  // move numbers follow from the count of its moves.
  bool mainLineAlternates = false;
  // Whether a variation was opened in the movetext being read (none is made any other way).
  bool variationOpened = false;
  bool noVariationRead = false;  // ReadNoVariation
  // Called when a main line move gets more than its plain form (a comment, a NAG of its own, a
  // variation) or a move goes elsewhere than at the line's end.
  void MainLineNoLongerPlain() {
    KeepMainLineRecords();
    plainLineKept = false;
  }
  // The main line's moves kept only packed so far (its record counting them with its cursor,
  // with no records): its records made from the packed line, as the moves would have left them.
  bool recordsDeferred = false;
  uint8_t lastPlainPiece = 0;  // of the last move kept only packed
  uint8_t lastPlainMark = 0;
  void KeepMainLineRecords();
  int ReadTagsInto(std::vector<TagView>& tags, std::string& fen);
};
