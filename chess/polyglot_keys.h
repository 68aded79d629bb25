// The published table of the Polyglot opening-book position key.
#pragma once

#include <array>
#include <cstdint>

// 768 piece-square entries (64 * kind + square), then castling, en passant and side to move.
constexpr int PolyglotKeyCount = 781;
constexpr int PolyglotCastleBase = 768;     // white short, white long, black short, black long
constexpr int PolyglotEnPassantBase = 772;  // + file - 1
constexpr int PolyglotWhiteToMove = 780;

extern const std::array<uint64_t, PolyglotKeyCount> PolyglotKeys;
