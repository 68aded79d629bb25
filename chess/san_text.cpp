#include "chess/san_text.h"

#include <bit>
#include <cstring>

#include "chess/doska.h"
#include "chess/piece.h"

namespace {

constexpr const char* NagSymbols[] = {"", "!", "?", "!!", "??", "!?", "?!"};

// Chess960's castling goes onto the rook's square, on the wing the king castles to.
bool IsLongCastling(const mov& m) { return m.extra == CastlingExtra ? m.tofile < m.fromfile : m.tofile == 3; }

static_assert(std::endian::native == std::endian::little, "a text's words hold its bytes in order");

// A short text as the word of its bytes, the first in the lowest byte.
constexpr uint64_t WordOf(const char* text) {
  uint64_t word = 0;
  for (int at = 0; text[at]; ++at) word |= uint64_t(uint8_t(text[at])) << (8 * at);
  return word;
}

// What each part of a move's record gives its text, by the part's byte (any byte: a record made
// elsewhere may hold codes no game has).
constexpr uint16_t PawnCode = 0x100, KingCode = 0x200;
constexpr uint32_t EnPassantCode = 0x10000;
struct TextTables {
  uint16_t piece[256] = {};  // the letter (none for a pawn), PawnCode, KingCode (6 and 12 only)
  uint32_t extra[256] = {};  // a promotion's "=N"... in the low bytes; EnPassantCode
  // By Origin, what of the origin square's two bytes (file letter, rank digit) the text names:
  // the mask in the low bytes, the shift in the third, the bits named in the fourth.
  uint32_t origin[4] = {};
  uint16_t glyph[7] = {};  // by NAG 1..6: "!", "?", "!!", "??", "!?", "?!"
  uint8_t glyphLength[7] = {};
};

constexpr TextTables BuildTextTables() {
  TextTables t;
  const char letters[] = " PNBRQK";
  for (int code = 1; code < 256; ++code) {
    const int type = PieceType(code);
    t.piece[code] = type == 1 ? PawnCode : uint8_t(letters[type]);
  }
  t.piece[WhiteKing] |= KingCode;
  t.piece[BlackKing] |= KingCode;
  const char* const promotions[] = {"=N", "=B", "=R", "=Q"};
  for (int kind = 0; kind < 4; ++kind) {
    t.extra[WhiteKnight + kind] = uint32_t(WordOf(promotions[kind]));
    t.extra[BlackKnight + kind] = uint32_t(WordOf(promotions[kind]));
  }
  t.extra[WhitePawn] = t.extra[BlackPawn] = EnPassantCode;
  t.origin[int(Origin::File)] = 0xFF | 8u << 24;
  t.origin[int(Origin::Rank)] = 0xFF | 8u << 16 | 8u << 24;
  t.origin[int(Origin::Square)] = 0xFFFF | 16u << 24;
  for (int nag = 1; nag <= 6; ++nag) {
    t.glyph[nag] = uint16_t(WordOf(NagSymbols[nag]));
    t.glyphLength[nag] = uint8_t(NagSymbols[nag][1] ? 2 : 1);
  }
  return t;
}

constexpr TextTables Text = BuildTextTables();

// A square's file letter and rank digit, from its two bytes of file and rank (1..8) in a record:
// each byte raised by its own amount, no carry from one into the other.
uint16_t SquareChars(const uint8_t* fileThenRank) {
  uint16_t bytes;
  std::memcpy(&bytes, fileThenRank, sizeof bytes);
  return uint16_t(((bytes & 0x7F7F) + ('0' << 8 | ('a' - 1))) ^ (bytes & 0x8080));
}

// The body (up to the check mark) as a word of up to eight bytes, and its length. Every move
// read passes here: the text is put together in a register from tables by the record's bytes,
// with a branch only for a king's move, and stored at once.
uint64_t BodyWord(const mov& m, Origin origin, int& length) {
  const uint16_t piece = Text.piece[m.piece];
  if ((piece & KingCode) && IsCastling(m)) {
    const bool isLong = IsLongCastling(m);
    length = isLong ? 5 : 3;
    return isLong ? WordOf("O-O-O") : WordOf("O-O");
  }
  const uint32_t extra = Text.extra[m.extra];
  const bool capture = m.captured != Empty || (extra & EnPassantCode);
  // A pawn's capture names its file whatever the origin says.
  const bool fileOfPawn = capture && (piece & PawnCode) && origin == Origin::Implied;
  const uint32_t named = Text.origin[fileOfPawn ? int(Origin::File) : int(origin) & 3];
  uint64_t body = piece & 0xFF;
  unsigned at = body ? 8 : 0;
  body |= uint64_t(SquareChars(&m.fromfile) >> (named >> 16 & 0xFF) & (named & 0xFFFF)) << at;
  at += named >> 24;
  body |= uint64_t(capture ? 'x' : 0) << at;
  at += capture ? 8 : 0;
  body |= uint64_t(SquareChars(&m.tofile)) << at;
  at += 16;
  const uint16_t promotion = uint16_t(extra);
  body |= uint64_t(promotion) << at;  // at most 48: a letter, a square, "x" and a square before
  at += promotion ? 16 : 0;
  length = int(at / 8);
  return body;
}

// The check or mate mark and the glyph as a word of up to three bytes, and its length.
uint32_t SuffixWord(uint8_t state, uint8_t nag, int& length) {
  uint32_t suffix = state == StateCheck ? '+' : state == StateCheckmate ? '#' : 0;
  unsigned at = suffix ? 8 : 0;
  if (nag >= 1 && nag <= 6) {
    suffix |= uint32_t(Text.glyph[nag]) << at;
    at += 8 * Text.glyphLength[nag];
  }
  length = int(at / 8);
  return suffix;
}

}  // namespace

