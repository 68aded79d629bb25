// Reads a whole PGN text the way the tests of the reader want it: the code, the games and the
// issues reported.
#pragma once

#include <string>

#include "pgn/game_reader.h"

namespace sample {

struct ReadResult {
  int code = 0;
  TGames games;
  ReadReport report;
};

inline ReadResult ReadText(const std::string& text) {
  ReadResult r;
  ReadOptions options;
  options.report = &r.report;
  r.code = ReadGames(text, r.games, options);
  return r;
}

}  // namespace sample
