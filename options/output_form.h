// What the written games look like: the format other programs read (PGN, JSON Lines, move
// lines, positions) and the PGN writer's knobs. Apart from the processing options, which the
// plug-in's panel shows and its settings file stores: these are the command line's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class OutputFormat : uint8_t {
  Pgn,   // the games as PGN
  Json,  // JSON Lines: one object a game
  San,   // one game a line: its main line's moves in SAN
  Uci,   // the same in UCI's coordinates ("e2e4", "e7e8q")
  Lan,   // the same in long algebraic notation ("Ng1-f3", "e4xd5")
  Fen,   // one position a line: each of the main line's, with the game's number
  Epd,   // the same as EPD records with the game's number, result and source
};

// The format a name names ("pgn", "json", ...), or none.
std::optional<OutputFormat> ParseOutputFormat(std::string_view name);
std::string_view OutputFormatName(OutputFormat format);
// The extension of a file of the format, dot included: ".pgn", ".jsonl", ".san.txt",
// ".uci.txt", ".lan.txt", ".fen", ".epd" (the three move lines told apart, each plain text).
std::string_view OutputExtension(OutputFormat format);

// No limit on the plies of positions written.
constexpr int32_t AnyPly = INT32_MAX;

struct OutputForm {
  OutputFormat format = OutputFormat::Pgn;
  // PGN: the column a movetext line stays within (tokens longer than it stand alone on a
  // line); 0 writes each game's movetext on one line.
  int32_t lineLength = 80;
  bool addPlyCount = false;           // a PlyCount tag holding the main line's plies
  std::vector<std::string> keepTags;  // when not empty: only these tags (and those the moves need)
  std::vector<std::string> dropTags;  // these tags go (not those the moves need)
  // FEN and EPD: the plies of the positions written, inclusive (0 is the start position).
  int32_t positionsFrom = 0;
  int32_t positionsTo = AnyPly;
  // Opening and Variation tags from the opening table's names.
  bool addOpening = false;
  // Each variation written as a game of its own, down to this depth of nesting (0: none).
  int32_t splitVariations = 0;

  bool IsPgn() const { return format == OutputFormat::Pgn; }
  bool operator==(const OutputForm&) const = default;
};

// Whether a tag name is among names given (compared without regard to case).
bool NamesTag(const std::vector<std::string>& names, std::string_view tag);