SanText SanBody(const mov& m, Origin origin) {
  SanText san;
  const uint64_t body = BodyWord(m, origin, san.length);
  std::memcpy(san.text, &body, sizeof body);
  return san;
}

void FinishSan(const mov& m, SanText& san, uint8_t state) {
  int length;
  const uint32_t suffix = SuffixWord(state, m.nag, length);
  std::memcpy(san.text + san.length, &suffix, sizeof suffix);
  san.length += length;
}

void StoreSanText(mov& m, Origin origin, uint8_t state) {
  int length, more;
  const uint64_t body = BodyWord(m, origin, length);
  const uint32_t suffix = SuffixWord(state, m.nag, more);
  const uint8_t mark = SanMark(origin, state);
  if (length < 8 && size_t(length + more) <= SanString::InPlaceLength) {
    // The usual text, in two words straight from the registers: its first eight bytes and the
    // rest (body and suffix are at most six and three bytes long).
    const uint64_t first = body | uint64_t(suffix) << (8 * length);
    const uint16_t rest = uint16_t(uint64_t(suffix) >> (64 - 8 * length));
    m.san.AssignWords(first, rest, size_t(length + more), mark);
    return;
  }
  SanText san;  // a record made elsewhere, with fields no move of a game has
  std::memcpy(san.text, &body, sizeof body);
  san.length = length;
  std::memcpy(san.text + san.length, &suffix, sizeof suffix);
  san.length += more;
  m.san.AssignMarked(san.text, size_t(san.length), mark);
}

bool SanParts(const mov& m, std::string_view san, Origin& origin, uint8_t& state) {
  if (m.nag >= 1 && m.nag <= 6) {
    const std::string_view glyph = NagSymbols[m.nag];
    if (!san.ends_with(glyph)) return false;
    san.remove_suffix(glyph.size());
  }
  state = StateNormal;
  if (san.ends_with('+')) state = StateCheck;
  if (san.ends_with('#')) state = StateCheckmate;
  if (state != StateNormal) san.remove_suffix(1);
  origin = Origin::Implied;
  if (!IsCastling(m)) {
    // What the text holds beyond the implied form is the origin: a file, a rank, or both.
    const int type = PieceType(m.piece);
    const bool capture = IsCapture(m);
    const bool promotion = uint16_t(Text.extra[m.extra]) != 0;
    const size_t implied =
        (type > 1 ? 1 : 0) + (type == 1 && capture ? 1 : 0) + (capture ? 1 : 0) + 2 + (promotion ? 2 : 0);
    if (san.size() == implied + 2) {
      origin = Origin::Square;
    } else if (san.size() == implied + 1) {
      const size_t at = type > 1 ? 1 : 0;
      origin = san[at] >= 'a' && san[at] <= 'h' ? Origin::File : Origin::Rank;
    } else if (san.size() != implied) {
      return false;
    }
  }
  return SanBody(m, origin).view() == san;
}
