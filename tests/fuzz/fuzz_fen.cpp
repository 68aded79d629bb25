// libFuzzer target: any bytes as a FEN text, then a few moves tried on the position it gives.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "chess/jurnal.h"
#include "tests/chess/move_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int position = 1, error = 0;
  std::unique_ptr<jurnal> record = jurnal::fromfen(text, position, error);
  if (error) return 0;
  if (position < 1 || size_t(position) > text.size() + 1) __builtin_trap();
  const doska& board = *record->ownboard;
  board.gamestate(Side::White);
  board.gamestate(Side::Black);
  board.poskey(SideOf(record->blackfirst));
  for (int piece = 1; piece <= 12; ++piece) {
    int promotion = 0, ff = 0, fr = 0, tf = 5, tr = 4;
    ResolveFields(board, piece, promotion, ff, fr, tf, tr);
  }
  return 0;
}
