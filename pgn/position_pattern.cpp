#include "pgn/position_pattern.h"

#include <algorithm>

namespace {

// What one square of a pattern allows: a bit for each piece code, bit 0 for an empty square.
using CodeSet = uint16_t;
constexpr CodeSet AnyCode = (1u << PieceCodeCount) - 1;
constexpr CodeSet WhitePieces = 0x7e;    // codes 1..6
constexpr CodeSet BlackPieces = 0x1f80;  // codes 7..12
constexpr CodeSet Run = 0;               // stands for "*" among the squares of a rank

// The codes a letter stands for inside or outside brackets; 0 for no such letter.
CodeSet CodesOfLetter(char letter) {
  static constexpr std::string_view Letters = "PNBRQKpnbrqk";
  if (letter == 'A') return WhitePieces;
  if (letter == 'a') return BlackPieces;
  const size_t at = Letters.find(letter);
  return at == std::string_view::npos ? 0 : CodeSet(1u << (at + 1));
}

// The squares of one rank's text, a run standing as Run; false with the reason.
bool ReadRank(std::string_view rank, std::vector<CodeSet>& squares, std::string& error) {
  for (size_t i = 0; i < rank.size(); ++i) {
    const char c = rank[i];
    if (c >= '1' && c <= '8') {
      squares.insert(squares.end(), size_t(c - '0'), CodeSet(1));
    } else if (c == '?') {
      squares.push_back(AnyCode);
    } else if (c == '!') {
      squares.push_back(WhitePieces | BlackPieces);
    } else if (c == '*') {
      if (squares.empty() || squares.back() != Run) squares.push_back(Run);
    } else if (c == '[') {
      const size_t close = rank.find(']', i);
      if (close == std::string_view::npos) {
        error = "a \"[\" without its \"]\"";
        return false;
      }
      std::string_view inside = rank.substr(i + 1, close - i - 1);
      const bool inverted = !inside.empty() && inside[0] == '^';
      if (inverted) inside.remove_prefix(1);
      if (inside.empty()) {
        error = "\"[]\" names no piece";
        return false;
      }
      CodeSet set = 0;
      for (const char letter : inside) {
        const CodeSet codes = CodesOfLetter(letter);
        if (!codes) {
          error = std::string("\"") + letter + "\" inside brackets is no piece letter";
          return false;
        }
        set |= codes;
      }
      squares.push_back(inverted ? CodeSet(AnyCode & ~set) : set);
      i = close;
    } else if (const CodeSet codes = CodesOfLetter(c)) {
      squares.push_back(codes);
    } else {
      error = std::string("\"") + c + "\" is no square of a pattern";
      return false;
    }
  }
  return true;
}

// Every way of reading the squares as exactly eight, each run taking zero or more squares.
void Spread(const std::vector<CodeSet>& squares, size_t at, std::vector<CodeSet>& line,
            std::vector<std::vector<CodeSet>>& ways) {
  if (at == squares.size()) {
    if (line.size() == 8) ways.push_back(line);
    return;
  }
  if (squares[at] != Run) {
    if (line.size() == 8) return;
    line.push_back(squares[at]);
    Spread(squares, at + 1, line, ways);
    line.pop_back();
    return;
  }
  const size_t before = line.size();
  for (size_t taken = 0; before + taken <= 8; ++taken) {
    line.resize(before + taken, AnyCode);
    Spread(squares, at + 1, line, ways);
  }
  line.resize(before);
}

// `allowed` with the squares of `rank` (1..8) allowing what `line` says, file a first.
void Restrict(std::array<Bitboard, PieceCodeCount>& allowed, int rank, const std::vector<CodeSet>& line) {
  for (int file = 1; file <= 8; ++file) {
    const Bitboard square = Bitboard(1) << SquareIndex(file, rank);
    for (int code = 0; code < PieceCodeCount; ++code)
      if (!(line[size_t(file - 1)] & (1u << code))) allowed[size_t(code)] &= ~square;
  }
}

// The code of the same piece in the other colour.
int OtherColour(int code) { return code == Empty ? Empty : IsWhite(code) ? code + 6 : code - 6; }

}  // namespace

bool BoardPattern::Parse(std::string_view text, BoardPattern& pattern, std::string& error) {
  pattern = BoardPattern{};
  pattern.fixed.fill(~Bitboard(0));
  const size_t space = text.find(' ');
  if (space != std::string_view::npos) {
    const std::string_view side = text.substr(space + 1);
    if (side != "w" && side != "b") {
      error = "a pattern may be followed by \" w\" or \" b\" only, not \"" + std::string(side) + "\"";
      return false;
    }
    pattern.sideGiven = true;
    pattern.toMove = side == "w" ? Side::White : Side::Black;
    text = text.substr(0, space);
  }
  int rank = 8;
  for (size_t start = 0; start <= text.size(); --rank) {
    const size_t end = std::min(text.find('/', start), text.size());
    if (rank < 1) {
      error = "more than eight ranks";
      return false;
    }
    std::vector<CodeSet> squares;
    std::string problem;
    if (!ReadRank(text.substr(start, end - start), squares, problem)) {
      error = "rank " + std::to_string(rank) + ": " + problem;
      return false;
    }
    std::vector<std::vector<CodeSet>> ways;
    std::vector<CodeSet> line;
    Spread(squares, 0, line, ways);
    // Runs around one square ("*?*") read many ways that allow the same.
    std::sort(ways.begin(), ways.end());
    ways.erase(std::unique(ways.begin(), ways.end()), ways.end());
    if (ways.empty()) {
      error = "rank " + std::to_string(rank) + " does not make eight squares";
      return false;
    }
    if (ways.size() == 1) {
      Restrict(pattern.fixed, rank, ways[0]);
    } else {
      std::vector<Allowed>& choice = pattern.choices.emplace_back();
      for (const std::vector<CodeSet>& way : ways) {
        Allowed& allowed = choice.emplace_back();
        allowed.fill(~Bitboard(0));
        Restrict(allowed, rank, way);
      }
    }
    start = end + 1;
  }
  if (rank != 0) {
    error = "eight ranks are needed, not " + std::to_string(8 - rank);
    return false;
  }
  return true;
}

BoardPattern BoardPattern::Mirrored() const {
  auto mirror = [](const Allowed& allowed) {
    Allowed mirrored;
    for (int code = 0; code < PieceCodeCount; ++code)
      mirrored[size_t(OtherColour(code))] = __builtin_bswap64(allowed[size_t(code)]);
    return mirrored;
  };
  BoardPattern mirrored;
  mirrored.fixed = mirror(fixed);
  for (const std::vector<Allowed>& choice : choices) {
    std::vector<Allowed>& other = mirrored.choices.emplace_back();
    for (const Allowed& allowed : choice) other.push_back(mirror(allowed));
  }
  mirrored.sideGiven = sideGiven;
  mirrored.toMove = Opponent(toMove);
  return mirrored;
}

bool BoardPattern::FitsAll(const doska& board, const Allowed& allowed) {
  for (int code = 0; code < PieceCodeCount; ++code)
    if (board.Pieces(uint8_t(code)) & ~allowed[size_t(code)]) return false;
  return true;
}

bool BoardPattern::Holds(const doska& board, Side side) const {
  if (sideGiven && side != toMove) return false;
  if (!FitsAll(board, fixed)) return false;
  for (const std::vector<Allowed>& choice : choices) {
    bool any = false;
    for (const Allowed& allowed : choice)
      if (FitsAll(board, allowed)) {
        any = true;
        break;
      }
    if (!any) return false;
  }
  return true;
}
