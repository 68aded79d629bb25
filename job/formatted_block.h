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
  // A block covers games of about this much text at most (their lengths as read, the last game
  // past it): annotated games run to tens of kilobytes each, and a block of a thousand of them
  // held tens of megabytes of texts at once, each written into memory touched for the first time.
  static constexpr int64_t TextBytes = int64_t(4) << 20;

  explicit FormattedBlock(int64_t textBytes = TextBytes) : blockTextBytes(textBytes) {}

  // Formats the games of positions `from`.. of `order` whose records are in memory (the one at
  // `from` must be), up to Positions of them or TextBytes of their text as read. With a split by ECO code the
  // later games' codes are first looked up as the file boundary test will look them up (which may add the tag), so that
  // their text holds them. Nothing else touches the entries while this runs. A game is numbered by its place in
  // `entries` after `numberBase` games.
  void Format(TGames& entries, const std::vector<int32_t>& order, size_t from, const TProcessingOptions& options,
              const OutputForm& form, const OpeningNames* openings = nullptr, int64_t numberBase = 0);

  // The position after the last one the block covers.
  size_t End() const { return start + pieces.size(); }
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
  int64_t blockTextBytes;
  size_t start = 0;
  std::vector<Piece> pieces;  // per position from `start` on
  OutputBuffer texts[2];
};
