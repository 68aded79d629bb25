#include "chess/jurnal.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <climits>
#include <cstring>
#include <memory>

#include "chess/eco.h"
#include "chess/polyglot_keys.h"
#include "chess/san_text.h"
#include "services/host.h"

namespace {

// A move given by coordinates and promotion matches a recorded one; a promotion of 0 also
// matches a recorded en-passant capture.
bool SameMove(const mov& m, int fromfile, int fromrank, int tofile, int torank, int promotion) {
  return m.fromfile == fromfile && m.fromrank == fromrank && m.tofile == tofile && m.torank == torank &&
         (m.extra == promotion || (promotion == 0 && (m.extra == WhitePawn || m.extra == BlackPawn)));
}

}  // namespace

jurnal::jurnal(doska* board_, jurnal* parent_) : parent(parent_), board(board_) {}

jurnal::~jurnal() { DestroyVariations(); }

MoveList jurnal::TakeMoves() {
  DestroyVariations();
  return TakeMovesWithoutVariations();
}

MoveList jurnal::TakeMovesWithoutVariations() {
  assert(std::all_of(moves.begin(), moves.end(), [](const mov& m) { return m.variations.empty(); }));
  MoveList taken;
  taken.swap(moves);
  current = 0;
  numberCache = NumberCache{};
  return taken;
}

// Without recursion: a tree nested a hundred thousand lines deep must not exhaust the stack.
// Each record's variations are detached before it is deleted, so every delete is shallow.
void jurnal::DestroyVariations() {
  std::vector<jurnal*> doomed;
  auto detach = [&doomed](jurnal& line) {
    for (mov& m : line.moves) {
      if (m.variations.empty()) continue;  // most moves
      doomed.insert(doomed.end(), m.variations.begin(), m.variations.end());
      m.variations.clear();
    }
  };
  detach(*this);
  while (!doomed.empty()) {
    jurnal* line = doomed.back();
    doomed.pop_back();
    detach(*line);
    delete line;
  }
}

int jurnal::newvariation() {
  if (current < 0 || current >= int(moves.size())) return 0;
  CompactList<jurnal*>& variations = moves[size_t(current)].variations;
  variations.push_back(new jurnal(board, this));
  return int(variations.size());
}

bool jurnal::BlackToMove() const {
  if (current == 0) return blackfirst;
  return IsWhite(moves[size_t(current) - 1].piece);
}

int32_t jurnal::addmove(int fromfile, int fromrank, int tofile, int torank, int promotion, bool alwaysadd, uint8_t nag,
                        const ResolvedMove* resolved) {
  if (current == int(moves.size())) {
    // At the end of the line (as when a game is read) the record is written in place.
    mov& record = moves.emplace_back();
    if (!board->DescribeResolved(resolved, record, {fromfile, fromrank}, {tofile, torank}, promotion)) {
      if (!board->canmove({fromfile, fromrank}, {tofile, torank})) {
        moves.pop_back();
        CurrentHost().Beep();
        return -1;
      }
      board->describe(record, {fromfile, fromrank}, {tofile, torank}, promotion);
    }
    record.nag = nag;
    if (current == 0) blackfirst = IsBlack(record.piece);
    return 0;
  }
  // A move the board has just resolved is known to be legal, and its record is known too.
  mov record;
  const bool described = board->DescribeResolved(resolved, record, {fromfile, fromrank}, {tofile, torank}, promotion);
  if (!described && !board->canmove({fromfile, fromrank}, {tofile, torank})) {
    CurrentHost().Beep();
    return -1;
  }
  const bool atEnd = current == int(moves.size());
  if (!atEnd && !alwaysadd) {
    const mov& next = moves[size_t(current)];
    if (SameMove(next, fromfile, fromrank, tofile, torank, promotion)) return 0;
    for (size_t k = 0; k < next.variations.size(); ++k) {
      const jurnal* variation = next.variations[k];
      if (!variation->moves.empty() && SameMove(variation->moves[0], fromfile, fromrank, tofile, torank, promotion))
        return int32_t(k + 1);
    }
  }
  if (!described) board->describe(record, {fromfile, fromrank}, {tofile, torank}, promotion);
  record.nag = nag;
  if (atEnd) {
    if (current == 0) blackfirst = IsBlack(record.piece);
    moves.push_back(std::move(record));
    return 0;
  }
  const int index = newvariation();
  jurnal* variation = moves[size_t(current)].variations.back();
  variation->moves.push_back(std::move(record));
  variation->movesbefore = movenumber() - 1;
  variation->blackfirst = BlackToMove();
  variation->startep = variation->blackfirst ? board->epforblack : board->epforwhite;
  return index;
}

