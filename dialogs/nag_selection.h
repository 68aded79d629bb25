// The NAG selection window's rules: eleven boxes, each standing for a group of NAG numbers, shown
// from the kept set and saved back into it.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>

constexpr size_t NagBoxCount = 11;

struct NagGroup {
  const char* label;
  int first, last;  // the NAG numbers the box stands for
};

// "!", "?", "!!", "??", "!?", "?!", "Forced move ($7)", "Singular move ($8)", "Worst move ($9)",
// the position NAGs 10 to 135 and the time-pressure NAGs 136 to 139.
const std::array<NagGroup, NagBoxCount>& NagGroups();

// A box shows checked when the set holds the first number of its group.
std::array<bool, NagBoxCount> NagBoxStates(const std::bitset<256>& kept);

// The set "Save" stores: every number of each checked group, nothing else (never 0 or 140 and
// above).
std::bitset<256> NagsOfBoxes(const std::array<bool, NagBoxCount>& checked);
