// libFuzzer target: any bytes as a PGN file, its games written in every format. Nothing may
// crash or hang; JSON Lines must be one well-formed object a line of valid UTF-8; move lines
// one a game; every FEN written must read back as a position; the positions of a game are its
// plies and one; the opening name the reader finds as it passes a main line is the name a
// replay of the game finds, read whole or packed.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "pgn/game_formats.h"
#include "pgn/game_reader.h"
#include "pgn/opening_names.h"
#include "pgn/variation_games.h"

namespace {

// Whether the text is valid UTF-8 (no overlong form, surrogate or code past U+10FFFF).
bool ValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    const unsigned char d = n > 1 ? static_cast<unsigned char>(s[i + 1]) : 0;
    if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d > 0x9F) || (c == 0xF0 && d < 0x90) || (c == 0xF4 && d > 0x8F))
      return false;
    i += n;
  }
  return true;
}

// One JSON value a line: brackets balanced outside strings, no raw control character, strings
// closed, escapes of the kinds JSON has.
bool WellFormedJsonLine(std::string_view line) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (inString) {
      if (c == '\\') {
        if (++i >= line.size() || std::string_view("\"\\/bfnrtu").find(line[i]) == std::string_view::npos) return false;
      } else if (c == '"') {
        inString = false;
      }
      continue;
    }
    if (c == '"') inString = true;
    if (c == '{' || c == '[') ++depth;
    if (c == '}' || c == ']') {
      if (--depth < 0) return false;
      if (depth == 0 && i + 1 != line.size()) return false;
    }
  }
  return !inString && depth == 0 && !line.empty() && line.front() == '{';
}

// A few named lines, transpositions and a position reached by either side's moves among them.
const OpeningNames& Openings() {
  static const OpeningNames names = [] {
    OpeningNames table;
    std::string problem;
    table.AddTable(
        "B00\tKing's Pawn Game\t1. e4\nB20\tSicilian Defense\t1. e4 c5\n"
        "B27\tSicilian Defense: Hyperaccelerated Fianchetto\t1. e4 c5 2. Nf3 g6\n"
        "A04\tZukertort Opening\t1. Nf3\nA04\tZukertort Opening: Sicilian Invitation\t1. Nf3 c5\n"
        "D00\tQueen's Pawn Game\t1. d4 d5\nA40\tHorwitz Defense\t1. d4 e6\n"
        "C20\tKing's Pawn Game: Napoleon Attack\t1. e4 e5 2. Qf3\n",
        problem);
    return table;
  }();
  return names;
}

// Reads the text packed (under a budget) or whole with the names looked for, and checks each
// game's name against a replay's.
void CheckOpeningNames(std::string_view text, bool packed) {
  const OpeningNames& names = Openings();
  MemoryBudget budget;
  ReadOptions options;
  options.summarise = true;
  options.findEco = false;
  options.openings = &names.Positions();
  if (packed) options.budget = &budget;
  TGames games;
  ReadGames(text, games, options);
  for (const TGame& game : games) {
    std::unique_ptr<jurnal> unpacked = game.game ? nullptr : game.packed.Unpack();
    const jurnal* record = game.game ? game.game.get() : unpacked.get();
    if (!record || game.summary.opening == TGameSummary::OpeningNotLookedFor) continue;
    if (names.Name(game.summary.opening) != names.NameOf(*record)) __builtin_trap();
  }
}

size_t Lines(std::string_view text) {
  size_t n = 0;
  for (const char c : text) n += c == '\n';
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckOpeningNames(text, false);
  CheckOpeningNames(text, true);
  TGames games;
  ReadOptions options;
  ReadGames(text, games, options);
  const TProcessingOptions keepAll;
  OutputForm form;
  form.splitVariations = 3;
  for (const TGame& game : games) {
    const jurnal* record = game.game.get();
    const size_t variationGames = record ? VariationGames(*record, 3).size() : 0;
    for (const OutputFormat format : {OutputFormat::Json, OutputFormat::Uci, OutputFormat::Lan, OutputFormat::San,
                                      OutputFormat::Fen, OutputFormat::Epd, OutputFormat::Pgn}) {
      form.format = format;
      OutputBuffer buffer;
      WriteGameAs(game, record, 1, buffer, keepAll, form);
      const std::string_view out = buffer.Text();
      if (format == OutputFormat::Json) {
        if (!ValidUtf8(out) || Lines(out) != 1 + variationGames) __builtin_trap();
        for (size_t start = 0, end; (end = out.find('\n', start)) != std::string_view::npos; start = end + 1)
          if (!WellFormedJsonLine(out.substr(start, end - start))) __builtin_trap();
      } else if (format == OutputFormat::Uci || format == OutputFormat::Lan || format == OutputFormat::San) {
        if (record && Lines(out) != 1 + variationGames) __builtin_trap();
      } else if (format == OutputFormat::Fen && record) {
        if (Lines(out) < size_t(record->movecount()) + 1) __builtin_trap();
        for (size_t start = 0, end; (end = out.find('\n', start)) != std::string_view::npos; start = end + 1) {
          const std::string_view line = out.substr(start, end - start);
          int position = 1, error = 0;
          // Chess960 rights name rook files, which the standard rules refuse: read as Chess960.
          const bool chess960 = record->ownboard && record->ownboard->chess960;
          const auto read = jurnal::fromfen(line.substr(0, line.find('\t')), position, error, chess960);
          if (error != 0) __builtin_trap();
        }
      }
    }
  }
  return 0;
}