void jurnal::forward() {
  if (current >= int(moves.size())) return;
  board->apply(moves[size_t(current)]);
  ++current;
}

void jurnal::back() {
  if (current <= 0) return;
  --current;
  board->takeback(moves[size_t(current)]);
  if (current > 0) {
    const mov& before = moves[size_t(current) - 1];
    board->epforblack = (before.flags & WhiteDoubleStep) ? before.fromfile : 0;
    board->epforwhite = (before.flags & BlackDoubleStep) ? before.fromfile : 0;
  } else if (blackfirst) {
    board->epforblack = startep;
    board->epforwhite = 0;
  } else {
    board->epforwhite = startep;
    board->epforblack = 0;
  }
}

void jurnal::gotoply(int n) {
  if (n < 0) n = 0;
  if (n > int(moves.size())) n = int(moves.size());
  while (current > n) back();
  while (current < n) forward();
}

mov jurnal::nextmove() const { return moveat(current); }

mov jurnal::lastmove() const { return moveat(current - 1); }

mov jurnal::moveat(int i) const {
  if (i < 0 || i >= int(moves.size())) return mov{};
  return moves[size_t(i)];
}

// Counted from the nearest known point: the number at the cursor is remembered, and one move
// forward or back changes it by a rule that needs only that move and the one before it, so a
// reader asking at every move number pays nothing for long games.
int jurnal::movenumber() const {
  if (numberCache.ply < 0 || numberCache.ply > int(moves.size()) || numberCache.movesbefore != movesbefore ||
      numberCache.blackfirst != blackfirst) {
    numberCache = NumberCache{0, movesbefore + 1, movesbefore, blackfirst};
  }
  // The side expected before moves[i]: the other colour than the move before it.
  auto whiteExpectedBefore = [this](int i) { return i == 0 ? !blackfirst : !IsWhite(moves[size_t(i) - 1].piece); };
  if (numberCache.ply < current) {
    // Forward (a reader asks at every move number): a black move ends its number, and two white
    // moves in a row count as if black had passed between them.
    int ply = numberCache.ply, number = numberCache.number;
    bool previousWhite = !whiteExpectedBefore(ply);
    for (; ply < current; ++ply) {
      const bool white = IsWhite(moves[size_t(ply)].piece);
      number += !white || previousWhite;
      previousWhite = white;
    }
    numberCache.ply = ply;
    numberCache.number = number;
  }
  while (numberCache.ply > current) {
    --numberCache.ply;
    const bool white = IsWhite(moves[size_t(numberCache.ply)].piece);
    if (white != whiteExpectedBefore(numberCache.ply) && white) --numberCache.number;
    if (!white) --numberCache.number;
  }
  return numberCache.number;
}

