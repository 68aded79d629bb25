#include "cli/game_listing.h"

#include "pgn/opening_names.h"

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <cinttypes>
#include <string>

#include "chess/eco.h"
#include "io/byte_source.h"
#include "pgn/game_filters.h"
#include "pgn/game_reader.h"
#include "pgn/json_text.h"
#include "pgn/opening_names.h"
#include "pgn/read_codes.h"

extern const char BuiltinOpeningTable[];
extern const std::size_t BuiltinOpeningTableSize;

namespace {

std::string Hex(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "\"%016" PRIx64 "\"", value);
  return text;
}

// ,"selected":...,"criteria":{...} for a game numbered `number` (counted over all files).
std::string CriteriaMembers(const InspectCriteria& criteria, TGame& entry, int64_t number) {
  std::string members = ",\"criteria\":{";
  bool all = true;
  bool first = true;
  const auto add = [&](const char* name, bool held) {
    members += std::string(first ? "" : ",") + "\"" + name + "\":" + (held ? "true" : "false");
    first = false;
    all = all && held;
  };
  if (criteria.filtersGiven) add("filters", GameFilterPasses(entry, criteria.filters));
  for (const auto& [name, held] : criteria.search.Verdicts(entry, number)) add(name, held);
  const bool selected = all != criteria.search.invert;
  return ",\"selected\":" + std::string(selected ? "true" : "false") + members + "}";
}

namespace {

// The built-in opening names, made once when the first game is listed.
const OpeningNames& ListingOpenings() {
  static const OpeningNames names = [] {
    OpeningNames table;
    std::string problem;
    table.AddTable(std::string_view(BuiltinOpeningTable, BuiltinOpeningTableSize), problem);
    return table;
  }();
  return names;
}

}  // namespace

// The JSON object of one game kept by the reader.
std::string GameObject(const std::string& file, TGame& entry, int32_t line, const std::string& criteria) {
  jurnal& game = *entry.game;
  doska board;
  if (game.ownboard)
    board.assign(*game.ownboard);
  else
    board.reset();
  game.setboard(&board);
  std::string sans;
  for (const mov& m : game.moves) {
    if (!sans.empty()) sans += ' ';
    sans += m.san;
  }
  // The opening's code from the ECO table (the main line is replayed up to its end).
  const std::string eco = game.ecocode();
  game.gotoply(game.movecount());
  const bool blackToMove = game.movecount() ? IsWhite(game.moves.back().piece) : game.blackfirst;
  const uint64_t finalKey = board.poskey(SideOf(blackToMove));
  game.setboard(nullptr);
  uint64_t startKey, movesKey;
  game.gamekeys(startKey, movesKey);

  std::string json = "{\"file\":" + JsonString(file) + ",\"position\":" + std::to_string(entry.sourcePosition) +
                     ",\"line\":" + std::to_string(line) + ",\"status\":0,\"tags\":{";
  bool first = true;
  for (const TagView tag : entry.tags) {
    if (!first) json += ',';
    first = false;
    json += JsonString(tag.name) + ":" + JsonString(tag.value);
  }
  json += "},\"plies\":" + std::to_string(game.movecount()) + ",\"eco\":" + JsonString(eco) +
          ",\"opening\":" + JsonString(ListingOpenings().NameOf(game)) + ",\"moves\":" + JsonString(sans) +
          ",\"start_key\":" + Hex(startKey) + ",\"moves_key\":" + Hex(movesKey) + ",\"final_key\":" + Hex(finalKey) +
          criteria + "}";
  return json;
}

std::string IssueObject(const std::string& file, const ReadIssue& issue) {
  std::string reason = DescribeReadCode(issue.code);
  if (!issue.detail.empty()) reason += ": " + issue.detail;
  return "{\"file\":" + JsonString(file) + ",\"position\":" + std::to_string(issue.gamePosition) +
         ",\"line\":" + std::to_string(issue.gameLine) + ",\"status\":" + std::to_string(issue.code) +
         ",\"reason\":" + JsonString(reason) + ",\"at_position\":" + std::to_string(issue.position) +
         ",\"at_line\":" + std::to_string(issue.line) + "}";
}

