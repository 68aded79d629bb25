// Reading one text in pieces on several threads (as a file loaded alone is read) gives what
// reading it in turn gives: the same games at the same places, the same issues with the same
// numbers, the same result.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "chess/jurnal.h"
#include "pgn/game_reader.h"
#include "tests/support/shared_data.h"

namespace {

constexpr size_t MinimumPiece = 4096;

struct Reading {
  TGames games;
  ReadReport report;
  int result = 0;
  MemoryBudget budget;
};

Reading Read(const std::string& text, size_t threads, int64_t budgetLimit = MemoryBudget::DefaultLimit) {
  Reading r;
  r.budget.limit = budgetLimit;
  ReadOptions options;
  options.report = &r.report;
  options.budget = &r.budget;
  options.summarise = true;
  // Pieces far smaller than a file's would be, so that a short text has many cuts.
  r.result = threads == 0 ? ReadGames(text, r.games, options)
                          : ReadGamesInPieces(text, r.games, options, threads, MinimumPiece);
  return r;
}

void ExpectSameReading(const std::string& text, int64_t budgetLimit = MemoryBudget::DefaultLimit) {
  const Reading inTurn = Read(text, 0, budgetLimit);
  for (size_t threads : {2, 3, 4, 7, 16}) {
    SCOPED_TRACE(threads);
    const Reading pieces = Read(text, threads, budgetLimit);
    EXPECT_EQ(pieces.result, inTurn.result);
    ASSERT_EQ(pieces.games.size(), inTurn.games.size());
    for (size_t g = 0; g < inTurn.games.size(); ++g) {
      const TGame& a = inTurn.games[g];
      const TGame& b = pieces.games[g];
      ASSERT_EQ(b.sourcePosition, a.sourcePosition) << g;
      EXPECT_EQ(b.sourceLength, a.sourceLength) << g;
      EXPECT_EQ(b.tags.size(), a.tags.size()) << g;
      EXPECT_EQ(b.summary.plies, a.summary.plies) << g;
      EXPECT_EQ(b.summary.movesKey, a.summary.movesKey) << g;
      EXPECT_STREQ(b.summary.eco, a.summary.eco) << g;
    }
    ASSERT_EQ(pieces.report.issues.size(), inTurn.report.issues.size());
    for (size_t i = 0; i < inTurn.report.issues.size(); ++i) {
      const ReadIssue& a = inTurn.report.issues[i];
      const ReadIssue& b = pieces.report.issues[i];
      EXPECT_EQ(b.gameNumber, a.gameNumber) << i;
      EXPECT_EQ(b.gamePosition, a.gamePosition) << i;
      EXPECT_EQ(b.gameLine, a.gameLine) << i;
      EXPECT_EQ(b.position, a.position) << i;
      EXPECT_EQ(b.line, a.line) << i;
      EXPECT_EQ(b.code, a.code) << i;
    }
    EXPECT_EQ(pieces.report.filteredOut, inTurn.report.filteredOut);
    // What the games kept in memory cost is what the budget counts: games of a piece given up
    // were taken out again.
    int64_t kept = 0;
    for (const TGame& game : pieces.games) kept += EntryGameCost(game);
    EXPECT_EQ(pieces.budget.used, kept);
  }
}

// A game with a comment over several lines, some of them starting with "[", so that many cuts
// between pieces fall inside comments and must be found out.
std::string GameWithBracketLines(int n) {
  return "[Event \"" + std::to_string(n) + "\"]\n[Result \"*\"]\n\n1. e4 {a comment\n[Event \"not a game\"]\n" +
         "[Site \"nor this\"]\n} e5 2. Nf3 (2. Nc3 {\n[Round \"1\"]\n}) Nc6 *\n\n";
}

std::string Repeated(const std::function<std::string(int)>& game, size_t bytes) {
  std::string text;
  for (int n = 1; text.size() < bytes; ++n) text += game(n);
  return text;
}

TEST(Pieces, CutsInsideCommentsAreFoundOut) { ExpectSameReading(Repeated(GameWithBracketLines, 300 << 10)); }

// Damaged games here and there are skipped alike and numbered alike, and so is damage that
// costs the text up to the next sure start of a game: stray lines between games, a NAG that
// cannot be, a tag line without its end.
TEST(Pieces, SkippedGamesAndDamageAreTheSame) {
  auto mixed = [](int n) {
    const std::string number = std::to_string(n);
    if (n % 97 == 0) return "[Event \"bad " + number + "\"]\n\n1. e4 e5 2. Ke3 *\n\n";  // no legal move
    if (n % 89 == 0) return "[Event \"unfinished " + number + "\"]\n\n1. e4 {never closed\n[Event \"x\"]\n\n";
    if (n % 83 == 0) return "[Event \"nag " + number + "\"]\n\n1. e4 $999 e5 *\n\n";
    if (n % 79 == 0) return "[Event \"tag " + number + "\"]\n[Site \"s\n[Round \"1\"]\n\n1. d4 *\n\n";
    if (n % 73 == 0) return "a line that is no PGN at all\n\n" + GameWithBracketLines(n);
    return GameWithBracketLines(n);
  };
  const std::string text = Repeated(mixed, 600 << 10);
  ExpectSameReading(text);
  // Nothing after the damage is lost: the last game of the text is read.
  const Reading r = Read(text, 4);
  ASSERT_FALSE(r.games.empty());
  const size_t last = text.rfind("\n\n[Event \"") + 2;  // the comments hold "[Event" lines of their own
  EXPECT_EQ(size_t(r.games.back().sourcePosition - 1), last);
  // Stray text where a game should begin, at the very start as anywhere.
  ExpectSameReading("not PGN\n\n" + text);
}

// Real games, with a budget small enough that most are let go as they are read.
TEST(Pieces, RealCollectionsAlsoUnderASmallBudget) {
  const std::filesystem::path folder = CollectionsFolder() / "otb";
  PGN_SKIP_WITHOUT_COLLECTIONS(folder);
  std::string text;
  for (const char* name : {"Botvinnik.pgn", "Kasparov.pgn"}) {
    std::ifstream in(folder / name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text += bytes.str();
  }
  ExpectSameReading(text);
  ExpectSameReading(text, 4 << 20);  // most games let go as they are read
}

// Random stretches of junk dropped into a text of good games: wherever they land, the pieces
// read what reading in turn reads.
TEST(Pieces, JunkAnywhereReadsTheSame) {
  std::mt19937 rng(3);
  const std::string good = Repeated(GameWithBracketLines, 200 << 10);
  const char* const junk[] = {"\n[", "{", "}", "\n[Event \"j\"]\n", "(", "1-0 ", "\n\n", "%x\n", ";c\n"};
  for (int round = 0; round < 4; ++round) {
    std::string text = good;
    for (int k = 0; k < 30; ++k) text.insert(rng() % text.size(), junk[rng() % std::size(junk)]);
    ExpectSameReading(text);
  }
}

}  // namespace
