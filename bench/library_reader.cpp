// The reader of a single-header C++ chess library, driven as our reader works: every game's
// start position set (from its FEN tag when it has one), every move's SAN resolved to a legal
// move on the board and played. Built only by bench/annotated.sh, against the library's header in
// the shared anchors (never part of the project's build), to give the single-threaded reading
// figure to measure ours against.
//   library_reader FILE...  prints games, moves and seconds for the reading of each file.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "chess.hpp"

namespace {

class CheckingVisitor : public chess::pgn::Visitor {
 public:
  long games = 0;
  long moves = 0;
  long refused = 0;  // games left after a move that could not be read or played

  void startPgn() override {
    board.setFen(chess::constants::STARTPOS);
    dead = false;
  }
  void header(std::string_view key, std::string_view value) override {
    if (key == "FEN") board.setFen(value);
  }
  void startMoves() override {}
  void move(std::string_view text, std::string_view /*comment*/) override {
    if (dead) return;
    try {
      const chess::Move move = chess::uci::parseSan(board, text, legal);
      if (move == chess::Move::NO_MOVE) {
        dead = true;
        ++refused;
        return;
      }
      board.makeMove(move);
      ++moves;
    } catch (...) {
      dead = true;
      ++refused;
    }
  }
  void endPgn() override { ++games; }

 private:
  chess::Board board;
  chess::Movelist legal;
  bool dead = false;
};

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream file(argv[i], std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "library_reader: cannot open %s\n", argv[i]);
      return 1;
    }
    CheckingVisitor visitor;
    const auto start = std::chrono::steady_clock::now();
    chess::pgn::StreamParser parser(file);
    const auto error = parser.readGames(visitor);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %ld games, %ld moves, %ld refused, %.3f s%s\n", argv[i], visitor.games, visitor.moves,
                visitor.refused, seconds, error ? " (the parser stopped early)" : "");
  }
  return 0;
}
