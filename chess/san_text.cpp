#include "chess/san_text.h"

#include <bit>
#include <cstring>

#include "chess/doska.h"
#include "chess/piece.h"

namespace {

const char PieceLetters[] = " NBRQK";  // by piece type; pawns have none
const char* const NagSymbols[] = {"", "!", "?", "!!", "??", "!?", "?!"};

bool IsCastling(const mov& m) {
  const bool king = m.piece == WhiteKing || m.piece == BlackKing;
  return king && (m.extra == CastlingExtra || (m.fromfile == 5 && (m.tofile == 3 || m.tofile == 7)));
}

// Chess960's castling goes onto the rook's square, on the wing the king castles to.
bool IsLongCastling(const mov& m) { return m.extra == CastlingExtra ? m.tofile < m.fromfile : m.tofile == 3; }

bool IsCapture(const mov& m) { return m.captured != Empty || m.extra == WhitePawn || m.extra == BlackPawn; }

const char* PromotionText(uint8_t extra) {
  switch (extra) {
    case WhiteKnight:
    case BlackKnight:
      return "=N";
    case WhiteBishop:
    case BlackBishop:
      return "=B";
    case WhiteRook:
    case BlackRook:
      return "=R";
    case WhiteQueen:
    case BlackQueen:
      return "=Q";
    default:
      return "";
  }
}

}  // namespace

SanText SanBody(const mov& m, Origin origin) {
  // Every move read passes here. The body is at most eight bytes ("Qa1xh8", "exd8=Q"): it is
  // gathered in one word and stored at once, since the copy of the text into the record that
  // follows reads it back whole, and a read spanning several byte stores still in flight waits
  // for all of them (a stall measured at 3 % of reading games whole).
  SanText san;
  if (IsCastling(m)) {
    std::memcpy(san.text, "O-O-O\0\0\0", 8);
    san.length = IsLongCastling(m) ? 5 : 3;
    return san;
  }
  uint64_t body = 0;
  int length = 0;
  auto put = [&](char c) {
    body |= uint64_t(uint8_t(c)) << (8 * length);
    ++length;
  };
  const int type = PieceType(m.piece);
  if (type > 1 && type <= 6) put(PieceLetters[type - 1]);
  const bool capture = IsCapture(m);
  const char fileLetter = char('a' + m.fromfile - 1), rankDigit = char('0' + m.fromrank);
  switch (origin) {
    case Origin::Square:
      put(fileLetter);
      put(rankDigit);
      break;
    case Origin::Rank:
      put(rankDigit);
      break;
    case Origin::File:
      put(fileLetter);
      break;
    case Origin::Implied:
      if (type == 1 && capture) put(fileLetter);
      break;
  }
  if (capture) put('x');
  put(char('a' + m.tofile - 1));
  put(char('0' + m.torank));
  const char* promotion = PromotionText(m.extra);
  if (*promotion) {
    put(promotion[0]);
    put(promotion[1]);
  }
  static_assert(std::endian::native == std::endian::little, "the word is stored as its bytes in order");
  std::memcpy(san.text, &body, sizeof body);
  san.length = length;
  return san;
}

void FinishSan(const mov& m, SanText& san, uint8_t state) {
  if (state == StateCheck) san += '+';
  if (state == StateCheckmate) san += '#';
  if (m.nag >= 1 && m.nag <= 6) san += NagSymbols[m.nag];
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
    const size_t implied =
        (type > 1 ? 1 : 0) + (type == 1 && capture ? 1 : 0) + (capture ? 1 : 0) + 2 + (*PromotionText(m.extra) ? 2 : 0);
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
