#include "options/processing_options.h"

void ResetOptions(TJobChoices& choices) { choices.ProcessingOptions = TProcessingOptions{}; }

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsDeviceName(std::u16string_view name) {
  std::u16string stem(name.substr(0, name.find(u'.')));
  while (!stem.empty() && stem.back() == u' ') stem.pop_back();
  for (char16_t& c : stem)
    if (c >= u'a' && c <= u'z') c = char16_t(c - 32);
  for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
    if (stem == device) return true;
  return stem.size() == 4 && (stem.starts_with(u"COM") || stem.starts_with(u"LPT")) && stem[3] >= u'0' &&
         stem[3] <= u'9';
}

}  // namespace

bool IsUsableOutputBase(std::u16string_view base) {
  if (base.find_first_not_of(u" \t") == std::u16string_view::npos) return false;
  for (size_t i = 0; i < base.size(); ++i) {
    const char16_t c = base[i];
    if (c < 32 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*') return false;
    const bool driveColon = i == 1 && ((base[0] >= u'A' && base[0] <= u'Z') || (base[0] >= u'a' && base[0] <= u'z'));
    if (c == u':' && !driveColon) return false;
  }
  size_t start = base.size();
  while (start > 0 && !IsSeparator(base[start - 1]) && !(start == 2 && base[1] == u':')) --start;
  const std::u16string_view name = base.substr(start);
  if (name.find_first_not_of(u" .") == std::u16string_view::npos) return false;
  return !IsDeviceName(name);
}

OutputBaseCommit CommitOutputBase(TJobChoices& choices, const std::u16string& newBase) {
  if (!IsUsableOutputBase(newBase)) return OutputBaseCommit::Refused;
  if (newBase == choices.outputBase) return OutputBaseCommit::Unchanged;
  const bool reset = choices.makeDefaultAutomatically;
  if (reset) ResetOptions(choices);
  choices.outputBase = newBase;
  return reset ? OutputBaseCommit::TakenAndReset : OutputBaseCommit::Taken;
}

void NormaliseOptions(TProcessingOptions& o) {
  if (o.splitEcoLevel > EcoSplit::WholeCode) o.splitEcoLevel = EcoSplit::WholeCode;
  if (o.splitDateLevel > DateSplit::Day) o.splitDateLevel = DateSplit::Day;
  if (o.splitWhiteEloParts < 1) o.splitWhiteEloParts = 1;
  if (o.splitBlackEloParts < 1) o.splitBlackEloParts = 1;
  if (o.dateFrom < 0) o.dateFrom = 0;
  if (o.dateTo < 0) o.dateTo = 0;
  if (DateMonth(o.dateTo) == 0) o.dateTo += 32;
  if (DateDay(o.dateTo) == 0) o.dateTo += 1;
  for (int32_t* upper : {&o.whiteEloTo, &o.blackEloTo}) {
    if (*upper < 0) *upper = 0;
    if (*upper >= AnyElo) *upper = AnyElo;
  }
  if (o.ecoOpening.size() > 3) o.ecoOpening.resize(3);
  if (o.movesFrom <= 0) o.movesFrom = 1;
  if (o.movesTo >= AnyMoves) o.movesTo = AnyMoves;
}

TProcessingOptions WithoutSplits(TProcessingOptions options) {
  const TProcessingOptions none;
  options.splitEcoLevel = none.splitEcoLevel;
  options.splitByWhite = none.splitByWhite;
  options.splitByBlack = none.splitByBlack;
  options.splitByPlayer = none.splitByPlayer;
  options.splitDateLevel = none.splitDateLevel;
  options.splitByTournament = none.splitByTournament;
  options.splitWhiteEloParts = none.splitWhiteEloParts;
  options.splitBlackEloParts = none.splitBlackEloParts;
  options.splitByResult = none.splitByResult;
  options.splitByOpening = none.splitByOpening;
  options.gamesPerFile = none.gamesPerFile;
  return options;
}

TProcessingOptions WithoutFilters(TProcessingOptions options) {
  const TProcessingOptions none;
  options.resultMask = none.resultMask;
  options.dateFrom = none.dateFrom;
  options.dateTo = none.dateTo;
  options.whitePlayer = none.whitePlayer;
  options.blackPlayer = none.blackPlayer;
  options.ignorePlayerColour = none.ignorePlayerColour;
  options.whiteEloFrom = none.whiteEloFrom;
  options.whiteEloTo = none.whiteEloTo;
  options.blackEloFrom = none.blackEloFrom;
  options.blackEloTo = none.blackEloTo;
  options.ecoOpening = none.ecoOpening;
  options.movesFrom = none.movesFrom;
  options.movesTo = none.movesTo;
  return options;
}
