// 64-bit square sets and the attack tables the board's fast paths use.
#pragma once

#include <array>
#include <bit>
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
enum Direction { North, East, NorthEast, NorthWest, South, West, SouthEast, SouthWest, DirectionCount };

struct AttackTables {
  std::array<Bitboard, 64> knight{};
  std::array<Bitboard, 64> king{};
  std::array<std::array<Bitboard, 64>, 2> pawn{};  // [0] white pawn's targets, [1] black pawn's
  std::array<std::array<Bitboard, 64>, DirectionCount> ray{};
  std::array<Bitboard, 9> file{};  // file[1..8]: the squares of that file
  std::array<Bitboard, 9> rank{};  // rank[1..8]
};

namespace detail {
constexpr AttackTables BuildAttackTables() {
  AttackTables t;
  const int stepFile[DirectionCount] = {0, 1, 1, -1, 0, -1, 1, -1};
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
  return t;
}
}  // namespace detail

inline constexpr AttackTables Attacks = detail::BuildAttackTables();

// The squares a slider on `from` reaches along one ray, up to and including the first occupied one.
template <Direction D>
inline Bitboard RayAttacks(int from, Bitboard occupied) {
  Bitboard ray = Attacks.ray[D][from];
  const Bitboard blockers = ray & occupied;
  if (blockers) {
    const int first = D < South ? LowestSquare(blockers) : HighestSquare(blockers);
    ray ^= Attacks.ray[D][first];
  }
  return ray;
}

inline Bitboard RookAttacks(int from, Bitboard occupied) {
  return RayAttacks<North>(from, occupied) | RayAttacks<East>(from, occupied) |
         RayAttacks<South>(from, occupied) | RayAttacks<West>(from, occupied);
}

inline Bitboard BishopAttacks(int from, Bitboard occupied) {
  return RayAttacks<NorthEast>(from, occupied) | RayAttacks<NorthWest>(from, occupied) |
         RayAttacks<SouthEast>(from, occupied) | RayAttacks<SouthWest>(from, occupied);
}