char* PutStoredComment(char* out, std::string_view text) {
  if (text.empty()) return out;
  const char* const first = text.data();
  const size_t n = text.size();
  // A ";" comment is one line: kept as it is only when no other line end comes before its own,
  // so that writing it as a line never turns the rest of its text into moves.
  if (first[0] == ';' && (text.back() == '\n' || text.back() == '\r') &&
      text.substr(0, n - 1).find_first_of("\r\n") == std::string_view::npos) {
    std::memcpy(out, first, n);
    return out + n;
  }
  if (n >= 2 && first[0] == '{' && first[n - 1] == '}' && !std::memchr(first + 1, '{', n - 2) &&
      !std::memchr(first + 1, '}', n - 2)) {
    std::memcpy(out, first, n);  // already in its stored form
    return out + n;
  }
  *out++ = '{';
  // Runs between braces, each found by a scan and copied whole; the next brace of each kind is
  // looked for again only once passed.
  auto next = [&](char brace, size_t from) {
    const void* found = std::memchr(first + from, brace, n - from);
    return found ? size_t(static_cast<const char*>(found) - first) : n;
  };
  size_t open = next('{', 0);
  size_t close = next('}', 0);
  for (size_t at = 0; at < n;) {
    const size_t end = std::min(open, close);
    std::memcpy(out, first + at, end - at);
    out += end - at;
    at = end + 1;
    if (open == end && at < n) open = next('{', at);
    if (close == end && at < n) close = next('}', at);
  }
  *out++ = '}';
  return out;
}

void jurnal::setcomment(std::string_view text) {
  // Built on the stack when short, so that a comment costs its one allocation in the record (not
  // in a thread-local string: see SharedBoard in pgn/eco_tags.cpp).
  char small[512];
  std::unique_ptr<char[]> large;
  char* stored = small;
  if (text.size() + 2 > sizeof small) {
    large = std::make_unique_for_overwrite<char[]>(text.size() + 2);
    stored = large.get();
  }
  const std::string_view kept(stored, size_t(PutStoredComment(stored, text) - stored));
  if (current >= 1)
    moves[size_t(current) - 1].comment = kept;
  else
    startcomment = kept;
}

void jurnal::setnag(uint8_t n) {
  if (current == 0 || moves[size_t(current) - 1].nag == n) return;
  back();
  moves[size_t(current)].nag = n;
  makesan();
  forward();
}

namespace {

// What names the origin of a move on `board`, the position before it: the rivals, other pieces
// of the same code that may go to the same square. A pawn never has one that changes the text:
// a push needs an empty square no other pawn can capture onto, and a capture names its file
// anyway, while two pawns of one file never capture onto the same square.
// Whether a move's SAN text can need its origin at all: pawns and castlings never do.
bool MayNeedOrigin(const mov& m) {
  const int type = PieceType(m.piece);
  if (type == 1 || type == 0 || !OnBoard(m.fromfile, m.fromrank)) return false;
  const bool king = m.piece == WhiteKing || m.piece == BlackKing;
  return !(king && (m.extra == CastlingExtra || (m.fromfile == 5 && (m.tofile == 3 || m.tofile == 7))));
}

// The part of the origin the text needs among the rivals' squares.
Origin OriginAmong(const mov& m, Bitboard rivals) {
  if (!rivals) return Origin::Implied;
  const bool sameFile = rivals & Attacks.file[m.fromfile];
  const bool sameRank = rivals & Attacks.rank[m.fromrank];
  if (sameFile && sameRank) return Origin::Square;
  return sameFile ? Origin::Rank : Origin::File;
}

Origin OriginOn(const mov& m, const doska& board, const ResolvedMove* resolved) {
  if (!MayNeedOrigin(m)) return Origin::Implied;
  Bitboard rivals = 0;
  const Bitboard origin = SquareBit(SquareIndex(m.fromfile, m.fromrank));
  if (board.KnownOrigins(resolved, m, rivals))
    rivals &= ~origin;  // found by the resolve that just found the move
  else
    rivals = board.LegalOrigins(m.piece, {m.tofile, m.torank}, origin);
  return OriginAmong(m, rivals);
}

}  // namespace

void jurnal::makesan(const ResolvedMove* resolved) {
  if (current < 0 || current >= int(moves.size())) return;
  mov& m = moves[size_t(current)];
  const Origin origin = OriginOn(m, *board, resolved);
  // The opponent's state after the move: known already when the move was just resolved.
  uint8_t state;
  if (!board->KnownStateAfter(resolved, m, state)) {
    forward();
    state = board->gamestate(SideOf(IsWhite(m.piece)));
    back();
  }
  StoreSanText(m, origin, state);
}

