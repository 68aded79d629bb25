// A game as one line of JSON (JSON Lines): docs/game-json.md describes the object, and
// docs/game.schema.json holds its schema.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "options/output_form.h"
#include "options/processing_options.h"
#include "pgn/pgn_types.h"
#include "pgn/pgn_writer.h"

// Appends the object of game `number` and a line end. Only reads the entry and the record.
// `tags`: the entry's, or those it is written with.
void WriteJsonGame(const TGame& entry, const TGamesTagArray& tags, const jurnal* game, int64_t number,
                   OutputBuffer& buffer, const TProcessingOptions& options, const OutputForm& form,
                   const TagOverrides* overrides = nullptr);

// The commands of a move's comment that tools write ("[%clk 0:03:00]", "[%eval 0.17]",
// "[%eval #-3]"), as numbers.
struct MoveCommands {
  std::optional<double> clock;  // seconds left on the mover's clock
  std::optional<double> eval;   // pawns, from white's side
  std::optional<int> mate;      // moves to mate: positive when white mates
};
MoveCommands ReadMoveCommands(std::string_view comment);

// The text of a comment as the record keeps it ("{...}" or ";...", several one after
// another), without its braces or semicolons: the pieces joined by a space.
std::string CommentText(std::string_view stored);
