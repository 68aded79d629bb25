// 64-bit square sets and the attack tables the board's fast paths use.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

using Bitboard = uint64_t;

constexpr Bitboard SquareBit(int index) { return Bitboard(1) << index; }

inline int LowestSquare(Bitboard b) { return std::countr_zero(b); }
inline int HighestSquare(Bitboard b) { return 63 - std::countl_zero(b); }
inline int PopLowest(Bitboard& b) {
  int index = std::countr_zero(b);
  b &= b - 1;
  return index;
}

// Ray directions; the first four step to higher square indexes.
// Opposite directions are four apart.
enum Direction { North, East, NorthEast, NorthWest, South, West, SouthWest, SouthEast, DirectionCount };

struct AttackTables {
  std::array<Bitboard, 64> knight{};
  std::array<Bitboard, 64> king{};
  std::array<std::array<Bitboard, 64>, 2> pawn{};  // [0] white pawn's targets, [1] black pawn's
  std::array<std::array<Bitboard, 64>, DirectionCount> ray{};
  std::array<Bitboard, 9> file{};  // file[1..8]: the squares of that file
  std::array<Bitboard, 9> rank{};  // rank[1..8]
  // For two squares on one rank, file or diagonal: the squares strictly between them, and
  // the whole line through both. Both 0 for squares not so aligned.
  std::array<std::array<Bitboard, 64>, 64> between{};
  std::array<std::array<Bitboard, 64>, 64> line{};
};

namespace detail {
constexpr AttackTables BuildAttackTables() {
  AttackTables t;
  const int stepFile[DirectionCount] = {0, 1, 1, -1, 0, -1, -1, 1};
  const int stepRank[DirectionCount] = {1, 0, 1, 1, -1, 0, -1, -1};
  for (int index = 0; index < 64; ++index) {
    const int f = index % 8, r = index / 8;
    auto add = [&](Bitboard& set, int df, int dr) {
      const int nf = f + df, nr = r + dr;
      if (nf >= 0 && nf < 8 && nr >= 0 && nr < 8) set |= Bitboard(1) << (nr * 8 + nf);
    };
    const int knightSteps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    for (auto& s : knightSteps) add(t.knight[index], s[0], s[1]);
    for (int df = -1; df <= 1; ++df)
      for (int dr = -1; dr <= 1; ++dr)
        if (df != 0 || dr != 0) add(t.king[index], df, dr);
    add(t.pawn[0][index], -1, 1);
    add(t.pawn[0][index], 1, 1);
    add(t.pawn[1][index], -1, -1);
    add(t.pawn[1][index], 1, -1);
    for (int d = 0; d < DirectionCount; ++d) {
      int nf = f + stepFile[d], nr = r + stepRank[d];
      while (nf >= 0 && nf < 8 && nr >= 0 && nr < 8) {
        t.ray[d][index] |= Bitboard(1) << (nr * 8 + nf);
        nf += stepFile[d];
        nr += stepRank[d];
      }
    }
    t.file[f + 1] |= Bitboard(1) << index;
    t.rank[r + 1] |= Bitboard(1) << index;
  }
  for (int from = 0; from < 64; ++from)
    for (int d = 0; d < DirectionCount; ++d) {
      const int opposite = (d + 4) % DirectionCount;
      Bitboard walk = t.ray[d][from];
      while (walk) {
        const int to = std::countr_zero(walk);
        walk &= walk - 1;
        t.between[from][to] = t.ray[d][from] & ~t.ray[d][to] & ~(Bitboard(1) << to);
        t.line[from][to] = t.ray[d][from] | t.ray[opposite][from] | (Bitboard(1) << from);
      }
    }
  return t;
}
}  // namespace detail

inline constexpr AttackTables Attacks = detail::BuildAttackTables();

// Slider attacks by the "hyperbola" method: along a file or diagonal, the blockers' set
// minus the slider's bit borrows up to the first blocker; mirroring the ranks (a byte swap)
// does the same in the other direction. Ranks use a small table instead.
namespace detail {
constexpr Bitboard ByteSwap(Bitboard b) { return __builtin_bswap64(b); }

inline Bitboard LineAttacks(int from, Bitboard occupied, Bitboard lineWithoutSlider) {
  Bitboard forward = occupied & lineWithoutSlider;
  Bitboard reverse = ByteSwap(forward);
  forward -= SquareBit(from);
  reverse -= ByteSwap(SquareBit(from));
  forward ^= ByteSwap(reverse);
  return forward & lineWithoutSlider;
}

struct SliderMasks {
  std::array<Bitboard, 64> file{}, diagonal{}, antiDiagonal{};
  // rankAttacks[file - 1][inner six squares of the rank's occupancy]: reachable files as bits.
  std::array<std::array<uint8_t, 64>, 8> rankAttacks{};
};

constexpr SliderMasks BuildSliderMasks() {
  SliderMasks m;
  for (int index = 0; index < 64; ++index) {
    m.file[index] = Attacks.ray[North][index] | Attacks.ray[South][index];
    m.diagonal[index] = Attacks.ray[NorthEast][index] | Attacks.ray[SouthWest][index];
    m.antiDiagonal[index] = Attacks.ray[NorthWest][index] | Attacks.ray[SouthEast][index];
  }
  for (int file = 0; file < 8; ++file)
    for (int inner = 0; inner < 64; ++inner) {
      const int occupied = inner << 1;
      uint8_t reach = 0;
      for (int f = file + 1; f < 8; ++f) {
        reach |= uint8_t(1 << f);
        if (occupied & (1 << f)) break;
      }
      for (int f = file - 1; f >= 0; --f) {
        reach |= uint8_t(1 << f);
        if (occupied & (1 << f)) break;
      }
      m.rankAttacks[file][inner] = reach;
    }
  return m;
}

inline constexpr SliderMasks Sliders = BuildSliderMasks();
}  // namespace detail

// The squares a rook on `from` reaches, up to and including the first occupied square each way.
inline Bitboard RookAttacks(int from, Bitboard occupied) {
  const int shift = from & 56;
  const Bitboard rank = Bitboard(detail::Sliders.rankAttacks[from & 7][(occupied >> (shift + 1)) & 63]) << shift;
  return rank | detail::LineAttacks(from, occupied, detail::Sliders.file[from]);
}

inline Bitboard BishopAttacks(int from, Bitboard occupied) {
  return detail::LineAttacks(from, occupied, detail::Sliders.diagonal[from]) |
         detail::LineAttacks(from, occupied, detail::Sliders.antiDiagonal[from]);
}