uint8_t jurnal::forwardwithsan(bool stalemateWanted, const ResolvedMove* resolved) {
  if (current < 0 || current >= int(moves.size())) return StateNormal;
  mov& m = moves[size_t(current)];
  const Origin origin = OriginOn(m, *board, resolved);
  forward();
  const bool whiteToMove = !IsWhite(m.piece);
  const uint8_t state =
      stalemateWanted ? board->gamestate(SideOf(!whiteToMove)) : board->CheckState(SideOf(!whiteToMove));
  StoreSanText(m, origin, state);
  return state;
}

namespace {

// The part of its origin the SAN text of a move just played names, among its rivals.
Origin PlayedOrigin(const mov& m, Bitboard rivals) {
  // Most moves have no rivals, and need no origin whatever their kind.
  return rivals && MayNeedOrigin(m) ? OriginAmong(m, rivals) : Origin::Implied;
}

}  // namespace

uint8_t PlayedMoveMark(const mov& m, Bitboard rivals, uint8_t state) { return SanMark(PlayedOrigin(m, rivals), state); }

uint8_t jurnal::AppendPlayed(const mov& record, uint8_t nag, Bitboard rivals, uint8_t state, bool withText,
                             const WrittenBody& written) {
  if (current == 0) blackfirst = IsBlack(record.piece);
  mov& m = moves.emplace_back();
  m.SetBoardBytes(record.BoardBytes());
  m.nag = nag;
  ++current;
  const Origin origin = PlayedOrigin(m, rivals);
  const uint8_t mark = SanMark(origin, state);
  if (withText) {
    if (!StoreWrittenSanText(m, origin, state, written)) StoreSanText(m, origin, state);
  } else
    m.san.AssignMarkOnly(mark);
  return mark;
}

uint8_t jurnal::EnPassantBefore(int index, bool blackToMove) const {
  if (index > 0) {
    const mov& before = moves[size_t(index) - 1];
    const uint8_t bit = blackToMove ? WhiteDoubleStep : BlackDoubleStep;
    return (before.flags & bit) ? before.fromfile : 0;
  }
  return blackfirst == blackToMove ? startep : 0;
}

void jurnal::fromhost(Host& host) {
  DestroyVariations();
  numberCache = NumberCache{};
  const int32_t count = host.MoveCount();
  moves.assign(size_t(count > 0 ? count : 0), mov{});
  for (int32_t i = 0; i < int32_t(moves.size()); ++i) {
    const HostMove* hostMove = host.MoveAt(i);
    if (!hostMove) {  // a host that counted more moves than it gives: keep what it gave
      moves.resize(size_t(i));
      break;
    }
    mov& m = moves[size_t(i)];
    m.piece = hostMove->piece;
    m.fromfile = hostMove->fromfile;
    m.fromrank = hostMove->fromrank;
    m.tofile = hostMove->tofile;
    m.torank = hostMove->torank;
    m.extra = hostMove->extra;
    m.captured = hostMove->captured;
    m.flags = hostMove->flags;
    m.san = hostMove->san ? hostMove->san : "";
    m.comment = hostMove->comment ? hostMove->comment : "";
    m.nag = hostMove->nag;
    // The host's record may not outlive the navigation below.
    const int32_t variationCount = hostMove->variationCount;
    if (variationCount <= 0) continue;
    host.ShowMove(i);
    for (int32_t j = 1; j <= variationCount; ++j) {
      jurnal* variation = new jurnal(board, this);
      moves[size_t(i)].variations.push_back(variation);
      variation->movesbefore = host.PlyNumber() - 1;
      host.EnterVariation(j);
      variation->fromhost(host);
      host.LeaveVariation();
      // The side and en-passant file at the variation's start follow from its first move and
      // from this line, so that move numbers and the board state at its start are right.
      if (!variation->moves.empty()) {
        variation->blackfirst = IsBlack(variation->moves[0].piece);
        variation->startep = EnPassantBefore(i, variation->blackfirst);
      }
    }
  }
  result = host.ResultText();
  startcomment = host.LineComment(1);
  hostcomment = host.LineComment(0);
  host.ShowMove(0);
}

