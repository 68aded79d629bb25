// Variations as games of their own: each the moves that lead to it from the game's start, then
// its own moves, so that a program that reads main lines alone sees every line.
#pragma once

#include <memory>
#include <vector>

#include "chess/jurnal.h"

// The games the variations of `game` make, down to `depth` levels of nesting (1: those of the
// main line), in the order their text shows them. Each holds copies of the moves, with their
// comments and NAGs, and no variation (a deeper one is a game of its own); a comment before a
// variation's first move goes after the move before it. The game stays as it is.
std::vector<std::unique_ptr<jurnal>> VariationGames(const jurnal& game, int depth);
