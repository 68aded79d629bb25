#include "panel/option_checks.h"

namespace {

// The flag of a box, const or not as the options are.
template <typename Options>
auto Flag(Options& o, OptionControl control) -> decltype(&o.removeComments) {
  switch (control) {
    case OptionControl::Comments:
      return &o.removeComments;
    case OptionControl::Variations:
      return &o.removeVariations;
    case OptionControl::Duplicates:
      return &o.removeDuplicates;
    case OptionControl::AddEcoNames:
      return &o.addEcoNames;
    case OptionControl::RemoveOldEcoTags:
      return &o.removeOldEcoTags;
    case OptionControl::DoNotRewrite:
      return &o.doNotRewrite;
    case OptionControl::SplitWhite:
      return &o.splitByWhite;
    case OptionControl::SplitBlack:
      return &o.splitByBlack;
    case OptionControl::SplitPlayer:
      return &o.splitByPlayer;
    case OptionControl::SplitTournament:
      return &o.splitByTournament;
    case OptionControl::SplitResult:
      return &o.splitByResult;
    case OptionControl::IgnoreColour:
      return &o.ignorePlayerColour;
    default:
      return nullptr;
  }
}

uint8_t ResultBitOf(OptionControl control) {
  switch (control) {
    case OptionControl::ResultWhiteWins:
      return ResultWhiteWins;
    case OptionControl::ResultDraw:
      return ResultDraw;
    case OptionControl::ResultBlackWins:
      return ResultBlackWins;
    case OptionControl::ResultUnfinished:
      return ResultUnknown;
    default:
      return 0;
  }
}

}  // namespace

bool IsChecked(const TProcessingOptions& options, OptionControl control) {
  if (const bool* flag = Flag(options, control)) return *flag;
  const uint8_t bit = ResultBitOf(control);
  return bit != 0 && (options.resultMask & bit) != 0;
}

std::vector<OptionControl> SetChecked(TProcessingOptions& o, OptionControl control, bool checked) {
  if (bool* flag = Flag(o, control)) *flag = checked;
  if (const uint8_t bit = ResultBitOf(control)) o.resultMask = checked ? (o.resultMask | bit) : (o.resultMask & ~bit);
  std::vector<OptionControl> unchecked;
  auto uncheck = [&](OptionControl other) {
    bool* flag = Flag(o, other);
    if (flag && *flag) {
      *flag = false;
      unchecked.push_back(other);
    }
  };
  if (!checked) return unchecked;
  if (control == OptionControl::SplitWhite || control == OptionControl::SplitBlack) uncheck(OptionControl::SplitPlayer);
  if (control == OptionControl::SplitPlayer) {
    uncheck(OptionControl::SplitWhite);
    uncheck(OptionControl::SplitBlack);
  }
  return unchecked;
}