void jurnal::setboard(doska* newBoard) {
  // Without recursion, as for destruction; the list of lines still to do is only made when a
  // variation is met.
  std::vector<jurnal*> lines;
  jurnal* line = this;
  for (;;) {
    line->board = newBoard;
    line->current = 0;
    for (mov& m : line->moves)
      if (!m.variations.empty()) lines.insert(lines.end(), m.variations.begin(), m.variations.end());
    if (lines.empty()) break;
    line = lines.back();
    lines.pop_back();
  }
}

uint64_t jurnal::startkey() const {
  constexpr uint64_t InitialKey = 0x463B96181691FC9CULL;
  if (ownboard) return ownboard->poskey(SideOf(blackfirst));
  return blackfirst ? InitialKey ^ PolyglotKeys[PolyglotWhiteToMove] : InitialKey;
}

void jurnal::gamekeys(uint64_t& startkey, uint64_t& moveskey) const {
  startkey = this->startkey();
  moveskey = 0;
  for (const mov& m : moves) moveskey ^= MovesKeyPart(m);
}

namespace {

// 64 times the position key's kind of each piece code (black pawn 0, white pawn 1, black knight
// 2, ...), or -1 for a code of no piece: one lookup where the move key asked type and colour.
constexpr std::array<int16_t, 256> KindOffsets = [] {
  std::array<int16_t, 256> offsets{};
  offsets.fill(-1);
  for (int code = Empty + 1; code < PieceCodeCount; ++code)
    offsets[size_t(code)] = int16_t(64 * (2 * (PieceType(code) - 1) + (IsWhite(code) ? 1 : 0)));
  return offsets;
}();

}  // namespace

uint64_t MovesKeyPart(const mov& m) {
  const int offset = KindOffsets[m.piece];
  if (offset < 0) return 0;
  const unsigned square = unsigned(8 * (m.tofile - 1) + (m.torank - 1));
  uint64_t part = square < 64 ? PolyglotKeys[size_t(offset) + square] : 0;
  if (m.fromfile <= 10) part ^= PolyglotKeys[770 + m.fromfile];
  if (m.fromrank <= 10) part ^= PolyglotKeys[770 + m.fromrank];
  return part;
}

namespace {

// Reads a FEN text byte by byte with a 1-based position.
class FenScanner {
 public:
  FenScanner(std::string_view source, int& cursor) : text(source), position(cursor) {}
  bool AtEnd() const { return position < 1 || size_t(position) > text.size(); }
  char Peek() const { return AtEnd() ? '\0' : text[size_t(position) - 1]; }
  void Skip() { ++position; }
  // Steps over the space between two fields: FenTooShort at the end, FenMissingSpace at any
  // other byte, else FenOk.
  int Separator() {
    if (AtEnd()) return FenTooShort;
    if (Peek() != ' ') return FenMissingSpace;
    Skip();
    return FenOk;
  }
  // Decimal digits, none giving 0; large values stop growing instead of overflowing.
  int Number() {
    long value = 0;
    while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
      if (value < INT_MAX / 10) value = value * 10 + (Peek() - '0');
      Skip();
    }
    return int(value);
  }

 private:
  std::string_view text;
  int& position;
};

// Castling flags from the pieces' squares alone: a right stays only with king and rook at home.
void DeriveKingFlags(doska& b) {
  b.wkingmoved = b.at(5, 1) == WhiteKing ? 0 : 1;
  b.bkingmoved = b.at(5, 8) == BlackKing ? 0 : 1;
}

// Chess960: the king's file on its home rank, or 0 when it stands elsewhere (or there are several).
int HomeKingFile(const doska& b, bool black) {
  const Bitboard kings = b.Pieces(black ? BlackKing : WhiteKing);
  if (!kings || (kings & (kings - 1)) || RankOf(LowestSquare(kings)) != (black ? 8 : 1)) return 0;
  return FileOf(LowestSquare(kings));
}

