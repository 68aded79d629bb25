#include "options/processing_options.h"

TProcessingOptions ProcessingOptions;
std::u16string outputBase = u"output";
bool makeDefaultAutomatically = true;

void ResetOptions() { ProcessingOptions = TProcessingOptions{}; }

bool CommitOutputBase(const std::u16string& newBase) {
  const bool reset = makeDefaultAutomatically && newBase != outputBase;
  if (reset) ResetOptions();
  outputBase = newBase;
  return reset;
}

void NormaliseOptions(TProcessingOptions& o) {
  if (o.splitEcoLevel > 3) o.splitEcoLevel = 3;
  if (o.splitDateLevel > 3) o.splitDateLevel = 3;
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
