// Long random games played by chess.js, an independent implementation of the rules: what each
// game holds on the way (a threefold repetition, fifty quiet moves, an underpromotion, an
// en-passant capture) and how it ends (checkmate, stalemate, insufficient material) must be what
// the search finds as the reader replays the game.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pgn/game_reader.h"
#include "pgn/position_search.h"

namespace {

struct OracleGame {
  std::string moves;  // SAN, space separated
  std::string holds;  // " repetition fifty ... " with a space either side of each
  std::string end;
};

std::vector<OracleGame> ReadOracle(const char* path) {
  std::vector<OracleGame> games;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    const size_t first = line.find(" ; "), second = line.find(" ; ", first + 3);
    if (first == std::string::npos || second == std::string::npos) continue;
    games.push_back(
        {line.substr(0, first), " " + line.substr(first + 3, second - first - 3) + " ", line.substr(second + 3)});
  }
  return games;
}

// "1" or "0" for each game of the text, as the search finds it.
std::string Found(const std::string& text, const PositionSearch& search) {
  TGames games;
  ReadOptions options;
  options.summarise = true;
  options.positions = &search;
  EXPECT_EQ(ReadGames(text, games, options), 0);
  std::string found;
  for (const TGame& game : games)
    found += (game.summary.boardCriteriaHeld & search.Asked()) == search.Asked() ? '1' : '0';
  return found;
}

TEST(EventsOracle, TheSearchFindsWhatChessJsSaysOfEachGame) {
  const std::vector<OracleGame> oracle = ReadOracle(PGN_ORACLE_ENDINGS);
  ASSERT_GE(oracle.size(), 100u) << "no oracle games at " << PGN_ORACLE_ENDINGS;
  std::string text;
  for (const OracleGame& game : oracle) text += "[Event \"?\"]\n\n" + game.moves + " *\n\n";

  struct Criterion {
    const char* name;  // as the oracle writes it
    GameEnd end;
    uint8_t events;
    bool isEnd;
  };
  const Criterion criteria[] = {
      {"repetition", GameEnd::Any, HasRepetition, false},
      {"fifty", GameEnd::Any, HasFiftyMoves, false},
      {"underpromotion", GameEnd::Any, HasUnderpromotion, false},
      {"enpassant", GameEnd::Any, HasEnPassant, false},
      {"checkmate", GameEnd::Checkmate, 0, true},
      {"stalemate", GameEnd::Stalemate, 0, true},
      {"insufficient", GameEnd::InsufficientMaterial, 0, true},
  };
  for (const Criterion& criterion : criteria) {
    PositionSearch search;
    search.endsIn = criterion.end;
    search.events = criterion.events;
    std::string expected;
    for (const OracleGame& game : oracle) {
      const bool holds = criterion.isEnd
                             ? game.end == criterion.name
                             : game.holds.find(std::string(" ") + criterion.name + " ") != std::string::npos;
      expected += holds ? '1' : '0';
    }
    // Every kind turns up in the oracle's games, and not in all of them.
    EXPECT_NE(expected.find('1'), std::string::npos) << criterion.name;
    EXPECT_NE(expected.find('0'), std::string::npos) << criterion.name;
    const std::string found = Found(text, search);
    ASSERT_EQ(found.size(), expected.size()) << criterion.name;
    for (size_t i = 0; i < found.size(); ++i)
      EXPECT_EQ(found[i], expected[i]) << criterion.name << " in oracle game " << i + 1 << ": " << oracle[i].moves;
  }
}

}  // namespace
