#include "pgn/eco_tags.h"

#include <cstring>

#include <type_traits>

namespace {

// Shared by the classifications of one thread, as the host transfers share it too. A board has
// nothing to destroy. No thread-local object of the program has a destructor: on the 32-bit
// Windows build (MinGW), such objects destroyed as reader and formatting threads ended corrupted
// the heap now and then.
static_assert(std::is_trivially_destructible_v<doska>);
doska& SharedBoard() {
  thread_local doska board;
  return board;
}

// The index of an ECO tag at positions 8, 9 or 10, or -1.
int FindEcoTag(const TGamesTagArray& tags) {
  for (size_t i = RosterSize; i <= AfterSetUp && i < tags.size(); ++i)
    if (FoldedEqual(tags[i].name, "eco")) return int(i);
  return -1;
}

// Puts an ECO tag holding `value` at its place; the tag that stood there moves to the end.
size_t InsertEcoTag(TGamesTagArray& tags, std::string_view value) {
  TagPairs pairs = tags.Pairs();
  pairs.emplace_back();
  size_t place = 7;
  if (pairs.size() > FenSlot && FoldedEqual(pairs[SetUpSlot].name, "setup")) {
    place = 8;
    if (pairs.size() > AfterSetUp && FoldedEqual(pairs[FenSlot].name, "fen")) place = AfterSetUp;
  }
  if (place >= pairs.size()) place = pairs.size() - 1;  // a list shorter than the roster
  if (place + 1 < pairs.size()) pairs.back() = pairs[place];
  pairs[place] = TPGNTag{"ECO", std::string(value)};
  tags.Assign(pairs);
  return place;
}

}  // namespace

bool ValidEcoCode(std::string_view text) {
  if (text.size() != 3) return false;
  const char letter = text[0];
  const bool letterOk = (letter >= 'A' && letter <= 'E') || (letter >= 'a' && letter <= 'e');
  return letterOk && text[1] >= '0' && text[1] <= '9' && text[2] >= '0' && text[2] <= '9';
}

size_t EnsureEcoTag(TGamesTagArray& tags) {
  if (const int found = FindEcoTag(tags); found >= 0) return size_t(found);
  return InsertEcoTag(tags, "");
}

std::string EcoCodeOfMoves(jurnal& game) {
  doska& board = SharedBoard();
  if (game.ownboard)
    board.assign(*game.ownboard);
  else
    board.reset();
  game.setboard(&board);
  std::string code = game.ecocode();
  game.setboard(nullptr);
  return code;
}

std::string RefreshEcoTag(TGame& entry, bool recompute) {
  const int found = FindEcoTag(entry.tags);
  const std::string before = found >= 0 ? std::string(entry.tags[size_t(found)].value) : std::string();
  std::string value = before;
  const bool fromMoves = recompute || !ValidEcoCode(value);
  if (entry.summary.known && entry.summary.ecoKnown) {
    if (fromMoves) value = entry.summary.eco;  // found while the game was read or let go
  } else if (entry.game) {
    if (fromMoves) value = EcoCodeOfMoves(*entry.game);
  } else if (!entry.packed.empty()) {
    // Read without looking for it: found from the moves now, and kept.
    if (fromMoves) {
      value = EcoCodeOfMoves(*entry.packed.Unpack());
      std::memset(entry.summary.eco, 0, sizeof entry.summary.eco);
      std::string_view(value)
          .substr(0, sizeof entry.summary.eco - 1)
          .copy(entry.summary.eco, sizeof entry.summary.eco - 1);
      entry.summary.ecoKnown = true;
    }
  } else {
    value.clear();
  }
  if (found < 0)
    InsertEcoTag(entry.tags, value);
  else if (value != before)
    entry.tags.SetValue(size_t(found), value);
  return value;
}

std::string EcoCode(TGame& entry) {
  const int found = FindEcoTag(entry.tags);
  if (found >= 0 && ValidEcoCode(entry.tags[size_t(found)].value)) return std::string(entry.tags[size_t(found)].value);
  return RefreshEcoTag(entry, true);
}
