// libFuzzer target: any bytes as a PGN file. Reading must never crash, hang or overflow, and
// what it keeps must write out and read back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pgn/game_reader.h"
#include "pgn/pgn_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TGames games;
  ReadReport report;
  ReadOptions options;
  options.report = &report;
  ReadGames(text, games, options);
  OutputBuffer buffer;
  const TProcessingOptions keepAll;
  for (const TGame& game : games) WriteGame(game, buffer, keepAll);
  TGames again;
  ReadGames(buffer.Text(), again, options);
  if (again.size() != games.size()) __builtin_trap();
  return 0;
}
