// The games of the sorted list formatted a block at a time by two threads, ahead of the loop
// that puts them into their files one position at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "options/processing_options.h"
#include "pgn/opening_names.h"
#include "pgn/pgn_types.h"
#include "pgn/pgn_writer.h"

class FormattedBlock {
 public:
  static constexpr size_t Positions = 1024;  // the most positions a block covers

  // Formats the games of positions `from`.. of `order` whose records are in memory (the one at
  // `from` must be). With a split by ECO code the later games' codes are first looked up as the
  // file boundary test will look them up (which may add the tag), so that their text holds them.
  // Nothing else touches the entries while this runs. A game is numbered by its place in
  // `entries` after `numberBase` games.
  void Format(TGames& entries, const std::vector<int32_t>& order, size_t from, const TProcessingOptions& options,
              const OutputForm& form, const OpeningNames* openings = nullptr, int64_t numberBase = 0);

  // Whether the text of the game at a position was formatted, and that text.
  bool Holds(size_t position) const {
    return position >= start && position - start < pieces.size() && pieces[position - start].formatted;
  }
  std::string_view Text(size_t position) const {
    const Piece& piece = pieces[position - start];
    return texts[piece.half].Text().substr(piece.offset, piece.length);
  }
  // The texts of the block's two halves, which hold its games' texts in order one after the
  // other when every position was formatted: a caller that writes them all may take these
  // whole instead of copying each game's text.
  OutputBuffer& Half(uint8_t half) { return texts[half]; }

 private:
  struct Piece {
    bool formatted = false;
    uint8_t half = 0;  // which thread's text holds it
    size_t offset = 0;
    size_t length = 0;
  };
  size_t start = 0;
  std::vector<Piece> pieces;  // per position from `start` on
  OutputBuffer texts[2];
};
