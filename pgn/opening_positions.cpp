#include "pgn/opening_positions.h"

#include <algorithm>
#include <bit>

namespace {

int MenOn(const doska& board) {
  return std::popcount(uint64_t(board.PiecesOf(Side::White) | board.PiecesOf(Side::Black)));
}

uint32_t HomePawns(const doska& board) {
  return uint32_t((uint64_t(board.Pieces(WhitePawn)) >> 8) & 0xFF) |
         uint32_t(((uint64_t(board.Pieces(BlackPawn)) >> 48) & 0xFF) << 8);
}

constexpr int NoneFollows = 33;

}  // namespace

bool OpeningPositions::Add(uint64_t key, const doska& board, int32_t index) {
  if (!keysAdded.insert(key).second) return false;
  keys.push_back(Added{key, index, HomePawns(board), MenOn(board)});
  return true;
}

void OpeningPositions::Prepare() {
  size_t size = 16;
  while (size < 4 * keys.size()) size *= 2;
  slots.assign(size, Slot{});
  mask = size - 1;
  for (const Added& added : keys) {
    size_t at = size_t(added.key) & mask;
    while (slots[at].index >= 0) at = (at + 1) & mask;
    slots[at] = Slot{added.key, added.index};
  }
  filter.assign(size_t(1) << 10, 0);
  for (const Added& added : keys) filter[added.key >> 54] |= uint64_t(1) << ((added.key >> 48) & 63);
  // Each position marks its own set, then every set takes the least of its subsets, one pawn at
  // a time.
  fewestMenWithin.assign(size_t(1) << 16, uint8_t(NoneFollows));
  for (const Added& added : keys)
    fewestMenWithin[added.homePawns] = uint8_t(std::min<int>(fewestMenWithin[added.homePawns], added.men));
  for (uint32_t bit = 0; bit < 16; ++bit)
    for (uint32_t set = 0; set < fewestMenWithin.size(); ++set)
      if (set & (1u << bit)) fewestMenWithin[set] = std::min(fewestMenWithin[set], fewestMenWithin[set ^ (1u << bit)]);
}

bool OpeningPositions::MayStillFollow(const doska& board) const {
  return !fewestMenWithin.empty() && MenOn(board) >= fewestMenWithin[HomePawns(board)];
}
