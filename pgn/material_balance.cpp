#include "pgn/material_balance.h"

#include <bit>

namespace {

constexpr uint8_t NoBound = 255;

// The slot of a letter in SideMaterial::counts, the king 6; -1 for no piece letter.
int SlotOf(char letter) {
  switch (letter) {
    case 'P':
    case 'p':
      return 1;
    case 'N':
    case 'n':
      return 2;
    case 'B':
    case 'b':
      return 3;
    case 'R':
    case 'r':
      return 4;
    case 'Q':
    case 'q':
      return 5;
    case 'K':
    case 'k':
      return 6;
    case 'L':
    case 'l':
      return 0;
    default:
      return -1;
  }
}

bool ReadSide(std::string_view text, SideMaterial& side, std::string& error) {
  bool named[6] = {};
  bool king = false;
  // Bishops and knights are free when only minor pieces are named, and minor pieces are free
  // when only bishops and knights are.
  side.counts[0] = {0, NoBound};
  for (size_t i = 0; i < text.size();) {
    const char letter = text[i++];
    const int slot = SlotOf(letter);
    if (slot < 0) {
      error = std::string("\"") + letter + "\" is no piece letter (K Q R B N P, or L for a minor piece)";
      return false;
    }
    int exact = -1;
    if (i < text.size() && text[i] >= '0' && text[i] <= '9') exact = text[i++] - '0';
    char bound = 0;
    if (i < text.size() && (text[i] == '*' || text[i] == '+' || text[i] == '-')) bound = text[i++];
    if (slot == 6) {
      if (king || exact > 1 || (exact == 0) || bound) {
        error = "a side has one king";
        return false;
      }
      king = true;
      continue;
    }
    if (bound == '*' && exact >= 0) {
      error = std::string("\"") + letter + char('0' + exact) + "*\": a count and \"*\" together";
      return false;
    }
    if (bound == '-' && exact < 0) {
      error = std::string("\"") + letter + "-\" needs a count before \"-\"";
      return false;
    }
    PieceCount& count = side.counts[slot];
    const uint8_t least = uint8_t(named[slot] ? count.least : 0);
    const uint8_t most = uint8_t(named[slot] ? count.most : 0);
    const int n = exact >= 0 ? exact : bound == '*' ? 0 : 1;
    count.least = uint8_t(least + (bound == '-' ? 0 : n));
    count.most = bound == '*' || bound == '+' || most == NoBound ? NoBound : uint8_t(most + n);
    named[slot] = true;
  }
  for (int slot = 1; slot <= 5; ++slot)
    if (!named[slot]) side.counts[slot] = slot >= 2 && slot <= 3 && named[0] ? PieceCount{0, NoBound} : PieceCount{};
  return true;
}

int Count(const doska& board, int type, bool black) { return std::popcount(board.Pieces(MakePiece(type, black))); }

bool SideHolds(const SideMaterial& side, const doska& board, bool black) {
  int minors = 0;
  for (int type = 1; type <= 5; ++type) {
    const int count = Count(board, type, black);
    if (!side.counts[type].Holds(count)) return false;
    if (type == 2 || type == 3) minors += count;
  }
  return side.counts[0].Holds(minors);
}

}  // namespace

bool MaterialBalance::Parse(std::string_view text, MaterialBalance& balance, std::string& error) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    error = "\"" + std::string(text) + "\" needs White's pieces, \":\" and Black's, as in KQR:KR";
    return false;
  }
  std::string problem;
  if (!ReadSide(text.substr(0, colon), balance.white, problem)) {
    error = "White's side: " + problem;
    return false;
  }
  if (!ReadSide(text.substr(colon + 1), balance.black, problem)) {
    error = "Black's side: " + problem;
    return false;
  }
  return true;
}

bool MaterialBalance::Holds(const doska& board) const {
  return SideHolds(white, board, false) && SideHolds(black, board, true);
}