// The line of each byte position of a text read window by window, counted once over it: a
// line ends at "\n", or at a "\r" not followed by one.
class LineCounter {
 public:
  // The window whose byte 0 is the text's byte `base`; lines are counted in it from where the
  // count stands (which is inside it).
  void Window(std::string_view t, int64_t base) {
    text = t;
    windowBase = base;
  }
  // The line of the 0-based text position, at or after every position asked for before.
  int32_t At(int64_t position) {
    const size_t from = size_t(counted - windowBase);
    const size_t to = size_t(std::min<int64_t>(position - windowBase, int64_t(text.size())));
    if (from < to) {
      lines += int32_t(CountLineEnds(text, from, to));
      counted = windowBase + int64_t(to);
    }
    return lines;
  }

 private:
  std::string_view text;
  int64_t windowBase = 0;
  int64_t counted = 0;
  int32_t lines = 1;
};

// Writes the games and issues of one window in text order; `number` counts the games kept.
void ListWindow(const std::string& name, WindowTaken& window, LineCounter& lines, std::FILE* out,
                const InspectCriteria* criteria, int64_t& number) {
  TGames& games = window.games;
  std::vector<ReadIssue>& issues = window.issues;
  lines.Window(window.text, window.base);
  size_t g = 0, r = 0;
  while (g < games.size() || r < issues.size()) {
    // A note on a kept game follows the game; a skipped game's issue stands in its place.
    const bool takeGame =
        r >= issues.size() ||
        (g < games.size() && (games[g].sourcePosition < issues[r].gamePosition ||
                              (games[g].sourcePosition == issues[r].gamePosition && IsNoteCode(issues[r].code))));
    if (takeGame) {
      ++number;
      const std::string json = GameObject(name, games[g], lines.At(games[g].sourcePosition - 1),
                                          criteria ? CriteriaMembers(*criteria, games[g], number) : std::string());
      std::fprintf(out, "%s\n", json.c_str());
      ++g;
    } else {
      std::fprintf(out, "%s\n", IssueObject(name, issues[r]).c_str());
      ++r;
    }
  }
  lines.At(window.base + int64_t(window.consumed));
}

}  // namespace

int Inspect(const std::vector<std::filesystem::path>& files, std::FILE* out, std::FILE* errors,
            const std::vector<std::string>& shownAs, std::FILE* standardInput, const InspectCriteria* criteria) {
  int exitCode = 0;
  int64_t number = 0;
  for (size_t f = 0; f < files.size(); ++f) {
    const std::filesystem::path& path = files[f];
    const std::string name = f < shownAs.size() && !shownAs[f].empty() ? shownAs[f] : path.string();
    ReadError error = ReadError::None;
    std::unique_ptr<ByteSource> source =
        standardInput && path == "-" ? StreamByteSource(standardInput) : OpenByteSource(path, error);
    if (!source) {
      std::fprintf(errors, "pgnutil: %s: %s\n", name.c_str(), Describe(error));
      exitCode = 1;
      continue;
    }
    // Window by window, so that a listing of any size holds a few megabytes of games at once.
    LineCounter lines;
    ReadOptions options;
    options.sourcePath = path;
    options.keepsComments = false;  // a listing shows none: they are stepped over, never copied
    if (criteria) options.positions = &criteria->search.positions;
    WindowedReadOptions windows;
    windows.takeWindow = [&](WindowTaken& window) { ListWindow(name, window, lines, out, criteria, number); };
    TGames none;
    const WindowedRead read = ReadTextInWindows(*source, none, options, windows);
    if (read.error != ReadError::None) {
      const std::string reason = read.errorDetail.empty() ? Describe(read.error) : read.errorDetail;
      if (read.bytes > 0)
        std::fprintf(errors, "pgnutil: %s: listed only up to byte %lld of its text: %s\n", name.c_str(),
                     static_cast<long long>(read.bytes), reason.c_str());
      else
        std::fprintf(errors, "pgnutil: %s: %s\n", name.c_str(), reason.c_str());
      exitCode = 1;
    }
  }
  // A full disk or a closed output is a failure, not a listing.
  if (std::fflush(out) != 0 || std::ferror(out)) {
    std::fprintf(errors, "pgnutil: the listing could not be written: %s\n", std::strerror(errno));
    exitCode = 1;
  }
  return exitCode;
}
