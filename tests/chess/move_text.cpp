#include "tests/chess/move_text.h"

#include "chess/piece.h"

bool ParseMoveText(const std::string& text, bool black, MoveText& m) {
  m = MoveText{};
  const char* p = text.data();
  const char* const end = p + text.size();
  const int home = black ? 8 : 1;
  if (p < end && (*p == 'O' || *p == '0')) {
    int groups = 1;
    while (p + 2 < end + 0 && p[1] == '-' && (p[2] == 'O' || p[2] == '0')) ++groups, p += 2;
    m = {MakePiece(6, black), 0, {5, home}, {groups == 3 ? 3 : 7, home}};
    return groups >= 2;
  }
  int type = 1;
  switch (p < end ? *p : 0) {
    case 'N':
      type = 2;
      ++p;
      break;
    case 'B':
      type = 3;
      ++p;
      break;
    case 'R':
      type = 4;
      ++p;
      break;
    case 'Q':
      type = 5;
      ++p;
      break;
    case 'K':
      type = 6;
      ++p;
      break;
    default:
      break;
  }
  m.piece = MakePiece(type, black);
  // Coordinates in order: the last file and rank are the destination, any before are hints.
  char coords[4];
  int n = 0;
  for (; p < end; ++p) {
    const char c = *p;
    if (((c >= 'a' && c <= 'h') || (c >= '1' && c <= '8')) && n < 4) {
      coords[n++] = c;
    } else if (c != 'x' && c != '-') {
      break;
    }
  }
  if (p < end && *p == '=') ++p;
  if (p < end) {
    switch (*p) {
      case 'N':
        m.promotion = MakePiece(2, black);
        break;
      case 'B':
        m.promotion = MakePiece(3, black);
        break;
      case 'R':
        m.promotion = MakePiece(4, black);
        break;
      case 'Q':
        m.promotion = MakePiece(5, black);
        break;
      default:
        break;
    }
  }
  int hints = n;
  if (n >= 2 && coords[n - 1] <= '8' && coords[n - 2] >= 'a') {
    m.to.file = coords[n - 2] - 'a' + 1;
    m.to.rank = coords[n - 1] - '0';
    hints = n - 2;
  } else if (n >= 1 && coords[n - 1] >= 'a') {
    m.to.file = coords[n - 1] - 'a' + 1;  // a pawn capture written with files only
    hints = n - 1;
  }
  for (int i = 0; i < hints; ++i) {
    if (coords[i] >= 'a')
      m.from.file = coords[i] - 'a' + 1;
    else
      m.from.rank = coords[i] - '0';
  }
  return m.to.file != 0;
}
