#include "dialogs/nag_selection.h"

const std::array<NagGroup, NagBoxCount>& NagGroups() {
  static const std::array<NagGroup, NagBoxCount> groups{{
      {"!", 1, 1},
      {"?", 2, 2},
      {"!!", 3, 3},
      {"??", 4, 4},
      {"!?", 5, 5},
      {"?!", 6, 6},
      {"Forced move ($7)", 7, 7},
      {"Singular move ($8)", 8, 8},
      {"Worst move ($9)", 9, 9},
      {"NAGs which describe the current position ($10 - $135)", 10, 135},
      {"NAGs which describe time pressure ($136 - $139)", 136, 139},
  }};
  return groups;
}

std::array<bool, NagBoxCount> NagBoxStates(const std::bitset<256>& kept) {
  std::array<bool, NagBoxCount> states{};
  for (size_t i = 0; i < NagBoxCount; ++i) states[i] = kept.test(size_t(NagGroups()[i].first));
  return states;
}

std::bitset<256> NagsOfBoxes(const std::array<bool, NagBoxCount>& checked) {
  std::bitset<256> kept;
  for (size_t i = 0; i < NagBoxCount; ++i)
    if (checked[i])
      for (int n = NagGroups()[i].first; n <= NagGroups()[i].last; ++n) kept.set(size_t(n));
  return kept;
}
