// The texts of games let go while reading a text that cannot be read again by position (a
// compressed file, standard input): kept in a scratch file of our own, found again by the
// position each game had in the text. Only games let go under the memory budget go there, so
// that a collection the budget holds costs no disk.
#pragma once

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/file_read.h"

class GameSpool {
 public:
  GameSpool() = default;
  ~GameSpool();
  GameSpool(const GameSpool&) = delete;
  GameSpool& operator=(const GameSpool&) = delete;

  // Keeps the text of the game at 1-based `sourcePosition` (positions only grow from one call
  // to the next); false when it cannot be written (the reason in `error`): the game must then
  // stay in memory.
  bool Add(int64_t sourcePosition, std::string_view text);

  // The spool's own position of the game that was at `sourcePosition`, or 0 when none is kept.
  int64_t PositionOf(int64_t sourcePosition) const;

  // `count` bytes from the spool's 1-based `position`.
  ReadError ReadRange(int64_t position, int64_t count, std::string& text);

  int64_t Bytes() const;
  std::string error;  // why the last Add failed

 private:
  mutable std::mutex mutex;
  std::FILE* file = nullptr;
  bool failed = false;                              // the file could not be made: no more tries
  std::vector<std::pair<int64_t, int64_t>> places;  // (position in the text, in the spool), by the first
  int64_t size = 0;
};
