#include "cli/game_listing.h"

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <cinttypes>
#include <string>

#include "chess/eco.h"
#include "cli/json_text.h"
#include "io/file_read.h"
#include "pgn/game_reader.h"
#include "pgn/read_codes.h"

namespace {

std::string Hex(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "\"%016" PRIx64 "\"", value);
  return text;
}

// The JSON object of one game kept by the reader.
std::string GameObject(const std::string& file, const TGame& entry, int32_t line) {
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
  const uint64_t finalKey = board.poskey(blackToMove);
  game.setboard(nullptr);
  uint64_t startKey, movesKey;
  game.gamekeys(startKey, movesKey);

  std::string json = "{\"file\":" + JsonString(file) + ",\"position\":" + std::to_string(entry.sourcePosition) +
                     ",\"line\":" + std::to_string(line) + ",\"status\":0,\"tags\":{";
  for (size_t i = 0; i < entry.tags.size(); ++i) {
    if (i) json += ',';
    json += JsonString(entry.tags[i].name) + ":" + JsonString(entry.tags[i].value);
  }
  json += "},\"plies\":" + std::to_string(game.movecount()) + ",\"eco\":" + JsonString(eco) +
          ",\"moves\":" + JsonString(sans) + ",\"start_key\":" + Hex(startKey) + ",\"moves_key\":" + Hex(movesKey) +
          ",\"final_key\":" + Hex(finalKey) + "}";
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

// The line of each byte position, counted once over the text.
class LineCounter {
 public:
  explicit LineCounter(const std::string& t) : text(t) {}
  int32_t At(size_t position) {
    for (; counted < position && counted < text.size(); ++counted)
      if (text[counted] == '\n' || (text[counted] == '\r' && (counted + 1 >= text.size() || text[counted + 1] != '\n')))
        ++lines;
    return lines;
  }

 private:
  const std::string& text;
  size_t counted = 0;
  int32_t lines = 1;
};

}  // namespace

int Inspect(const std::vector<std::filesystem::path>& files, std::FILE* out, std::FILE* errors,
            const std::vector<std::string>& shownAs) {
  int exitCode = 0;
  for (size_t f = 0; f < files.size(); ++f) {
    const std::filesystem::path& path = files[f];
    const std::string name = f < shownAs.size() && !shownAs[f].empty() ? shownAs[f] : path.string();
    std::string text;
    if (const ReadError error = readfile(path, text); error != ReadError::None) {
      std::fprintf(errors, "pgnutil: %s: %s\n", name.c_str(), Describe(error));
      exitCode = 1;
      continue;
    }
    TGames games;
    ReadReport report;
    ReadOptions options;
    options.sourcePath = path;
    options.report = &report;
    ReadGames(text, games, options);
    // Games and issues in file order.
    LineCounter lines(text);
    size_t g = 0, r = 0;
    while (g < games.size() || r < report.issues.size()) {
      // A note on a kept game follows the game; a skipped game's issue stands in its place.
      const bool takeGame =
          r >= report.issues.size() ||
          (g < games.size() &&
           (games[g].sourcePosition < report.issues[r].gamePosition ||
            (games[g].sourcePosition == report.issues[r].gamePosition && IsNoteCode(report.issues[r].code))));
      if (takeGame) {
        const std::string json = GameObject(name, games[g], lines.At(size_t(games[g].sourcePosition - 1)));
        std::fprintf(out, "%s\n", json.c_str());
        ++g;
      } else {
        std::fprintf(out, "%s\n", IssueObject(name, report.issues[r]).c_str());
        ++r;
      }
    }
  }
  // A full disk or a closed output is a failure, not a listing.
  if (std::fflush(out) != 0 || std::ferror(out)) {
    std::fprintf(errors, "pgnutil: the listing could not be written: %s\n", std::strerror(errno));
    exitCode = 1;
  }
  return exitCode;
}
