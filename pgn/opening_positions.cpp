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

bool OpeningPositions::Add(uint64_t key, const doska& board) {
  if (keys.size() >= EmptySlot || !keysAdded.insert(key).second) return false;
  keys.push_back(key);
  traits.push_back(Traits{HomePawns(board), MenOn(board)});
  return true;
}

void OpeningPositions::Prepare() {
  size_t size = 16;
  while (size < 4 * keys.size()) size *= 2;
  slots.assign(size, EmptySlot);
  mask = size - 1;
  for (size_t index = 0; index < keys.size(); ++index) {
    size_t at = size_t(keys[index]) & mask;
    while (slots[at] != EmptySlot) at = (at + 1) & mask;
    slots[at] = uint16_t(index);
  }
  filter.assign(size_t(1) << 10, 0);
  for (const uint64_t key : keys) filter[key >> 54] |= uint64_t(1) << ((key >> 48) & 63);
  // Each position marks its own set, then every set takes the least of its subsets, one pawn at
  // a time.
  fewestMenWithin.assign(size_t(1) << 16, uint8_t(NoneFollows));
  for (const Traits& t : traits)
    fewestMenWithin[t.homePawns] = uint8_t(std::min<int>(fewestMenWithin[t.homePawns], t.men));
  for (uint32_t bit = 0; bit < 16; ++bit)
    for (uint32_t set = 0; set < fewestMenWithin.size(); ++set)
      if (set & (1u << bit)) fewestMenWithin[set] = std::min(fewestMenWithin[set], fewestMenWithin[set ^ (1u << bit)]);
}

bool OpeningPositions::MayStillFollow(const doska& board) const {
  return !fewestMenWithin.empty() && MenOn(board) >= fewestMenWithin[HomePawns(board)];
}
