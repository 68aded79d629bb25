#include "pgn/line_moves.h"

#include "chess/jurnal.h"
#include "pgn/game_reader.h"
#include "pgn/read_codes.h"

bool PlayLine(std::string_view moves, PlayedLine& line, std::string& error) {
  TGames games;
  ReadReport report;
  ReadOptions options;
  options.report = &report;
  // Read as a game of its own, so that the moves are read exactly as a game's are.
  const std::string text = "[Event \"?\"]\n\n" + std::string(moves) + " *\n";
  const int code = ReadGames(text, games, options);
  if (code != 0 || games.size() != 1 || !games[0].game || !report.issues.empty() || games[0].game->movecount() == 0) {
    error = "\"" + std::string(moves) + "\" are no moves that can be played from the start" +
            (report.issues.empty() ? std::string() : std::string(" (") + DescribeReadCode(report.issues[0].code) + ")");
    return false;
  }
  jurnal& record = *games[0].game;
  line.placements.clear();
  record.setboard(&line.board);
  record.gotoply(0);
  for (int ply = 1; ply <= record.movecount(); ++ply) {
    record.gotoply(ply);
    line.placements.push_back(line.board.PlacementKey());
  }
  line.toMove = SideOf(record.movecount() % 2 == 1);
  record.setboard(nullptr);
  return true;
}