// Chess960: gives a side the right to castle with the rook on `file`, when such a rook stands
// there beside a king on the home rank. `file` 0 asks for the outermost rook of the wing.
void Grant960(doska& b, bool black, bool longside, int file) {
  const int home = black ? 8 : 1, king = HomeKingFile(b, black);
  const uint8_t rook = black ? BlackRook : WhiteRook;
  if (!king) return;
  if (file == 0)
    for (int f = longside ? 1 : 8; f != king && !file; f += longside ? 1 : -1)
      if (b.at(f, home) == rook) file = f;
  if (file == 0 || file == king || (file < king) != longside || b.at(file, home) != rook) return;
  b.castlingfiles[(black ? 2 : 0) + (longside ? 0 : 1)] = uint8_t(file);
  (black ? (longside ? b.bqueenlost : b.bkinglost) : (longside ? b.wqueenlost : b.wkinglost)) = 0;
}

void DeriveCastling(doska& b) {
  if (b.chess960) {
    b.wkinglost = b.wqueenlost = b.bkinglost = b.bqueenlost = 1;
    b.wkingmoved = HomeKingFile(b, false) ? 0 : 1;
    b.bkingmoved = HomeKingFile(b, true) ? 0 : 1;
    for (const bool black : {false, true})
      for (const bool longside : {false, true}) Grant960(b, black, longside, 0);
    return;
  }
  b.wkinglost = b.at(8, 1) == WhiteRook ? 0 : 1;
  b.wqueenlost = b.at(1, 1) == WhiteRook ? 0 : 1;
  b.bkinglost = b.at(8, 8) == BlackRook ? 0 : 1;
  b.bqueenlost = b.at(1, 8) == BlackRook ? 0 : 1;
  DeriveKingFlags(b);
}

// A FEN may end after its side to move, its castling field or its en-passant field: the stages
// reading the fields say so with this, which is no FenError.
constexpr int FenTextEnded = -1;

// The piece placement, rank 8 first; 0 or a FenError.
int ReadPlacement(FenScanner& in, doska& b) {
  const char* const pieces = "PNBRQKpnbrqk";
  for (int rank = 8; rank >= 1; --rank) {
    for (int file = 1; file <= 8;) {
      if (in.AtEnd()) return FenTooShort;
      const char c = in.Peek();
      if (c >= '1' && c <= '8') {
        const int run = c - '0';
        if (file + run - 1 > 8) return FenRankTooLong;
        file += run;
      } else {
        const char* found = c ? std::char_traits<char>::find(pieces, 12, c) : nullptr;
        if (!found) return FenBadPiece;
        b.put(file, rank, uint8_t(found - pieces + 1));
        ++file;
      }
      in.Skip();
    }
    if (rank > 1) {
      if (in.AtEnd()) return FenTooShort;
      if (in.Peek() != '/') return FenMissingSlash;
      in.Skip();
    }
  }
  return FenOk;
}

int ReadSideToMove(FenScanner& in, jurnal& record) {
  if (const int error = in.Separator()) return error;
  if (in.AtEnd()) return FenTooShort;
  if (in.Peek() != 'w' && in.Peek() != 'b') return FenBadSide;
  record.blackfirst = in.Peek() == 'b';
  in.Skip();

  return FenOk;
}

