// The "ECO" tag of a game: found or inserted at its place after the roster (and SetUp and FEN),
// trusted when it holds a valid code, recomputed from the moves when asked.
#pragma once

#include <string>
#include <string_view>

#include "pgn/pgn_types.h"

// A letter A to E (either case) and two digits.
bool ValidEcoCode(std::string_view text);

// The 0-based index of the game's ECO tag, inserted (empty) where it belongs when missing; the
// tag that stood there moves to the end of the list.
size_t EnsureEcoTag(TGamesTagArray& tags);

// The code of a game's main line, replayed on the board classifications share.
std::string EcoCodeOfMoves(jurnal& game);

// Ensures the tag; recomputes its value from the moves when `recompute` (the option "Remove old
// ECO tags", for a job), or when the value is not a valid code; returns the value. An entry
// let go from memory takes the code its summary kept; one without a game record or summary
// gets an empty value. A summarised entry takes its summary's code.
std::string RefreshEcoTag(TGame& entry, bool recompute);

// An existing valid code as it is, else the code recomputed from the moves.
std::string EcoCode(TGame& entry);
