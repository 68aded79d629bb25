// Game records built move by move for tests: a main line with nested variations, comments
// and NAGs, and a comparison of two records' whole trees.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "chess/jurnal.h"
#include "services/host.h"

namespace sample {

// Plays "e2e4" on a line: addmove (reusing an existing continuation), makesan on the line
// that holds the move, forward there. Returns that line.
inline jurnal* Play(jurnal& line, const std::string& move, uint8_t nag = 0) {
  const int ff = move[0] - 'a' + 1, fr = move[1] - '0', tf = move[2] - 'a' + 1, tr = move[3] - '0';
  const int result = line.addmove(ff, fr, tf, tr, 0, false, nag);
  EXPECT_GE(result, 0) << move;
  jurnal* holder = result > 0 ? line.moves[size_t(line.current)].variations[size_t(result) - 1] : &line;
  holder->makesan();
  holder->forward();
  return holder;
}

// 1. e4 {best by test} e5 (1... c5 2. Nf3 (2. Nc3 Nc6) d6) (1... e6 $2 {French}) 2. Nf3 $1 Nc6
// 3. Bb5 a6 {the Ruy Lopez} 1-0, with a comment before the first move.
inline void BuildAnnotatedGame(jurnal& game) {
  game.setcomment("start");
  Play(game, "e2e4");
  game.setcomment("best by test");
  Play(game, "e7e5");
  game.back();
  jurnal* sicilian = Play(game, "c7c5");
  Play(*sicilian, "g1f3");
  sicilian->back();
  jurnal* closed = Play(*sicilian, "b1c3");
  Play(*closed, "b8c6");
  closed->gotoply(0);
  sicilian->forward();
  Play(*sicilian, "d7d6");
  sicilian->gotoply(0);
  jurnal* french = Play(game, "e7e6", 2);
  french->setcomment("French");
  french->gotoply(0);
  game.forward();
  Play(game, "g1f3", 1);
  Play(game, "b8c6");
  Play(game, "f1b5");
  Play(game, "a7a6");
  game.setcomment("the Ruy Lopez");
  game.result = "1-0";
  game.hostcomment = "{second}";
}

// Two trees hold the same moves, texts, NAGs, comments and variation structure.
inline void ExpectSameTree(const jurnal& expected, const jurnal& actual, const std::string& where = "main") {
  ASSERT_EQ(expected.moves.size(), actual.moves.size()) << where;
  EXPECT_EQ(expected.startcomment, actual.startcomment) << where;
  EXPECT_EQ(expected.movesbefore, actual.movesbefore) << where;
  EXPECT_EQ(expected.blackfirst, actual.blackfirst) << where;
  for (size_t i = 0; i < expected.moves.size(); ++i) {
    const mov& e = expected.moves[i];
    const mov& a = actual.moves[i];
    const std::string at = where + " move " + std::to_string(i + 1) + " " + e.san;
    EXPECT_TRUE(e.SameBoardMove(a)) << at;
    EXPECT_EQ(e.san, a.san) << at;
    EXPECT_EQ(e.comment, a.comment) << at;
    EXPECT_EQ(e.nag, a.nag) << at;
    ASSERT_EQ(e.variations.size(), a.variations.size()) << at;
    for (size_t v = 0; v < e.variations.size(); ++v) {
      EXPECT_EQ(a.variations[v]->parent, &actual) << at;
      ExpectSameTree(*e.variations[v], *a.variations[v], at + " variation " + std::to_string(v + 1));
    }
  }
}

// Reads the host's current game (the annotated game above) with fromhost and checks it against
// the original; the host must be back on its main line before the first move.
inline void ExpectReadBackFromHost(const jurnal& original, Host& host) {
  const HostLineId mainLine = host.CurrentLine();
  ASSERT_NE(mainLine, nullptr);
  doska readBoard;
  jurnal copy(&readBoard, nullptr);
  copy.fromhost(host);
  ExpectSameTree(original, copy);
  EXPECT_EQ(copy.result, "1-0");
  EXPECT_EQ(copy.startcomment, "{start}");
  EXPECT_EQ(copy.hostcomment, "{second}");
  EXPECT_EQ(copy.current, 0);
  EXPECT_EQ(host.CurrentLine(), mainLine);
  EXPECT_EQ(host.CurrentMove(), 0);
  EXPECT_FALSE(host.InVariation());
}

}  // namespace sample