// Without a castling field the rights follow from where kings and rooks stand.
int ReadCastlingRights(FenScanner& in, doska& b) {
  if (in.AtEnd()) {
    DeriveCastling(b);
    return FenTextEnded;
  }
  if (in.Peek() != ' ') return FenMissingSpace;
  in.Skip();
  if (in.AtEnd()) {
    DeriveCastling(b);
    return FenTextEnded;
  }
  b.wkinglost = b.wqueenlost = b.bkinglost = b.bqueenlost = 1;
  if (b.chess960) {
    b.wkingmoved = HomeKingFile(b, false) ? 0 : 1;
    b.bkingmoved = HomeKingFile(b, true) ? 0 : 1;
  } else {
    DeriveKingFlags(b);
  }
  for (int i = 0; i < 4; ++i) {
    if (in.AtEnd()) return FenTooShort;
    const char c = in.Peek();
    if (c == '-') {
      if (i > 0) return FenBadSide;
      in.Skip();
      break;
    }
    if (c == ' ') {
      if (i == 0) return FenBadCastling;
      break;
    }
    if (b.chess960) {
      // X-FEN's KQkq name the outermost rook of a wing; Shredder-FEN's file letters name the
      // rook itself (X-FEN uses them for an inner one).
      const bool black = c >= 'a' && c <= 'z';
      const char upper = black ? char(c - 'a' + 'A') : c;
      if (upper == 'K' || upper == 'Q') {
        Grant960(b, black, upper == 'Q', 0);
      } else if (upper >= 'A' && upper <= 'H') {
        const int king = HomeKingFile(b, black), file = upper - 'A' + 1;
        if (king) Grant960(b, black, file < king, file);
      } else {
        return FenBadCastling;
      }
    } else if (c == 'K') {
      if (b.at(8, 1) == WhiteRook) b.wkinglost = 0;
    } else if (c == 'Q') {
      if (b.at(1, 1) == WhiteRook) b.wqueenlost = 0;
    } else if (c == 'k') {
      if (b.at(8, 8) == BlackRook) b.bkinglost = 0;
    } else if (c == 'q') {
      if (b.at(1, 8) == BlackRook) b.bqueenlost = 0;
    } else {
      return FenBadCastling;
    }
    in.Skip();
  }

  return FenOk;
}

int ReadEnPassant(FenScanner& in, doska& b, jurnal& record) {
  if (const int error = in.Separator()) return error;
  if (in.AtEnd()) return FenTooShort;
  const char ep = in.Peek();
  if (ep != '-' && (ep < 'a' || ep > 'h')) return FenBadEnPassantFile;
  in.Skip();
  if (in.AtEnd()) return FenTextEnded;
  if (ep != '-') {
    const char rank = in.Peek();
    if (rank != '3' && rank != '6') return FenBadEnPassantRank;
    const uint8_t file = uint8_t(ep - 'a' + 1);
    if (rank == '3')
      b.epforblack = file;
    else
      b.epforwhite = file;
    record.startep = file;
    in.Skip();
    if (in.AtEnd()) return FenTextEnded;
  }

  return FenOk;
}

// The half-move clock and the move number, when they are there (a FEN may go on with text that
// is no number: then they are not).
int ReadClocks(FenScanner& in, jurnal& record, bool& clocksRead) {
  if (in.Peek() != ' ') return FenMissingSpace;
  in.Skip();
  if (in.AtEnd()) return FenOk;
  const char next = in.Peek();
  if ((next >= 'A' && next <= 'Z') || (next >= 'a' && next <= 'z')) return FenOk;
  record.halfmoves = in.Number();
  if (const int error = in.Separator()) return error;
  // A full-move number of 0 is read as 1, so move numbers never go below 1.
  const int fullmove = in.Number();
  record.movesbefore = fullmove > 0 ? fullmove - 1 : 0;
  clocksRead = true;
  return FenOk;
}

// The placement, side, castling and en-passant fields, and the clocks; 0 or a FenError.
int ReadFen(FenScanner& in, doska& b, jurnal& record, bool& clocksRead) {
  // (A Chess960 board comes with b.chess960 set.)
  clocksRead = false;
  int step = ReadPlacement(in, b);
  if (step == FenOk) step = ReadSideToMove(in, record);
  if (step == FenOk) step = ReadCastlingRights(in, b);
  if (step == FenOk) step = ReadEnPassant(in, b, record);
  if (step == FenOk) step = ReadClocks(in, record, clocksRead);
  return step == FenTextEnded ? FenOk : step;
}

