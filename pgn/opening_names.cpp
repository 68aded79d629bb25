#include "pgn/opening_names.h"

#include <bit>

#include "pgn/game_reader.h"
#include "pgn/line_replay.h"
#include "pgn/read_codes.h"

namespace {

int MenOn(const doska& board) {
  return std::popcount(uint64_t(board.PiecesOf(Side::White) | board.PiecesOf(Side::Black)));
}

// White's pawns on rank 2 in the low byte, black's on rank 7 in the high one.
uint32_t HomePawns(const doska& board) {
  return uint32_t((uint64_t(board.Pieces(WhitePawn)) >> 8) & 0xFF) |
         uint32_t(((uint64_t(board.Pieces(BlackPawn)) >> 48) & 0xFF) << 8);
}

constexpr int NoneFollows = 33;

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
    const uint64_t key = replay.Board().poskey(replay.ToMove());
    // Two lines ending in one position: the first keeps it.
    if (byKey.emplace(key, uint32_t(names.size())).second) {
      names.push_back(std::move(lineNames[k]));
      positions.push_back(PositionTraits{HomePawns(replay.Board()), MenOn(replay.Board())});
    }
  }
  Prepare();
  return true;
}

void OpeningNames::Prepare() {
  size_t size = 16;
  while (size < 4 * byKey.size()) size *= 2;
  slots.assign(size, Slot{});
  mask = size - 1;
  for (const auto& [key, name] : byKey) {
    size_t at = size_t(key) & mask;
    while (slots[at].name >= 0) at = (at + 1) & mask;
    slots[at] = Slot{key, int32_t(name)};
  }
  filter.assign(size_t(1) << 10, 0);
  for (const auto& [key, name] : byKey) filter[key >> 54] |= uint64_t(1) << ((key >> 48) & 63);
  // The fewest men over the positions whose home pawns are a subset of each set: each position
  // marks its own set, then every set takes the least of its subsets, one pawn at a time.
  fewestMenWithin.assign(size_t(1) << 16, uint8_t(NoneFollows));
  for (const PositionTraits& p : positions)
    fewestMenWithin[p.homePawns] = uint8_t(std::min<int>(fewestMenWithin[p.homePawns], p.men));
  for (uint32_t bit = 0; bit < 16; ++bit)
    for (uint32_t set = 0; set < fewestMenWithin.size(); ++set)
      if (set & (1u << bit)) fewestMenWithin[set] = std::min(fewestMenWithin[set], fewestMenWithin[set ^ (1u << bit)]);
}

bool OpeningNames::MayStillFollow(const doska& board) const {
  return MenOn(board) >= fewestMenWithin[HomePawns(board)];
}

std::string_view OpeningNames::NameOf(const jurnal& game) const {
  if (byKey.empty()) return {};
  LineReplay replay(game);
  const std::string* named = nullptr;
  const auto look = [&] {
    const uint64_t key = replay.Board().poskey(replay.ToMove());
    if (!((filter[key >> 54] >> ((key >> 48) & 63)) & 1)) return;  // most positions: no named one
    if (const int32_t found = Find(key); found >= 0) named = &names[size_t(found)];
  };
  look();
  for (const mov& m : game.moves) {
    // Once no named position can follow any more, the rest of the game is not played.
    if (!MayStillFollow(replay.Board())) break;
    replay.Play(m);
    look();
  }
  return named ? std::string_view(*named) : std::string_view();
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
