// A game record packed into one block of bytes, smaller than its text: a half-move in five bytes
// (its squares, pieces and state changes, and how its SAN text names the origin and marks check,
// the text itself written again when unpacked), comments, NAGs and variations only where they
// are. A parsed record costs several times more (tens of bytes a half-move); a
// list keeps games packed and unpacks one when its moves are wanted, which gives back the same
// record, not a reading of the text again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "chess/doska.h"
#include "chess/jurnal.h"

class PackedGame {
 public:
  PackedGame() = default;
  // Packs a record that stands at rest (no board, every line at its start), as a game read is.
  explicit PackedGame(const jurnal& game);
  PackedGame(PackedGame&&) noexcept = default;
  PackedGame& operator=(PackedGame&&) noexcept = default;

  // The record again: the same lines, moves, texts and start as the one packed, at rest.
  std::unique_ptr<jurnal> Unpack() const;

  bool empty() const { return !bytes; }
  // What it takes in memory, allocations included.
  size_t MemoryBytes() const;
  // The half-moves of its main line, read without unpacking.
  int32_t MainLinePlies() const;

 private:
  std::unique_ptr<uint8_t[]> bytes;  // the length (4 bytes), then the packed lines
  std::unique_ptr<doska> start;      // the start position of a game set up from a FEN
};
