// How much memory the games of a list may take, and letting games go past it. A list keeps its
// games packed (about the size of their text; a parsed record costs several times more) and
// unpacks one when its moves are wanted; past the budget an entry is let go: it keeps its tags,
// its place in its source file and a summary, and is read again from the file when its moves
// are needed.
#pragma once

#include <cstdint>

#include "pgn/pgn_types.h"

struct MemoryBudget {
  // Enough for several hundred thousand games of a 32-bit process's 2 GiB, with room left for
  // the tags of every entry, a whole input file and the output text of one file.
  static constexpr int64_t DefaultLimit = int64_t(384) << 20;

  int64_t limit = DefaultLimit;  // bytes of games kept in memory (packed, or parsed)
  int64_t used = 0;              // bytes of the games counted so far
};

// The budget of a process that may use more than a plug-in's share of a 32-bit address space
// (the command line on a 64-bit system) when none is asked for: an eighth of the machine's
// memory, so that collections of a few gigabytes are kept whole, at least DefaultLimit and at
// most 16 GiB; DefaultLimit with 32-bit addresses or when the machine's memory is unknown.
int64_t WideDefaultBudget(int64_t physicalBytes, bool wideAddresses);

// The bytes a game's record takes in memory (moves, texts, variations), estimated from the
// sizes of what it holds and the allocations they need.
int64_t GameMemoryCost(const jurnal& game);

// Fills the entry's summary from its game (the ECO code found by replaying its main line).
void Summarise(TGame& entry);
// The same with the ECO code of the main line already known (found while the game was read),
// and its moves key too when `movesKey` is given (added up by the reader).
void Summarise(TGame& entry, std::string_view ecoOfMainLine, const uint64_t* movesKey = nullptr);

// The same without the ECO code, which is found from the moves when it is wanted.
void SummariseWithoutEco(TGame& entry, const uint64_t* movesKey = nullptr);

// Releases the entry's game, summarised first when it is not yet.
void LetGo(TGame& entry);

// Summarises the entry's game and packs it into the budget, or lets it go when it does not fit
// there. Returns whether the game stays in memory (packed). The record itself goes to
// `released` when given (a reader reuses its memory), and is destroyed otherwise. `plain` is the
// game's main line as its reader packed it while reading, when the reader gives it.
bool AdmitGame(MemoryBudget& budget, TGame& entry, std::unique_ptr<jurnal>* released = nullptr,
               const PlainLine* plain = nullptr);
// Lets a game read go without packing it, as AdmitGame lets go a game that does not fit: a game
// known to be dropped soon. False, and the entry as it was, when its summary lacks what a game
// let go keeps (its ECO code, found from the packed moves).
bool LetGoUnpacked(TGame& entry, std::unique_ptr<jurnal>* released);
// Takes a game counted into the budget out of it again (a game dropped before it joined the
// list, or deleted from it).
void GiveBack(MemoryBudget& budget, const TGame& entry);
// The memory an entry's game takes now: packed, parsed, or both.
int64_t EntryGameCost(const TGame& entry);
