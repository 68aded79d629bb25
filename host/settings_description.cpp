#include "host/settings_description.h"

#include "io/codepage.h"

namespace {

std::string Date(int32_t key) {
  return std::to_string(DateYear(key)) + "." + std::to_string(DateMonth(key)) + "." + std::to_string(DateDay(key)) +
         " (" + std::to_string(key) + ")";
}

std::string Nags(const std::bitset<256>& nags) {
  if (nags.none()) return "none";
  std::string text;
  for (size_t n = 0; n < nags.size(); ++n) {
    if (!nags.test(n)) continue;
    size_t last = n;
    while (last + 1 < nags.size() && nags.test(last + 1)) ++last;
    if (!text.empty()) text += ",";
    text += std::to_string(n) + (last > n ? "-" + std::to_string(last) : "");
    n = last;
  }
  return text;
}

}  // namespace

std::string DescribeSettings(const TSettings& s) {
  std::string text;
  if (s.outputPresent) {
    text += "output: " + Utf16ToBytes(s.outputBase) + "\n";
    text += std::string("make default automatically: ") + (s.makeDefaultAutomatically ? "yes" : "no") + "\n";
  }
  if (!s.optionsPresent) return text + "options: none saved\n";
  const TProcessingOptions& o = s.options;
  TProcessingOptions d;
  NormaliseOptions(d);
  text += "options:";
  const auto add = [&](bool differs, const std::string& name, const std::string& value) {
    if (differs) text += " " + name + "=" + value;
  };
  const auto flag = [&](bool TProcessingOptions::*field, const char* name) {
    add(o.*field != d.*field, name, o.*field ? "yes" : "no");
  };
  const auto number = [&](auto TProcessingOptions::*field, const char* name) {
    add(o.*field != d.*field, name, std::to_string(int64_t(o.*field)));
  };
  flag(&TProcessingOptions::removeComments, "removeComments");
  number(&TProcessingOptions::tagRemoval, "tagRemoval");
  flag(&TProcessingOptions::removeVariations, "removeVariations");
  add(o.keptNags != d.keptNags, "keptNags", Nags(o.keptNags));
  flag(&TProcessingOptions::removeDuplicates, "removeDuplicates");
  flag(&TProcessingOptions::addEcoNames, "addEcoNames");
  flag(&TProcessingOptions::removeOldEcoTags, "removeOldEcoTags");
  number(&TProcessingOptions::splitEcoLevel, "splitEcoLevel");
  flag(&TProcessingOptions::splitByWhite, "splitByWhite");
  flag(&TProcessingOptions::splitByBlack, "splitByBlack");
  flag(&TProcessingOptions::splitByPlayer, "splitByPlayer");
  number(&TProcessingOptions::splitDateLevel, "splitDateLevel");
  flag(&TProcessingOptions::splitByTournament, "splitByTournament");
  number(&TProcessingOptions::splitWhiteEloParts, "splitWhiteEloParts");
  number(&TProcessingOptions::splitBlackEloParts, "splitBlackEloParts");
  flag(&TProcessingOptions::splitByResult, "splitByResult");
  number(&TProcessingOptions::resultMask, "resultMask");
  add(o.dateFrom != d.dateFrom, "dateFrom", Date(o.dateFrom));
  add(o.dateTo != d.dateTo, "dateTo", Date(o.dateTo));
  add(o.whitePlayer != d.whitePlayer, "whitePlayer", "\"" + o.whitePlayer + "\"");
  add(o.blackPlayer != d.blackPlayer, "blackPlayer", "\"" + o.blackPlayer + "\"");
  flag(&TProcessingOptions::ignorePlayerColour, "ignorePlayerColour");
  number(&TProcessingOptions::whiteEloFrom, "whiteEloFrom");
  number(&TProcessingOptions::whiteEloTo, "whiteEloTo");
  number(&TProcessingOptions::blackEloFrom, "blackEloFrom");
  number(&TProcessingOptions::blackEloTo, "blackEloTo");
  add(o.ecoOpening != d.ecoOpening, "ecoOpening", "\"" + o.ecoOpening + "\"");
  number(&TProcessingOptions::movesFrom, "movesFrom");
  number(&TProcessingOptions::movesTo, "movesTo");
  flag(&TProcessingOptions::doNotRewrite, "doNotRewrite");
  if (text.back() == ':') text += " defaults";
  return text + "\n";
}
