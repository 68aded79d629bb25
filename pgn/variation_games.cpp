#include "pgn/variation_games.h"

namespace {

// A move's copy for a line of its own: comments and NAG kept, variations not.
mov Plain(const mov& m) {
  mov copy(m);
  copy.variations.clear();  // the list held pointers only: the lines stay the game's
  return copy;
}

struct Collector {
  const jurnal& game;
  int depth;
  std::vector<std::unique_ptr<jurnal>> games;

  // The variations of `line`, reached after `before` (the moves that lead to its start).
  // Recursion is bounded by the depth asked.
  void Collect(const jurnal& line, std::vector<mov>& before, int level) {
    const size_t base = before.size();
    for (size_t i = 0; i < line.moves.size(); ++i) {
      const mov& m = line.moves[i];
      for (const jurnal* variation : m.variations) {
        Emit(*variation, before);
        if (level + 1 < depth) Collect(*variation, before, level + 1);
      }
      before.push_back(Plain(m));
    }
    before.resize(base);
  }

  void Emit(const jurnal& variation, const std::vector<mov>& before) {
    auto made = std::make_unique<jurnal>(nullptr, nullptr);
    if (game.ownboard) {
      made->ownboard = std::make_unique<doska>();
      made->ownboard->assign(*game.ownboard);
    }
    made->blackfirst = game.blackfirst;
    made->halfmoves = game.halfmoves;
    made->movesbefore = game.movesbefore;
    made->startep = game.startep;
    made->startcomment = game.startcomment;
    for (const mov& m : before) made->moves.push_back(m);
    if (!variation.startcomment.empty()) {
      if (made->moves.empty()) {
        made->startcomment += variation.startcomment;
      } else {
        mov& last = made->moves.back();
        std::string comment(last.comment.view());
        if (!comment.empty()) comment += ' ';
        comment += variation.startcomment;
        last.comment = comment;
      }
    }
    for (const mov& m : variation.moves) made->moves.push_back(Plain(m));
    games.push_back(std::move(made));
  }
};

}  // namespace

std::vector<std::unique_ptr<jurnal>> VariationGames(const jurnal& game, int depth) {
  Collector collector{game, depth, {}};
  if (depth <= 0) return {};
  std::vector<mov> before;
  collector.Collect(game, before, 0);
  return std::move(collector.games);
}
