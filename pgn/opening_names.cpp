#include "pgn/opening_names.h"

#include "pgn/game_reader.h"
#include "pgn/line_replay.h"
#include "pgn/read_codes.h"

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t', start)) {
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

}  // namespace

bool OpeningNames::AddTable(std::string_view text, std::string& problem) {
  // The lines become the games of one PGN text, read at once.
  std::string pgn;
  std::vector<std::string> lineNames;
  size_t lineNumber = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const std::vector<std::string_view> fields = Fields(line);
    if (fields[0] == "eco") continue;  // a header (tables joined keep theirs)
    if (fields.size() < 3 || fields[1].empty()) {
      problem = "line " + std::to_string(lineNumber) + ": expected an ECO code, a name and moves";
      return false;
    }
    lineNames.emplace_back(fields[1]);
    pgn += "[Event \"" + std::to_string(lineNumber) + "\"]\n\n";
    pgn.append(fields[2]);
    pgn += " *\n\n";
  }
  TGames games;
  ReadReport report;
  ReadOptions options;
  options.report = &report;
  ReadGames(pgn, games, options);
  if (!report.issues.empty() || games.size() != lineNames.size()) {
    problem = report.issues.empty()
                  ? "a line holds no game"
                  : "a line's moves cannot be played (" + std::string(DescribeReadCode(report.issues[0].code)) + ")";
    return false;
  }
  for (size_t k = 0; k < games.size(); ++k) {
    if (!games[k].game) continue;
    LineReplay replay(*games[k].game);
    for (const mov& m : games[k].game->moves) replay.Play(m);
    // Two lines ending in one position: the first keeps it.
    if (positions.Add(replay.Board().poskey(replay.ToMove()), replay.Board())) names.push_back(std::move(lineNames[k]));
  }
  positions.Prepare();
  return true;
}

std::string_view OpeningNames::NameOf(const jurnal& game) const {
  if (positions.empty()) return {};
  LineReplay replay(game);
  int32_t named = -1;
  const auto look = [&] {
    if (const int32_t found = positions.IndexOf(replay.Board().poskey(replay.ToMove())); found >= 0) named = found;
  };
  look();
  for (const mov& m : game.moves) {
    // Once no named position can follow any more, the rest of the game is not played.
    if (!positions.MayStillFollow(replay.Board())) break;
    replay.Play(m);
    look();
  }
  return Name(named);
}

std::pair<std::string_view, std::string_view> SplitOpeningName(std::string_view name) {
  const size_t colon = name.find(": ");
  if (colon == std::string_view::npos) return {name, {}};
  return {name.substr(0, colon), name.substr(colon + 2)};
}

void SetOpeningTags(TGamesTagArray& tags, std::string_view name) {
  const auto [opening, variation] = SplitOpeningName(name);
  TagPairs pairs = tags.Pairs();
  const auto set = [&](std::string_view tag, std::string_view value) {
    for (TPGNTag& pair : pairs)
      if (FoldedEqual(pair.name, tag)) {
        pair.value.assign(value);
        return;
      }
    pairs.push_back(TPGNTag{std::string(tag), std::string(value)});
  };
  set("Opening", opening);
  if (!variation.empty()) {
    set("Variation", variation);
  } else {
    for (size_t k = RosterSize; k < pairs.size(); ++k)
      if (FoldedEqual(pairs[k].name, "variation")) {
        pairs.erase(pairs.begin() + std::ptrdiff_t(k));
        break;
      }
  }
  tags.Assign(pairs);
}
