// libFuzzer target: a first line of criteria (read as a FEN, a board pattern, a material
// balance and a line of moves, whichever it is), then a PGN text. Parsing the criteria and
// searching must never crash, and the games a search keeps while reading (leaving the others as
// soon as it is sure of them) must be exactly the games a full reading finds matching.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pgn/game_reader.h"
#include "pgn/line_moves.h"
#include "pgn/position_search.h"

namespace {

// The source positions of the games the search selects: read whole and asked afterwards, or
// kept by the reading itself.
std::vector<int64_t> Selected(std::string_view text, const PositionSearch& search, bool whileReading) {
  TGames games;
  ReadReport report;
  ReadOptions options;
  options.report = &report;
  options.summarise = true;
  options.findEco = false;
  options.positions = &search;
  options.keepsOnlyPositionsFound = whileReading;
  ReadGames(text, games, options);
  std::vector<int64_t> selected;
  for (const TGame& game : games)
    if ((game.summary.boardCriteriaHeld & search.Asked()) == search.Asked()) selected.push_back(game.sourcePosition);
  return selected;
}

void ExpectSameSelection(std::string_view text, const PositionSearch& search) {
  if (!search.Active()) return;
  if (Selected(text, search, false) != Selected(text, search, true)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t lineEnd = input.find('\n');
  if (lineEnd == std::string_view::npos || lineEnd > 200) return 0;
  const std::string_view criteria = input.substr(0, lineEnd);
  const std::string_view text = input.substr(lineEnd + 1);
  const bool eitherColour = !criteria.empty() && (criteria[0] & 1);
  std::string error;

  // Exact positions only: the search may leave a game early.
  PositionSearch exact;
  exact.AddFen(criteria, eitherColour, error);
  PlayedLine line;
  if (PlayLine(criteria, line, error)) exact.AddReached(line.board, line.toMove, eitherColour);
  ExpectSameSelection(text, exact);

  // Every other kind, each alone and together.
  PositionSearch others;
  BoardPattern pattern;
  if (BoardPattern::Parse(criteria, pattern, error)) {
    others.AddPattern(pattern, eitherColour);
    // Mirrored twice is the pattern itself.
    const BoardPattern twice = pattern.Mirrored().Mirrored();
    doska start;
    if (twice.Holds(start, Side::White) != pattern.Holds(start, Side::White)) __builtin_trap();
  }
  MaterialBalance balance;
  if (MaterialBalance::Parse(criteria, balance, error)) others.AddMaterial(balance, eitherColour);
  if (!line.placements.empty()) others.AddLine(line.placements);
  if (size > 3) {
    others.endsIn = GameEnd(data[size - 1] % 4);
    others.events = uint8_t(data[size - 2] & 15);
    others.materialPlies = 1 + data[size - 3] % 6;
    others.inVariations = data[size - 3] & 64;
  }
  ExpectSameSelection(text, others);
  return 0;
}