// Whether the position read could be reached in a game: one king a side, no pawn on the edge
// ranks, at most eight pawns and sixteen pieces a side, the side that just moved not in check,
// and an en-passant square only behind a pawn of the side that just moved, which passed over it
// from its home rank. 0 or the FenError of the first rule broken.
int PositionError(const doska& b, bool blackToMove) {
  int kings[2] = {}, pawns[2] = {}, pieces[2] = {};
  int kingFile[2] = {}, kingRank[2] = {};
  for (int rank = 1; rank <= 8; ++rank)
    for (int file = 1; file <= 8; ++file) {
      const uint8_t code = b.at(file, rank);
      if (code == Empty) continue;
      const int side = IsBlack(code) ? 1 : 0;
      ++pieces[side];
      if (code == WhitePawn || code == BlackPawn) {
        ++pawns[side];
        if (rank == 1 || rank == 8) return FenPawnOnEdgeRank;
      } else if (code == WhiteKing || code == BlackKing) {
        ++kings[side];
        kingFile[side] = file;
        kingRank[side] = rank;
      }
    }
  if (kings[0] != 1 || kings[1] != 1) return FenKingCount;
  if (pawns[0] > 8 || pawns[1] > 8 || pieces[0] > 16 || pieces[1] > 16) return FenTooManyPieces;
  const int waiting = blackToMove ? 0 : 1;
  if (b.attacked({kingFile[waiting], kingRank[waiting]}, SideOf(blackToMove))) return FenWaitingSideInCheck;
  // epforwhite: a black pawn just went from the 7th rank to the 5th (white takes on the 6th).
  if (b.epforwhite && (blackToMove || b.at(b.epforwhite, 5) != BlackPawn || b.at(b.epforwhite, 6) != Empty ||
                       b.at(b.epforwhite, 7) != Empty))
    return FenNoPawnForEnPassant;
  if (b.epforblack && (!blackToMove || b.at(b.epforblack, 4) != WhitePawn || b.at(b.epforblack, 3) != Empty ||
                       b.at(b.epforblack, 2) != Empty))
    return FenNoPawnForEnPassant;
  return FenOk;
}

}  // namespace

const char* DescribeFenError(int error) {
  switch (error) {
    case FenTooShort:
      return "the text ends too early";
    case FenRankTooLong:
      return "a rank of more than eight squares";
    case FenBadPiece:
      return "a character that is no piece";
    case FenMissingSlash:
      return "a \"/\" missing between ranks";
    case FenMissingSpace:
      return "a space missing between fields";
    case FenBadSide:
      return "the side to move is not w or b";
    case FenBadCastling:
      return "a castling right that is no letter of the rules";
    case FenBadEnPassantFile:
      return "an en-passant file that is no letter a to h";
    case FenBadEnPassantRank:
      return "an en-passant rank other than 3 or 6";
    case FenKingCount:
      return "a side without a king, or with more than one";
    case FenPawnOnEdgeRank:
      return "a pawn on the first or the last rank";
    case FenTooManyPieces:
      return "a side with more than eight pawns or sixteen pieces";
    case FenWaitingSideInCheck:
      return "the side not to move is in check";
    case FenNoPawnForEnPassant:
      return "an en-passant square behind no pawn that just moved two squares";
    default:
      return "not a position";
  }
}

std::unique_ptr<jurnal> jurnal::fromfen(std::string_view text, int& position, int& error, bool chess960) {
  auto record = std::make_unique<jurnal>(nullptr, nullptr);
  auto scratch = std::make_unique<doska>();
  scratch->clear();
  scratch->chess960 = chess960 ? 1 : 0;
  FenScanner in(text, position);
  bool clocksRead = false;
  error = ReadFen(in, *scratch, *record, clocksRead);
  if (error == FenOk) error = PositionError(*scratch, record->blackfirst);
  if (error != FenOk) return record;
  if (!clocksRead) record->halfmoves = record->movesbefore = 0;
  record->ownboard = std::move(scratch);
  record->board = record->ownboard.get();
  return record;
}

std::string jurnal::ecocode() {
  std::string code;
  const EcoFinder finder;  // loads the table when it is missing
  if (finder.empty()) return code;
  gotoply(0);
  for (size_t i = 0; i < moves.size(); ++i) {
    const bool blackToMove = i == 0 ? blackfirst : IsWhite(moves[i - 1].piece);
    if (const std::string* found = finder.Find(int64_t(board->poskey(SideOf(blackToMove))))) code = *found;
    forward();
  }
  return code;
}
