#include "tools/eco_build.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "pgn/game_reader.h"

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

}  // namespace

void BuildEcoTable(const std::filesystem::path& folder, EcoBuild& build) {
  std::vector<std::filesystem::path> files;
  for (const auto& item : std::filesystem::directory_iterator(folder))
    if (item.path().extension() == ".tsv") files.push_back(item.path());
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::vector<std::string> fields = SplitTabs(line);
      if (fields.size() < 3) continue;
      EcoLine entry{fields[0], fields[1], fields[2], int(build.lines.size())};
      // Replayed by the library's own reader and game record.
      TGames games;
      ReadOptions options;
      ReadGames("[Event \"eco\"]\n\n" + entry.moves + " *\n", games, options);
      if (games.size() != 1) {
        build.unplayable.push_back(entry.code + " " + entry.moves);
        continue;
      }
      jurnal& game = *games[0].game;
      doska board;
      game.setboard(&board);
      game.gotoply(game.movecount());
      entry.plies = game.movecount();
      const bool blackToMove = entry.plies ? IsWhite(game.moves.back().piece) : false;
      entry.key = int64_t(board.poskey(SideOf(blackToMove)));
      game.setboard(nullptr);
      build.lines.push_back(std::move(entry));
    }
  }
  // The winner of each position: the shortest line, then the first.
  std::map<int64_t, const EcoLine*> winners;
  for (const EcoLine& line : build.lines) {
    const EcoLine*& winner = winners[line.key];
    if (!winner || line.plies < winner->plies) winner = &line;
  }
  for (const EcoLine& line : build.lines) {
    const EcoLine* winner = winners[line.key];
    if (winner != &line && winner->code != line.code) build.conflicts.push_back(EcoConflict{line.key, winner, &line});
  }
  for (const auto& [key, line] : winners) build.table.push_back(ecoinfo{line->code, key});
  // std::map orders the keys as signed numbers already.
}

std::string EcoTableBytes(const ecoinfar& table) {
  std::string bytes;
  bytes.reserve(table.size() * 11);
  for (const ecoinfo& entry : table) {
    const uint64_t key = uint64_t(entry.key);
    for (int shift = 56; shift >= 0; shift -= 8) bytes += char(key >> shift);
    bytes += entry.code.substr(0, 3);
    bytes.append(3 - std::min<size_t>(3, entry.code.size()), ' ');
  }
  return bytes;
}
